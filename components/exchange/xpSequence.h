#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "kestrel/components/exchange/xpElement.h"

// An element whose children repeat one prototype node, one item element per entry.
class xpSequence : public xpElement {
public:
    ~xpSequence() override;

    // Takes ownership of the prototype node written and read for every item.
    void set_node(xpNode* item);
    xpNode* item() const { return m_item.get(); }
    void set_ignore_invalid_references(bool ignore) { m_ignoreInvalid = ignore; }
    bool ignore_invalid_references() const override { return m_ignoreInvalid; }

    // Adds the entry just read to the container.
    virtual bool append_item() = 0;
    // Writes the prototype once, as item number `index`, into the sequence's element.
    virtual bool export_dom_node(pugi::xml_node dom, int index);
    // Called with the element the items go into after each item is written there; set by a
    // writer that streams the items out one at a time. Empty: the items stay in the element.
    void setItemSink(std::function<void(pugi::xml_node)> sink) { m_itemSink = std::move(sink); }
    // A sequence whose items may be streamed out wherever it stands: while a writer has set the
    // sink of this thread, it is called like an item sink for every item of such a sequence.
    void set_stream_items(bool stream) { m_streamItems = stream; }
    static void setStreamedItemSink(const std::function<void(pugi::xml_node)>* sink);
    // Called after each item read is added to the container; set by a reader that takes the
    // items as they come (and may empty the container there), so that the document is never held.
    void setItemRead(std::function<void()> read) { m_itemRead = std::move(read); }
    // Adds the entry just read to the container and hands it to the item reader, if one is set.
    bool addItem();
    // Empties the container; runs before the items are read.
    virtual void clear() = 0;
    // Makes room for `count` entries about to be read; a container without reserve ignores it.
    virtual void reserve(std::size_t) {}

    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    bool export_child(pugi::xml_node parent) override;
    void buildSchema(xsSchema& schema, xsGroup* group, const std::string& name) override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    using xpElement::buildSchema;

    bool importContent(xpImportSet& nodes) override;

    // Reads one item element through the prototype and adds its entry; false, with the errors
    // reported, for an item left out.
    bool readItem(const xpFrame& frame);
    // Takes the entries that `from`, a sequence of the same kind, read; false for another kind.
    virtual bool adopt(xpSequence&) { return false; }

    // Where each item read last stood, kept when asked for (a owner that reports problems of
    // single entries after the read), with how many item elements the sequence had.
    struct ItemPlace {
        int line = 0;
        int column = 0;
    };
    void set_keep_places(bool keep) { m_keepPlaces = keep; }
    const std::vector<ItemPlace>& item_places() const { return m_places; }
    std::size_t item_count() const { return m_itemCount; }

protected:
    // Empties the container and reads every item element of `nodes` through the prototype;
    // items with errors are reported and left out.
    bool importItems(xpImportSet& nodes);
    // Adds the repeated item particle to `group`.
    void buildItems(xsSchema& schema, xsGroup* group);

private:
    // readItem with the prototype already found: a long sequence looks it up once.
    bool readItem(xpElement& item, const xpFrame& frame);

    std::unique_ptr<xpNode> m_item;
    std::function<void(pugi::xml_node)> m_itemSink;
    std::function<void()> m_itemRead;
    std::vector<ItemPlace> m_places;
    std::size_t m_itemCount = 0;
    bool m_keepPlaces = false;
    bool m_streamItems = false;
    bool m_ignoreInvalid = false;
};

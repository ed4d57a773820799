#include <expat.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "kestrel/components/exchange/xpDocument.h"
#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/exchange/xpRecord.h"
#include "kestrel/components/exchange/xpSequence.h"
#include "kestrel/components/exchange/xpSourceText.h"
#include "kestrel/components/exchange/xpStreamedItems.h"

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether the piece holds spaces alone, compared four or eight bytes at a time; the last load
// overlaps the one before it.
bool spacesOnly(const char* p, std::size_t n) {
    if (n >= 8) {
        std::uint64_t word;
        for (std::size_t i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&word, p + i, 8);
            if (word != 0x2020202020202020ull) return false;
        }
        std::memcpy(&word, p + n - 8, 8);
        return word == 0x2020202020202020ull;
    }
    if (n < 4) return false;
    std::uint32_t head, tail;
    std::memcpy(&head, p, 4);
    std::memcpy(&tail, p + n - 4, 4);
    return head == 0x20202020u && tail == 0x20202020u;
}

// Asked of every piece of text between tags, most of them a line end or indentation.
bool blankOnly(std::string_view text) {
    if (spacesOnly(text.data(), text.size())) return true;
    for (const char c : text)
        if (!isBlank(c)) return false;
    return true;
}

// One parser is kept per thread between reads: making and freeing one costs more than parsing a
// short document. A parser fed a large piece is not kept, so that what is kept stays small.
constexpr std::size_t kKeptFeed = std::size_t(1) << 17;
struct KeptParser {
    XML_Parser parser = nullptr;
    ~KeptParser() {
        if (parser) XML_ParserFree(parser);
    }
};
thread_local KeptParser t_kept;

XML_Parser takeParser() {
    if (XML_Parser parser = std::exchange(t_kept.parser, nullptr)) {
        if (XML_ParserReset(parser, "UTF-8")) return parser;
        XML_ParserFree(parser);
    }
    XML_Parser parser = XML_ParserCreate("UTF-8");
    if (!parser) throw std::bad_alloc();
    return parser;
}

void giveBack(XML_Parser parser, std::size_t largestFeed) {
    if (largestFeed <= kKeptFeed && !t_kept.parser)
        t_kept.parser = parser;
    else
        XML_ParserFree(parser);
}

// Why a document is refused as a whole: where (1-based line and column, in characters) and what.
// An empty message means no refusal.
struct xpRefusal {
    int line = 0;
    int column = 0;
    std::string message;
    explicit operator bool() const { return !message.empty(); }
};

xpReadResult refusedWith(int line, int column, std::string message) {
    xpReadResult result;
    result.column = column;
    result.errors.push_back(xpReportedError{line, {}, std::move(message), column});
    return result;
}
}  // namespace

// Turns a document's events (expat's, or a walk of a host's tree) into the records of the parts
// the nodes read. A root whose first node is a sequence of items in the root's own element has its
// items read one at a time as each one ends, and dropped; anything else is read from its whole
// element when it ends. Within any part, the items of a streamable sequence are read as each one
// ends and dropped; the sequence takes them when it is read.
class xpStreamImport {
    // One part of a document built element by element: the root's own element, or one item.
    struct Part {
        xpRecordArena arena;
        xpRecord* top = nullptr;
    };

public:
    // Events come from `parse` when it is true, else from walk().
    xpStreamImport(xpElement& root, xpExchangeContext* context, bool parse = true)
        : m_root(&root), m_rootName(root.getElementName()), m_context(context) {
        if (parse) {
            m_parser = takeParser();
            XML_SetUserData(m_parser, this);
            XML_SetElementHandler(m_parser, onStart, onEnd);
            XML_SetCharacterDataHandler(m_parser, onText);
            XML_SetCdataSectionHandler(m_parser, onCdataStart, onCdataEnd);
            XML_SetCommentHandler(m_parser, onComment);
            XML_SetProcessingInstructionHandler(m_parser, onInstruction);
            XML_SetStartDoctypeDeclHandler(m_parser, onDoctype);
        }
        m_streamable = xpStreamableSequences();
        for (const auto& declared : m_streamable)
            m_streamableLengths |= std::uint64_t(1) << std::min<std::size_t>(declared.name.size(), 63);
        // A host's tree is read as one part, in the order its read has always had.
        if (!parse || root.children().empty()) return;
        auto* sequence = dynamic_cast<xpSequence*>(root.children().front().get());
        auto* item = sequence ? dynamic_cast<xpElement*>(sequence->item()) : nullptr;
        if (sequence && sequence->reusesParent() && item && !item->getElementName().empty()) {
            m_sequence = sequence;
            m_item = item;
        }
    }
    ~xpStreamImport() {
        if (m_parser) giveBack(m_parser, m_largestFeed);
    }
    xpStreamImport(const xpStreamImport&) = delete;
    xpStreamImport& operator=(const xpStreamImport&) = delete;

    // Parses the next piece of text; false once the text is refused. What a node throws is
    // thrown here.
    bool feed(const char* data, std::size_t size, bool last) {
        if (m_refusal) return false;
        m_largestFeed = std::max(m_largestFeed, size);
        return parsed(XML_Parse(m_parser, data, int(size), last), last);
    }

    // Room for the next `size` bytes of text in the parser's own buffer, so that a stream is read
    // straight into it; null once the text is refused.
    char* room(std::size_t size) {
        if (m_refusal) return nullptr;
        m_largestFeed = std::max(m_largestFeed, size);
        return static_cast<char*>(XML_GetBuffer(m_parser, int(size)));
    }
    // Parses the `size` bytes put into room(); false once the text is refused.
    bool feedRoom(std::size_t size, bool last) { return parsed(XML_ParseBuffer(m_parser, int(size), last), last); }

    // The events of a host's element `top` and everything in it, without places.
    void walk(pugi::xml_node top) {
        std::vector<const char*> attributes;
        pugi::xml_node node = top;
        for (;;) {
            const pugi::xml_node_type type = node.type();
            if (type == pugi::node_element) {
                attributes.clear();
                for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
                    attributes.push_back(a.name());
                    attributes.push_back(a.value());
                }
                attributes.push_back(nullptr);
                start(node.name(), attributes.data(), 0, 0);
                if (pugi::xml_node child = node.first_child()) {
                    node = child;
                    continue;
                }
                end();
            } else if ((type == pugi::node_pcdata || type == pugi::node_cdata) && !m_skip && m_cursor) {
                // The host's text as it stands: a run of blanks is text here too.
                m_part->arena.text(*m_cursor, node.value());
            }
            for (;;) {
                if (node == top) return;
                if (pugi::xml_node sibling = node.next_sibling()) {
                    node = sibling;
                    break;
                }
                node = node.parent();
                end();
            }
        }
    }

    // The root's own content once the whole text was accepted: what no node took, and the value.
    void finish() {
        if (!m_rootEnded) return;
        if (!m_sequence) {
            m_root->importFrom(m_rootFrame);
            return;
        }
        if (m_pending) readItem(std::exchange(m_pending, nullptr), 0);
        xpImportSet nodes(m_rootFrame);
        for (const auto& child : m_root->children()) child->nodes_for_import(nodes);
        for (const auto& child : m_root->children())
            if (child.get() == m_sequence)
                nodes.announce(m_item->getElementName());
            else
                child->do_import(nodes);
        nodes.reportLeftovers(m_root);
        if (xpExchangeContext::errorCount() == m_before) m_root->guardedImportConcrete();
        m_rootGuard.reset();
    }

    // Forgets what was read of a document that is refused.
    void abandon() {
        m_streaming.reset();
        m_inItem = false;
        m_streamed.clear();
        m_rootGuard.reset();
        m_reading.reset();
        m_pending.reset();
        m_current.reset();
        if (m_sequence && m_rootBegun) {
            m_sequence->clear();
            m_root->import_begin();
        }
    }

    const xpRefusal& refusal() const { return m_refusal; }

private:
    bool parsed(XML_Status status, bool last) {
        if (m_failure) std::rethrow_exception(std::exchange(m_failure, nullptr));
        if (status == XML_STATUS_ERROR && !m_refusal) refuseAsParser();
        if (last && !m_refusal && m_mismatch) m_refusal = m_mismatch;
        return !m_refusal;
    }

    static xpStreamImport& self(void* data) { return *static_cast<xpStreamImport*>(data); }
    // Runs an event; what it throws stops the parser and is thrown once the parser returns.
    template <class Event>
    void guarded(Event&& event) {
        if (m_failure) return;
        try {
            event();
        } catch (...) {
            m_failure = std::current_exception();
            XML_StopParser(m_parser, XML_FALSE);
        }
    }
    static void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
        xpStreamImport& reader = self(data);
        reader.guarded([&] {
            reader.flushText();
            // Asking for the place makes the parser count every byte since the last question:
            // only elements that are kept ask.
            int line = 0, column = 0;
            if (!reader.m_skip) {
                line = int(XML_GetCurrentLineNumber(reader.m_parser));
                column = int(XML_GetCurrentColumnNumber(reader.m_parser)) + 1;
            }
            reader.start(name, attributes, line, column);
        });
    }
    static void XMLCALL onEnd(void* data, const XML_Char*) {
        self(data).guarded([&] {
            self(data).flushText();
            self(data).end();
        });
    }
    static void XMLCALL onText(void* data, const XML_Char* text, int length) {
        xpStreamImport& reader = self(data);
        if (reader.m_skip || !reader.m_cursor) return;
        const std::string_view piece(text, std::size_t(length));
        if (reader.m_inCdata) {
            reader.m_cdata.append(piece);
            return;
        }
        // Whether the run holds more than blanks is settled piece by piece, as the parser gives
        // them. Blanks are held apart until something else comes: most runs are a line end and
        // an indentation, and are dropped.
        if (!reader.m_textFilled) {
            if (blankOnly(piece)) {
                if (reader.m_blankSize + piece.size() <= sizeof reader.m_blank) {
                    std::memcpy(reader.m_blank + reader.m_blankSize, piece.data(), piece.size());
                    reader.m_blankSize += piece.size();
                    return;
                }
            } else {
                reader.m_textFilled = true;
            }
            reader.m_text.append(reader.m_blank, reader.m_blankSize);
            reader.m_blankSize = 0;
        }
        reader.m_text.append(piece);
    }
    static void XMLCALL onCdataStart(void* data) {
        self(data).flushText();
        self(data).m_inCdata = true;
    }
    static void XMLCALL onCdataEnd(void* data) {
        xpStreamImport& reader = self(data);
        reader.m_inCdata = false;
        if (!reader.m_skip && reader.m_cursor)
            reader.guarded([&] { reader.m_part->arena.text(*reader.m_cursor, reader.m_cdata); });
        reader.m_cdata.clear();
    }
    // Comments and processing instructions are not kept; text on either side of one stays apart.
    static void XMLCALL onComment(void* data, const XML_Char*) { self(data).flushText(); }
    static void XMLCALL onInstruction(void* data, const XML_Char*, const XML_Char*) { self(data).flushText(); }
    static void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        self(data).refuseDoctype();
    }

    // Refused at the declaration's name, where the DOM parser places it; the parser is past it.
    void refuseDoctype() {
        int line = int(XML_GetCurrentLineNumber(m_parser));
        int column = int(XML_GetCurrentColumnNumber(m_parser)) + 1;
        int offset = 0, size = 0;
        const char* input = XML_GetInputContext(m_parser, &offset, &size);
        const std::string_view before = input ? std::string_view(input, std::size_t(offset)) : "";
        std::size_t name = before.rfind("<!DOCTYPE");
        if (name != std::string_view::npos) {
            name += 9;
            while (name < before.size() && isBlank(before[name])) ++name;
            const std::string_view between = before.substr(name);
            const std::size_t newlines = std::size_t(std::count(between.begin(), between.end(), '\n'));
            if (newlines == 0) {
                for (char c : between) column -= (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            } else {
                line -= int(newlines);
                const std::size_t start = before.rfind('\n', name);
                column = 1;
                for (std::size_t i = start == std::string_view::npos ? 0 : start + 1; i < name; ++i)
                    column += (static_cast<unsigned char>(before[i]) & 0xC0) != 0x80;
            }
        }
        if (!m_refusal) m_refusal = {line, column, "document type declarations are not accepted"};
        XML_StopParser(m_parser, XML_FALSE);
    }

    // The parser's refusal, in the words of the text's own checks where they say the same.
    void refuseAsParser() {
        const XML_Error code = XML_GetErrorCode(m_parser);
        int line = int(XML_GetCurrentLineNumber(m_parser));
        int column = int(XML_GetCurrentColumnNumber(m_parser)) + 1;
        int offset = 0, size = 0;
        const char* input = XML_GetInputContext(m_parser, &offset, &size);
        std::string_view here = input ? std::string_view(input + offset, std::size_t(size - offset)) : "";
        std::string_view before = input ? std::string_view(input, std::size_t(offset)) : "";
        const char c = here.empty() ? '\0' : here[0];
        std::string message = XML_ErrorString(code);
        if (code == XML_ERROR_JUNK_AFTER_DOC_ELEMENT) {
            if (c == '<' && here.size() > 1 && here[1] != '!' && here[1] != '?' && here[1] != '/')
                message = "a second root element; a document has one";
            else if (c != '<')
                message = "text outside the root element";
        } else if (!m_rootSeen && c != '\0' && c != '<' && !isBlank(c)) {
            message = "text outside the root element";
        } else if (code == XML_ERROR_UNDEFINED_ENTITY || code == XML_ERROR_INVALID_TOKEN ||
                   code == XML_ERROR_BAD_CHAR_REF || code == XML_ERROR_SYNTAX) {
            // The parser stops at the start of a tag whose value holds the bad reference, or
            // at or just past the '&' in text: find the reference xpCheckReference names.
            std::size_t at = std::string_view::npos;
            std::size_t back = 0;
            if (c == '&') {
                at = 0;
            } else if (c == '<') {
                char quote = '\0';
                for (std::size_t i = 1; i < here.size() && at == std::string_view::npos; ++i) {
                    if (quote) {
                        if (here[i] == quote)
                            quote = '\0';
                        else if (here[i] == '&' && xpCheckReference(here, i))
                            at = i;
                    } else if (here[i] == '"' || here[i] == '\'') {
                        quote = here[i];
                    } else if (here[i] == '>') {
                        break;
                    }
                }
            } else {
                const std::size_t amp = before.find_last_of('&');
                if (amp != std::string_view::npos && before.size() - amp <= 42 &&
                    before.substr(amp).find_first_of("<>\n") == std::string_view::npos) {
                    back = before.size() - amp;
                    here = std::string_view(input + amp, std::size_t(size) - amp);
                    at = 0;
                }
            }
            if (at != std::string_view::npos)
                if (xpTextProblem problem = xpCheckReference(here, at)) {
                    message = problem.message;
                    for (std::size_t i = 0; i < back; ++i)
                        column -= (static_cast<unsigned char>(here[i]) & 0xC0) != 0x80;
                    for (std::size_t i = 0; i < at; ++i) {
                        if (here[i] == '\n') {
                            ++line;
                            column = 1;
                        } else {
                            column += (static_cast<unsigned char>(here[i]) & 0xC0) != 0x80;
                        }
                    }
                }
        }
        m_refusal = {line, column, std::move(message)};
    }

    void start(const char* name, const char* const* attributes, int line, int column) {
        ++m_depth;
        if (m_skip) return;
        if (m_depth == 1) {
            m_rootSeen = true;
            if (m_rootName != name) {
                m_mismatch = {line, column + 1,
                              "root element is \"" + std::string(name) + "\", expected \"" + m_rootName + "\""};
                m_skip = true;
                return;
            }
            m_part = &m_shell;
            m_cursor = append(nullptr, name, attributes, line, column);
            m_shell.top = m_cursor;
            beginRoot();
            return;
        }
        xpRecord* parent = m_cursor;
        if (m_depth == 2 && m_sequence && name == m_item->getElementName()) {
            // The first item's place among its siblings is known when a second one starts.
            if (m_items == 1 && m_pending) readItem(std::exchange(m_pending, nullptr), 1);
            m_current = takePart();
            m_part = m_current.get();
            parent = nullptr;
        }
        if (m_streaming && !m_inItem && m_depth == m_streaming->depth + 1 && name == m_streaming->itemName) {
            m_inItem = true;
            m_part = &m_itemPart;
            parent = &m_holder;
        }
        m_cursor = append(parent, name, attributes, line, column);
        if (!parent) m_part->top = m_cursor;
        if (!m_streaming && (m_streamableLengths >> std::min<std::size_t>(m_cursor->m_nameLength, 63) & 1))
            beginStreaming(m_cursor->nameView());
    }

    void end() {
        --m_depth;
        if (m_skip) return;
        if (m_depth == 0) {
            m_rootEnded = true;
            return;
        }
        m_cursor = m_cursor->parent;
        if (m_inItem && m_depth == m_streaming->depth)
            readStreamedItem();
        else if (m_streaming && m_depth < m_streaming->depth)
            m_streaming.reset();
        if (m_depth == 1 && m_current) {
            ++m_items;
            m_part = &m_shell;
            m_cursor = m_shell.top;
            if (m_items == 1)
                m_pending = std::move(m_current);
            else
                readItem(std::exchange(m_current, nullptr), m_items);
        }
    }

    xpRecord* append(xpRecord* parent, const char* name, const char* const* attributes, int line, int column) {
        return m_part->arena.element(parent, name, attributes, line, column);
    }

    // Text between markup, as a tree's parser keeps it: a run of blanks is no text.
    void flushText() {
        m_blankSize = 0;
        if (m_text.empty()) return;
        if (m_textFilled && !m_skip && m_cursor) guarded([&] { m_part->arena.text(*m_cursor, m_text); });
        m_text.clear();
        m_textFilled = false;
    }

    void beginRoot() {
        m_rootFrame = xpFrame::reading(nullptr, m_context, *m_shell.top, 0);
        if (!m_sequence) return;
        m_rootGuard.emplace(m_root, &m_rootFrame);
        m_root->import_begin();
        m_before = xpExchangeContext::errorCount();
        m_sequence->clear();
        m_rootBegun = true;
    }

    // An emptied part, the last one read if there is one: its blocks are reused.
    std::unique_ptr<Part> takePart() {
        if (!m_sparePart) return std::make_unique<Part>();
        std::unique_ptr<Part> part = std::move(m_sparePart);
        part->arena.reset();
        part->top = nullptr;
        return part;
    }

    // Reads one item through the sequence's item node, as the sequence reads each of its items.
    void readItem(std::unique_ptr<Part> part, int ordinal) {
        const xpFrame frame = xpFrame::reading(&m_rootFrame, m_context, *part->top, ordinal);
        // The part stays while it is read, and goes right after.
        m_reading = std::move(part);
        if (m_item->importFrom(frame)) m_sequence->addItem();
        m_sparePart = std::move(m_reading);
        recycleStreamed();
    }

    // Keeps the owners of the items read ahead for the next sequences of their name, emptied: an
    // owner is a whole element (a grid's), which costs more to build than most grids to read.
    // One whose sequence still holds places of its items is not taken back.
    void recycleStreamed() {
        for (auto& items : m_streamed) {
            if (!items->sequence || !items->sequence->item_places().empty()) continue;
            items->sequence->clear();
            m_spare.push_back({std::move(items->owner), items->sequence});
        }
        m_streamed.clear();
    }

    // The element just begun, the cursor, starts the items of a streamable sequence.
    void beginStreaming(std::string_view name) {
        for (const auto& declared : m_streamable) {
            if (declared.name != name) continue;
            auto items = std::make_unique<xpStreamedItems>();
            auto spare = std::find_if(m_spare.begin(), m_spare.end(),
                                      [&](const Spare& s) { return s.sequence->getElementName() == declared.name; });
            if (spare != m_spare.end()) {
                items->owner = std::move(spare->owner);
                items->sequence = spare->sequence;
                m_spare.erase(spare);
            } else {
                items->owner = declared.makeOwner();
                items->sequence = items->owner ? xpFindSequence(*items->owner, declared.name) : nullptr;
            }
            auto* item = items->sequence ? dynamic_cast<xpElement*>(items->sequence->item()) : nullptr;
            if (!item || item->getElementName().empty()) return;
            m_streaming = Streaming{items.get(), item->getElementName(), m_depth, m_part, m_cursor};
            m_itemPart.arena.reset();
            m_holderName = name;
            m_holder = xpRecord{};
            m_holder.m_name = m_holderName.c_str();
            m_holder.m_nameLength = m_holderName.size();
            m_cursor->streamed = items.get();
            m_streamed.push_back(std::move(items));
            return;
        }
    }

    // Reads the item that just ended into the sequence's side owner, keeping its problems with
    // their place below the sequence's element, and drops it. Items are numbered as they come.
    void readStreamedItem() {
        m_inItem = false;
        m_part = m_streaming->part;
        m_cursor = m_streaming->element;
        xpStreamedItems& items = *m_streaming->items;
        const xpRecord* item = m_holder.lastChild;
        ++items.items;
        {
            xpExchangeContext local;
            const xpFrame holder = xpFrame::reading(nullptr, &local, m_holder, 0);
            if (!items.sequence->readItem(xpFrame::reading(&holder, &local, *item, int(items.items)))) items.ok = false;
            const std::size_t fatal = xpExchangeContext::errorCount();
            std::vector<xpReportedError> errors = local.takeErrors();
            const std::size_t skip = m_holderName.size() + 1;
            for (std::size_t i = 0; i < errors.size(); ++i) {
                const bool isFatal = i < fatal;
                if (items.problems.size() >= m_context->errorLimit()) {
                    ++items.unkept;
                    items.unkeptFatal += isFatal;
                    continue;
                }
                xpReportedError& error = errors[i];
                error.path.erase(0, std::min(skip, error.path.size()));
                items.problems.push_back({std::move(error), isFatal});
            }
        }
        m_holder.firstChild = m_holder.lastChild = nullptr;
        m_itemPart.arena.reset();
    }

    xpElement* m_root;
    std::string m_rootName;
    xpExchangeContext* m_context;
    XML_Parser m_parser = nullptr;
    std::size_t m_largestFeed = 0;
    xpSequence* m_sequence = nullptr;
    xpElement* m_item = nullptr;
    std::vector<xpStreamableSequence> m_streamable;
    // Bit n: a streamable sequence's name has n characters (63: as many or more), so that most
    // elements are passed over by their name's length alone.
    std::uint64_t m_streamableLengths = 0;

    // The streamable sequence being read, if any, and the part and element it is in.
    struct Streaming {
        xpStreamedItems* items;
        std::string itemName;
        int depth;
        Part* part;
        xpRecord* element;
    };
    std::optional<Streaming> m_streaming;
    // Its item being gathered, alone under a stand-in for the sequence's element.
    Part m_itemPart;
    xpRecord m_holder;
    std::string m_holderName;
    bool m_inItem = false;
    // The items read ahead, each pointed at by its sequence's element, until the part they are in
    // is read.
    std::vector<std::unique_ptr<xpStreamedItems>> m_streamed;
    struct Spare {
        std::unique_ptr<xpElement> owner;
        xpSequence* sequence;
    };
    std::vector<Spare> m_spare;

    xpRefusal m_refusal;
    xpRefusal m_mismatch;
    std::exception_ptr m_failure;

    Part m_shell;
    std::unique_ptr<Part> m_current;
    std::unique_ptr<Part> m_pending;
    std::unique_ptr<Part> m_reading;
    std::unique_ptr<Part> m_sparePart;
    Part* m_part = nullptr;
    xpRecord* m_cursor = nullptr;
    std::string m_text;
    bool m_textFilled = false;
    char m_blank[64];
    std::size_t m_blankSize = 0;
    std::string m_cdata;
    bool m_inCdata = false;

    xpFrame m_rootFrame;
    std::optional<xpNode::FrameGuard> m_rootGuard;
    std::size_t m_before = 0;
    int m_depth = 0;
    int m_items = 0;
    bool m_rootSeen = false;
    bool m_rootBegun = false;
    bool m_rootEnded = false;
    bool m_skip = false;
};

namespace {
constexpr std::size_t kChunk = std::size_t(1) << 16;

// Line and column (in characters) reached in UTF-8 text read piece by piece. Only a refusal
// asks for it, but it must be kept up over every piece: line ends are counted sixteen at a time.
struct Position {
    int line = 1;
    int column = 1;
    void advance(std::string_view text) {
        const char* data = text.data();
        std::size_t n = text.size();
        std::size_t i = 0;
        std::size_t newlines = 0;
#if defined(__SSE2__)
        // Each byte lane counts up to 255 line ends before the lanes are summed.
        const __m128i newline = _mm_set1_epi8('\n');
        while (n - i >= 16) {
            __m128i lanes = _mm_setzero_si128();
            for (int k = 0; k < 255 && n - i >= 16; ++k, i += 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
                lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, newline));
            }
            const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
            newlines += std::size_t(_mm_cvtsi128_si32(sums)) + std::size_t(_mm_extract_epi16(sums, 4));
        }
#endif
        for (; i < n; ++i) newlines += data[i] == '\n';
        std::size_t from = 0;
        if (newlines) {
            line += int(newlines);
            column = 1;
            from = std::size_t(static_cast<const char*>(memrchr(data, '\n', n)) - data) + 1;
        }
        for (std::size_t k = from; k < n; ++k) column += (static_cast<unsigned char>(data[k]) & 0xC0) != 0x80;
    }
};

// The bytes of a UTF-8 sequence that starts with `lead`.
std::size_t sequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// The length of `text` without an unfinished UTF-8 sequence at its end.
std::size_t completeLength(std::string_view text) {
    const std::size_t n = text.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto byte = static_cast<unsigned char>(text[n - back]);
        if ((byte & 0xC0) == 0x80) continue;
        return sequenceLength(byte) > back ? n - back : n;
    }
    return n;
}

// Whether the text must be decoded as a whole: it is not UTF-8 (a mark or a declaration says
// another encoding), or its declaration does not fit the first piece.
bool decodedWhole(std::string_view head) {
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) return true;
    if (head.size() >= 2 && ((head[0] == '<' && head[1] == '\0') || (head[0] == '\0' && head[1] == '<'))) return true;
    if (!head.starts_with("<?xml")) return false;
    const std::size_t end = head.find("?>");
    if (end == std::string_view::npos) return true;
    std::string storage;
    std::string_view text;
    const std::string_view declaration = head.substr(0, end + 2);
    return bool(xpDecodeSource(declaration, storage, text)) || text.data() != declaration.data();
}

// Reads up to kChunk bytes to `into`; false at the end of the stream or on a read error.
bool readPiece(std::istream& in, char* into, std::size_t& size) {
    in.read(into, std::streamsize(kChunk));
    size = std::size_t(in.gcount());
    return !in.eof() && !in.bad();
}
}  // namespace

namespace {
// One read through the reader: its context and what it gives.
class xpReading {
public:
    xpReading(xpElement& root, std::size_t maxErrors) : m_reader(root, &m_context) {
        m_context.setErrorLimit(maxErrors);
    }

    xpStreamImport& reader() { return m_reader; }

    // Forgets what was read: the document is refused.
    xpReadResult refused(int line, int column, std::string message) {
        m_reader.abandon();
        return refusedWith(line, column, std::move(message));
    }

    xpReadResult refused(std::string_view text, const xpTextProblem& problem) {
        int line = 0, column = 0;
        xpLineAndColumn(text, problem.offset, line, column);
        return refused(line, column, problem.message);
    }

    // Reads text checked as a whole, in pieces of `piece` bytes.
    xpReadResult readAll(std::string_view text, std::size_t piece) {
        for (std::size_t at = 0;;) {
            const std::size_t n = std::min(piece, text.size() - at);
            if (!m_reader.feed(text.data() + at, n, at + n == text.size())) break;
            at += n;
            if (at == text.size()) break;
        }
        return result();
    }

    // What was read once the whole text was fed.
    xpReadResult result() {
        const xpRefusal& refusal = m_reader.refusal();
        if (refusal) return refused(refusal.line, refusal.column, refusal.message);
        m_reader.finish();
        xpReadResult result;
        result.wellFormed = true;
        result.unlisted = m_context.unlisted();
        result.errors = m_context.takeErrors();
        // Report in document order; errors of one line keep the order they were found in.
        std::stable_sort(result.errors.begin(), result.errors.end() - (result.unlisted > 0),
                         [](const xpReportedError& a, const xpReportedError& b) { return a.line < b.line; });
        return result;
    }

private:
    xpExchangeContext m_context;
    xpStreamImport m_reader;
};
}  // namespace

xpReadResult xpDocument::readTree(xpElement& root, pugi::xml_node top) {
    // A whole document stands for its root element.
    if (top.type() == pugi::node_document)
        top = top.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
    if (top.type() != pugi::node_element) return refusedWith(0, 0, "no root element");
    if (root.getElementName() != top.name())
        return refusedWith(
            0, 0, "root element is \"" + std::string(top.name()) + "\", expected \"" + root.getElementName() + "\"");
    xpExchangeContext context;
    context.setErrorLimit(m_maxErrors);
    xpStreamImport reader(root, &context, false);
    reader.walk(top);
    reader.finish();
    xpReadResult result;
    result.wellFormed = true;
    result.unlisted = context.unlisted();
    result.errors = context.takeErrors();
    return result;
}

xpReadResult xpDocument::read(xpElement& root, std::string_view bytes) {
    std::string storage;
    std::string_view text;
    xpReading reading(root, m_maxErrors);
    if (xpTextProblem problem = xpDecodeSource(bytes, storage, text)) return reading.refused(text, problem);
    // Pieces as large as a text usually is: the parser copies each one into a buffer of its own.
    return reading.readAll(text, std::size_t(1) << 24);
}

xpReadResult xpDocument::readStream(xpElement& root, std::istream& in) {
    xpReading reading(root, m_maxErrors);
    xpStreamImport& reader = reading.reader();
    auto refused = [&](int line, int column, std::string message) {
        return reading.refused(line, column, std::move(message));
    };

    // Pieces are read straight into the parser's buffer; into this one once the parser stopped,
    // since the rest of the text is still checked.
    std::unique_ptr<char[]> own;
    auto room = [&]() -> char* {
        if (char* at = reader.room(kChunk)) return at;
        if (!own) own = std::make_unique_for_overwrite<char[]>(kChunk);
        return own.get();
    };
    char* data = room();
    std::size_t size = 0;
    bool more = readPiece(in, data, size);
    if (in.bad()) return refused(0, 0, "read error");
    if (decodedWhole(std::string_view(data, size))) {
        // Other encodings are rare and small: they are converted as a whole, then streamed.
        std::string whole(data, size);
        auto piece = std::make_unique_for_overwrite<char[]>(kChunk);
        while (more) {
            more = readPiece(in, piece.get(), size);
            whole.append(piece.get(), size);
        }
        if (in.bad()) return refused(0, 0, "read error");
        std::string storage;
        std::string_view text;
        if (xpTextProblem problem = xpDecodeSource(whole, storage, text)) return reading.refused(text, problem);
        return reading.readAll(text, kChunk);
    }
    if (std::string_view(data, size).starts_with("\xEF\xBB\xBF")) {
        std::memmove(data, data + 3, size - 3);
        size -= 3;
    }
    bool parsing = true;
    Position position;
    // A UTF-8 sequence cut at the end of a piece, checked with the start of the next.
    char cut[4];
    std::size_t cutSize = 0;
    for (;;) {
        const bool last = !more;
        std::string_view piece(data, size);
        // A byte that is no text refuses the document wherever it stands, even after a refusal
        // of the markup: the rest is still checked, as a text read checks it first.
        auto check = [&](std::string_view text) {
            if (xpTextProblem problem = xpCheckUtf8(text)) {
                Position at = position;
                at.advance(text.substr(0, problem.offset));
                return std::optional(refused(at.line, at.column, problem.message));
            }
            position.advance(text);
            return std::optional<xpReadResult>();
        };
        if (cutSize) {
            char joined[8];
            std::memcpy(joined, cut, cutSize);
            const std::size_t missing = sequenceLength(static_cast<unsigned char>(cut[0])) - cutSize;
            const std::size_t taken = std::min(missing, piece.size());
            std::memcpy(joined + cutSize, piece.data(), taken);
            piece.remove_prefix(taken);
            if (taken < missing && !last) {
                // A piece shorter than the sequence's rest: only a stream's last piece is.
                cutSize += taken;
                std::memcpy(cut, joined, cutSize);
            } else {
                if (auto result = check(std::string_view(joined, cutSize + taken))) return *result;
                cutSize = 0;
            }
        }
        const std::size_t complete = last ? piece.size() : completeLength(piece);
        std::memcpy(cut + cutSize, piece.data() + complete, piece.size() - complete);
        cutSize += piece.size() - complete;
        if (auto result = check(piece.substr(0, complete))) return *result;
        if (parsing) parsing = data == own.get() ? reader.feed(data, size, last) : reader.feedRoom(size, last);
        if (last) break;
        data = room();
        more = readPiece(in, data, size);
        if (in.bad()) return refused(0, 0, "read error");
    }
    return reading.result();
}

#pragma once

#include <string>
#include <string_view>
#include <typeinfo>

#include "kestrel/components/exchange/xpNode.h"

// Schema type of the numbers a document carries: xs:double without INF and NaN.
inline constexpr const char* xpFiniteDoubleType = "finiteDouble";
// Defines that type in `schema`, once.
void xpDefineFiniteDouble(xsSchema& schema);

// One attribute of the element that holds it.
class xpAttribute : public xpNode {
public:
    // Sets the bound value from the attribute text; false: the text was refused.
    virtual bool import_text(const std::string& text) = 0;
    // import_text() of a text that is no string yet: kinds read by the million (numbers with
    // units) take it as it stands; the others are given a string.
    virtual bool import_view(std::string_view text) { return import_text(std::string(text)); }
    // Gives the bound value as attribute text; false: there is no text for it.
    virtual bool export_text(std::string& text) = 0;
    virtual const std::type_info& attributeType() const = 0;
    // Whether import_text would take the text, without storing anything. Only attributes that
    // tell elements or alternatives apart (constants, text tables) refuse texts here.
    virtual bool accepts_text(const std::string& text) const;
    // What a refused text should have been, for messages ("one of global, local"); may be empty.
    virtual std::string expectation() const { return {}; }
    // Schema type of the attribute's text when no simple type is built for it.
    virtual std::string schemaType() const { return "xs:string"; }

    bool isAttribute() const override { return true; }
    bool export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>& elements) override;
    bool export_child(pugi::xml_node parent) override;
    void nodes_for_import(xpImportSet& nodes) override;
    bool do_import(xpImportSet& nodes) override;
    std::string getElementPath() const override;
    void buildSchema(xsSchema& schema, xsComplexType* type, const std::string& name) override;
    // Adds the attribute with the given type name (schemaType() when empty).
    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override;
    using xpNode::buildSchema;

    // Reads the attribute text into the node, recording refusals and exceptions; false on any.
    bool importText(std::string_view text);
    // Whether `dom` carries what this attribute demands if it is constant; otherwise `reason`
    // says which text was refused. Non-constant attributes accept any element.
    bool acceptsConstants(const xpRecord& element, std::string& reason) const override;
    bool holdsConstants() const override { return isConstant(); }

protected:
    // A load document never carries NaN or infinity: a number read must be finite. Throws
    // std::invalid_argument for one that is not.
    static double finiteRead(double value);
    // Whether a number can be written; records a write error on this node when it is not finite,
    // since the text written would not read back.
    bool finiteWrite(double value);
};

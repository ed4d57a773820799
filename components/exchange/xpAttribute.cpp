#include "kestrel/components/exchange/xpAttribute.h"

#include <cmath>
#include <stdexcept>

#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/exchange/xpImportSet.h"
#include "kestrel/components/schema/xsSchema.h"

void xpDefineFiniteDouble(xsSchema& schema) {
    if (xsSimpleType* type = schema.defineSimpleType(xpFiniteDoubleType)) {
        type->setBase("xs:double");
        type->pattern("[+\\-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+\\-]?[0-9]+)?");
    }
}

double xpAttribute::finiteRead(double value) {
    if (!std::isfinite(value)) throw std::invalid_argument("not a finite number");
    return value;
}

bool xpAttribute::finiteWrite(double value) {
    if (std::isfinite(value)) return true;
    nodeError() << xml_error_message(this, "cannot write the non-finite number " + mfTextFormatter::format_impl(value));
    return false;
}

bool xpAttribute::accepts_text(const std::string&) const {
    return true;
}

bool xpAttribute::export_nodes(std::vector<xpNode*>& attributes, std::vector<xpNode*>&) {
    if (!export_concrete()) return false;
    attributes.push_back(this);
    return true;
}

bool xpAttribute::export_child(pugi::xml_node parent) {
    std::string text;
    if (!export_text(text)) return false;
    parent.append_attribute(getName().c_str()).set_value(text.c_str());
    return true;
}

void xpAttribute::nodes_for_import(xpImportSet&) {}

bool xpAttribute::do_import(xpImportSet& nodes) {
    const std::size_t at = nodes.findAttributeIndex(getName());
    if (at == xpImportSet::npos) {
        if (is_required() && isRequiredField()) reportMissing();
        return false;
    }
    nodes.takeAttributeAt(at);
    if (!importText(nodes.attribute(at).valueView())) return false;
    return guardedImportConcrete();
}

bool xpAttribute::importText(std::string_view text) {
    auto quoted = [&] { return "invalid value \"" + std::string(text) + "\""; };
    try {
        if (import_view(text)) return true;
        std::string message = quoted();
        std::string expected = expectation();
        if (!expected.empty()) message += ", expected " + expected;
        nodeError() << xml_error_message(this, message);
    } catch (const std::exception& e) {
        nodeError() << xml_error_message(this, quoted() + ": " + e.what());
    } catch (...) {
        nodeError() << xml_error_message(this, quoted());
    }
    return false;
}

bool xpAttribute::acceptsConstants(const xpRecord& element, std::string& reason) const {
    if (!isConstant()) return true;
    const xpRecordAttribute* found = element.attribute(getName());
    if (!found) {
        if (!is_required()) return true;
        reason = "attribute \"" + getName() + "\" is missing";
        return false;
    }
    if (accepts_text(found->value())) return true;
    reason = "attribute \"" + getName() + "\" does not accept \"" + found->value() + "\"";
    std::string expected = expectation();
    if (!expected.empty()) reason += ", expected " + expected;
    return false;
}

std::string xpAttribute::getElementPath() const {
    std::string path = getParent() ? getParent()->getElementPath() : std::string();
    return path + "/@" + getName();
}

void xpAttribute::buildSchema(xsSchema& schema, xsComplexType* type, const std::string&) {
    buildSchema(schema, &type->attributes(), "");
}

void xpAttribute::buildSchema(xsSchema&, xsAttributeGroup* group, const std::string& name) {
    auto* attribute = new xsAttribute(getName(), name.empty() ? schemaType() : name, is_required());
    if (!documentation().empty()) attribute->annotate(new xsDocumentation(documentation()));
    group->push_back(attribute);
}

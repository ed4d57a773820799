#pragma once

#include <map>
#include <string>

#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/exchange/xpMemberRouter.h"
#include "kestrel/exchange/xpTypedAttribute.h"

// An enumeration written through a text table. Reading accepts every text of the table (exact,
// case-sensitive); where several texts share a value, the last in ascending order is written.
template <class E, class Access>
class xpAttributeMapping : public xpMemberRouter<E, Access, xpAttributeMapping<E, Access>, xpTypedAttribute<E>> {
    using Router = xpMemberRouter<E, Access, xpAttributeMapping<E, Access>, xpTypedAttribute<E>>;

public:
    xpAttributeMapping(Access access, const std::map<std::string, E>& table) : Router(std::move(access)) {
        for (const auto& [text, value] : table) {
            valueToText[value] = text;
            textToValue[text] = value;
        }
    }

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(xpTypedAttribute<E>)) + "Type"; }

    bool export_text(std::string& text) override {
        E value{};
        if (!this->readMember(value)) return false;
        auto found = valueToText.find(value);
        if (found == valueToText.end()) return false;
        text = found->second;
        return true;
    }
    bool import_text(const std::string& text) override {
        auto found = textToValue.find(text);
        return found != textToValue.end() && this->writeMember(found->second);
    }
    bool get_value(E& value) override { return this->readMember(value); }
    bool accepts_text(const std::string& text) const override { return textToValue.count(text) != 0; }
    std::string expectation() const override {
        std::string list;
        for (const auto& [text, value] : textToValue) list += (list.empty() ? "one of " : ", ") + text;
        return list;
    }

    // A value without a text writes no attribute at all.
    bool export_concrete() override {
        std::string scratch;
        return export_text(scratch);
    }

    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string&) override {
        xpAttribute::buildSchema(schema, group, "");
        xsSimpleType* simple = group->attribute_back()->createSimpleType(0);
        for (const auto& [text, value] : textToValue) simple->enumeration(text);
    }
    using xpAttribute::buildSchema;

    std::map<E, std::string> valueToText;
    std::map<std::string, E> textToValue;
};

#pragma once

#include <string>

#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/exchange/xpMemberRouter.h"
#include "kestrel/exchange/xpTypedAttribute.h"

// A string attribute; with a constant access it accepts exactly its own text and stores nothing.
template <class Access>
class xpAttributeString
    : public xpMemberRouter<std::string, Access, xpAttributeString<Access>, xpTypedAttribute<std::string>> {
    using Router = xpMemberRouter<std::string, Access, xpAttributeString<Access>, xpTypedAttribute<std::string>>;

public:
    explicit xpAttributeString(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() {
        return mfTextFormatter::format_impl(typeid(xpTypedAttribute<std::string>)) + "Type";
    }

    bool export_text(std::string& text) override { return this->readMember(text); }
    bool import_text(const std::string& text) override { return this->writeMember(text); }
    bool get_value(std::string& value) override { return this->readMember(value); }

    bool accepts_text(const std::string& text) const override {
        if constexpr (Access::constant) return text == this->access.value;
        return true;
    }
    std::string expectation() const override {
        if constexpr (Access::constant) return "\"" + this->access.value + "\"";
        return {};
    }

    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override {
        xpAttribute::buildSchema(schema, group, name);
        if constexpr (Access::constant) group->attribute_back()->createSimpleType(0)->enumeration(this->access.value);
    }
    using xpAttribute::buildSchema;
};

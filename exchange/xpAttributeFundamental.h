#pragma once

#include <string>
#include <type_traits>

#include "kestrel/components/framework/mfLexicalCast.h"
#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/exchange/xpMemberRouter.h"
#include "kestrel/exchange/xpTypedAttribute.h"

// A number attribute (double or int): shortest exact text out, the lexical cast in.
template <class T, class Access>
class xpAttributeFundamental
    : public xpMemberRouter<T, Access, xpAttributeFundamental<T, Access>, xpTypedAttribute<T>> {
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, int>,
                  "Kestrel: xpAttributeFundamental binds double or int members only");
    using Router = xpMemberRouter<T, Access, xpAttributeFundamental<T, Access>, xpTypedAttribute<T>>;

public:
    explicit xpAttributeFundamental(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(xpTypedAttribute<T>)) + "Type"; }

    bool export_text(std::string& text) override {
        T value{};
        if (!this->readMember(value)) return false;
        if constexpr (std::is_same_v<T, double>)
            if (!this->finiteWrite(value)) return false;
        text = mfTextFormatter::format_impl(value);
        return true;
    }
    // Throws the lexical cast's exception for a text that is no number.
    bool import_text(const std::string& text) override {
        if constexpr (std::is_same_v<T, double>)
            return this->writeMember(this->finiteRead(mfLexicalCast<T>(text)));
        else
            return this->writeMember(mfLexicalCast<T>(text));
    }
    bool get_value(T& value) override { return this->readMember(value); }

    bool accepts_text(const std::string& text) const override {
        if constexpr (Access::constant) {
            try {
                return mfLexicalCast<T>(text) == this->access.value;
            } catch (...) {
                return false;
            }
        }
        return true;
    }
    std::string expectation() const override {
        if constexpr (Access::constant) return "\"" + mfTextFormatter::format_impl(this->access.value) + "\"";
        return {};
    }
    std::string schemaType() const override {
        if constexpr (std::is_same_v<T, int>) return "xs:int";
        return Access::constant ? "xs:double" : xpFiniteDoubleType;
    }

    // A constant lists its one text, so that same-named elements told apart by it fold into one
    // declaration that lists all of theirs.
    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override {
        xpAttribute::buildSchema(schema, group, name);
        if (schemaType() == xpFiniteDoubleType) xpDefineFiniteDouble(schema);
        if constexpr (Access::constant) {
            xsSimpleType* simple = group->attribute_back()->createSimpleType(0);
            simple->setBase(schemaType());
            simple->enumeration(mfTextFormatter::format_impl(this->access.value));
        }
    }
    using xpAttribute::buildSchema;
};

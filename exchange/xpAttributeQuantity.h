#pragma once

#include <string>

#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/components/units/jsQuantityPattern.h"
#include "kestrel/exchange/xpMemberRouter.h"
#include "kestrel/exchange/xpTypedAttribute.h"

// A double member written with units of the quantity class U ("10 kN/m2" reads as 10000 Pa).
template <class U, class Access>
class xpAttributeQuantity : public xpMemberRouter<U, Access, xpAttributeQuantity<U, Access>, xpTypedAttribute<U>> {
    static_assert(std::is_base_of_v<jsQuantity, U>, "Kestrel: xpAttributeQuantity needs a js quantity class");
    static_assert(std::is_same_v<typename Access::value_type, double>,
                  "Kestrel: xpAttributeQuantity binds a double member holding the value in internal units");
    using Router = xpMemberRouter<U, Access, xpAttributeQuantity<U, Access>, xpTypedAttribute<U>>;

public:
    explicit xpAttributeQuantity(Access access) : Router(std::move(access)) {}

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(xpTypedAttribute<U>)) + "Type"; }

    // The member as a quantity, and back; both under the conversion guard of the access.
    bool readMember(U& out) {
        double value = 0.0;
        if (!this->access.get(*this, value)) return false;
        out = U(value, 0);
        return true;
    }
    bool writeMember(const U& quantity) { return this->access.set(*this, static_cast<const double&>(quantity)); }

    bool export_text(std::string& text) override {
        U quantity(0.0);
        if (!readMember(quantity) || !this->finiteWrite(quantity.value())) return false;
        text = quantity.format(10, 12288, 0, 1);
        return true;
    }
    // Throws the units parser's exception for a text it cannot read as U.
    bool import_text(const std::string& text) override { return import_view(text); }
    bool import_view(std::string_view text) override {
        return writeMember(U(this->finiteRead(jsParseQuantity(text, U::descriptor())), 0));
    }
    bool get_value(U& value) override { return readMember(value); }
    const std::type_info& attributeType() const override { return typeid(double); }
    std::string schemaType() const override { return jsQuantityTypeName(U::descriptor()); }

    // The texts the quantity takes, as a named pattern type defined once per schema.
    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override {
        xpAttribute::buildSchema(schema, group, name);
        if (xsSimpleType* type = schema.defineSimpleType(schemaType()))
            type->pattern(jsQuantityPattern(U::descriptor()));
    }
    using xpAttribute::buildSchema;
};

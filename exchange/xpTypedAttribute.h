#pragma once

#include <typeinfo>

#include "kestrel/components/exchange/xpAttribute.h"

// An attribute whose bound value has type T.
template <class T>
class xpTypedAttribute : public xpAttribute {
public:
    ~xpTypedAttribute() override = default;
    // Gives the bound value as a typed value.
    virtual bool get_value(T& value) = 0;
    const std::type_info& attributeType() const override { return typeid(T); }
};

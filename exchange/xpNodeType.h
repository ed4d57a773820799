#pragma once

#include <string>
#include <typeinfo>

#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpMemberRouter.h"

// The value node of a member of class type T: the binding xpClass<T> itself, filled from the
// member before it is written and turned back into the member after it was read.
template <class T, class Access, class Binding = xpClass<T>>
class xpNodeType : public xpMemberRouter<T, Access, xpNodeType<T, Access, Binding>, Binding> {
    using Router = xpMemberRouter<T, Access, xpNodeType<T, Access, Binding>, Binding>;

public:
    explicit xpNodeType(Access access) : Router(std::move(access)) { Binding::completePrimitive(); }

    static std::string defaultTypeName() { return mfTextFormatter::format_impl(typeid(T)) + "Type"; }

    // Restores the binding's defaults, then fills it from the member.
    bool export_concrete() override {
        this->reset_all();
        T value{};
        if (!this->readMember(value)) return false;
        return this->export_(value);
    }

    // Each read starts from the binding's defaults (an item prototype is read once per item).
    void import_begin() override {
        Binding::import_begin();
        this->reset_all();
    }

    // Builds the value from the binding and stores it in the member.
    bool import_concrete() override { return this->writeMember(this->import()); }
};

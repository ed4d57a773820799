#pragma once

#include <memory>
#include <utility>

#include "kestrel/exchange/xpSpecialization.h"

namespace kestrel_test {

// An element "owner" holding one polymorphic member of base B named `member`, as a host element
// holds one; it owns what the member points to.
template <class B>
struct Owner : xpElement {
    B* object = nullptr;
    explicit Owner(const char* member = "f") {
        setName("owner");
        xpMemberDeclaration<B * Owner::*> declaration;
        declaration.name = member;
        declaration.member = &Owner::object;
        add(xpCreateMemberNode(declaration, this));
    }
    ~Owner() override { delete object; }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    // The object, handed over to the caller.
    std::unique_ptr<B> take() { return std::unique_ptr<B>(std::exchange(object, nullptr)); }
};

}  // namespace kestrel_test

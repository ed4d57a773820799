#pragma once

#include "kestrel/elements/kestrelRegistration.h"
#include "kestrel/exchange/xpSpecialization.h"

// An element holding one object of base B in a polymorphic member, as a host element would; it
// owns the object.
template <class B>
struct BenchOwner : xpElement {
    B* object = nullptr;
    explicit BenchOwner(const char* member) {
        setName("owner");
        xpMemberDeclaration<B * BenchOwner::*> declaration;
        declaration.name = member;
        declaration.member = &BenchOwner::object;
        add(xpCreateMemberNode(declaration, this));
    }
    ~BenchOwner() override { delete object; }
};

// A current document with every element registered, and an owner built after that.
template <class B>
struct BenchSession {
    explicit BenchSession(const char* member) : owner(member) {}
    xpDocument document;
    xpCurrentDocument current{document};
    bool registered = (kestrel::register_futures(), true);
    BenchOwner<B> owner;
};

#pragma once

#include <map>
#include <memory>
#include <typeinfo>

#include "kestrel/components/types/mfTypeInfo.h"

// Base of every registry of prototypes; a document owns one registry per base type.
class xpFutureElementsBase {
public:
    virtual ~xpFutureElementsBase();
    // The base type whose prototypes the registry holds.
    virtual mfTypeInfo baseType() const = 0;
};

// The registries of one document, one slot per base type.
class xpFutureElementsCollection {
public:
    xpFutureElementsCollection();
    ~xpFutureElementsCollection();
    xpFutureElementsCollection(const xpFutureElementsCollection&) = delete;
    xpFutureElementsCollection& operator=(const xpFutureElementsCollection&) = delete;

    // The slot of one base type; empty until a registry is stored in it. The collection owns
    // what is stored.
    std::unique_ptr<xpFutureElementsBase>& get(const mfTypeInfo& base);
    // The registries stored, not the empty slots.
    std::size_t size() const;
    const std::map<mfTypeInfo, std::unique_ptr<xpFutureElementsBase>>& slots() const { return m_slots; }

private:
    std::map<mfTypeInfo, std::unique_ptr<xpFutureElementsBase>> m_slots;
};

#pragma once

#include "kestrel/components/types/mfTypeInfo.h"

// A future element for base B: an element that reads and writes one concrete model type derived
// from B, and that can be cloned from a registered prototype.
template <class B>
class xpFutureElementBase {
public:
    xpFutureElementBase() = default;
    xpFutureElementBase(const xpFutureElementBase&) = default;
    xpFutureElementBase& operator=(const xpFutureElementBase&) = default;
    virtual ~xpFutureElementBase() = default;

    // The concrete model type this element reads and writes.
    virtual mfTypeInfo type() const = 0;
    // Builds a new model object from the element's members; false when none was built.
    virtual bool future_import(B*& result) = 0;
    // Copies a model object into the element's members; false for an object of another type.
    virtual bool future_export(B* object) = 0;
    // A freshly constructed element of the same class with the same element name.
    virtual xpFutureElementBase<B>* clone() const = 0;
};

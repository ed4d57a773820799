#pragma once

#include <type_traits>
#include <typeinfo>

#include "kestrel/components/model/mfMetaObject.h"
#include "kestrel/components/types/mfTypeInfoBase.h"

namespace impl {

// The record of a model type T: it accepts every type T is, derives from or offers, asking T's
// interface chain without an object of T.
template <class T>
class mfTypeInfoHierarchy : public mfTypeInfoBase {
    static_assert(std::is_base_of_v<mfMetaObject, T>,
                  "Kestrel: a hierarchy record needs a model class (derived from mfMetaObject)");

public:
    mfTypeInfoBase* clone() const override { return new mfTypeInfoHierarchy<T>; }
    // A failing chain counts as a refusal.
    bool accepts(const std::type_info& type) const override {
        try {
            return T::offersInterface(type);
        } catch (...) {
            return false;
        }
    }
    const std::type_info& type() const override { return typeid(T); }
};

}  // namespace impl

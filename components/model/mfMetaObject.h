#pragma once

#include <type_traits>
#include <typeinfo>

#include "kestrel/components/framework/bosStrategyInterface.h"

// Root of every model class. A model object answers "is a" questions through getInterface,
// which each class implements as a chain: itself, then its base. The same chain exists as a
// static function (offersInterface) so that a type can be asked without an object of it.
class mfMetaObject : public bosObject {
public:
    ~mfMetaObject() override = default;

    // The object as `type` when it is, derives from or offers that type; null otherwise.
    virtual void* getInterface(const std::type_info& type);
    static bool offersInterface(const std::type_info& type) { return type == typeid(mfMetaObject); }
};

// One step of a getInterface chain: `self` as Self when asked for Self, else Next's answer.
template <class Self, class Next>
void* mfInterfaceStep(Self* self, const std::type_info& type) {
    static_assert(std::is_base_of_v<Next, Self>, "Kestrel: the next step of an interface chain must be a base");
    if (type == typeid(Self)) return self;
    return self->Next::getInterface(type);
}

// The same step without an object.
template <class Self, class Next>
bool mfOffersStep(const std::type_info& type) {
    return type == typeid(Self) || Next::offersInterface(type);
}

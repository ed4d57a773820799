#pragma once

#include "kestrel/components/model/mfRelationObject.h"

// Base of the objects of a load case. Its type also keys the load-case factory
// (mfFactory::getFactory(typeid(lcModelObject))).
class lcModelObject : public mfRelationObject {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcModelObject, mfRelationObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<lcModelObject, mfRelationObject>(type);
    }
};

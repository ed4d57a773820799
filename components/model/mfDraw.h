#pragma once

#include "kestrel/components/model/mfMetaObject.h"

// Base of model objects that can be drawn.
class mfDraw : public mfMetaObject {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<mfDraw, mfMetaObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<mfDraw, mfMetaObject>(type); }
};

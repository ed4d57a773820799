#pragma once

#include "kestrel/components/loadcase/lcModelObject.h"

// A load case: the owner that clones of intensity functions may be placed into.
class lcBasicLoadCase : public lcModelObject {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcBasicLoadCase, lcModelObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<lcBasicLoadCase, lcModelObject>(type);
    }
};

#pragma once

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/types/mfTypeInfo.h"

// An element that stands for one concrete model type of a polymorphic member.
class xpIFutureElement : public xpElement {
public:
    // The model type the node currently stands for.
    virtual mfTypeInfo modelType() const = 0;
};

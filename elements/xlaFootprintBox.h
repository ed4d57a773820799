#pragma once

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"
#include "kestrel/model/laFootprintBox.h"

class xlaFootprintBox;
// Compiled once, in the module (xlaFootprints.cpp).
extern template class KESTREL_API xpFutureElement<xlaFootprintBox, lcFootprint_3d, xpElement>;

// "footprint_box": "lower_corner", "upper_corner", optional "local_system" and
// "local_system_origin". A box read without "local_system" keeps the element's default system.
class KESTREL_API xlaFootprintBox : public xpFutureElement<xlaFootprintBox, lcFootprint_3d, xpElement> {
public:
    using model_type = laFootprintBox;

    xlaFootprintBox();
    xlaFootprintBox(const xlaFootprintBox& other);
    xlaFootprintBox& operator=(const xlaFootprintBox& other);
    ~xlaFootprintBox() override;

    bool export_(laFootprintBox* footprint);
    // A new footprint from the storage strategy, owned by the caller.
    laFootprintBox* import();

    pos3d m_lowerCorner;
    pos3d m_upperCorner;
    locsys3d m_localSystem;
    pos3d m_origin;
};

template <>
class xpClass<laFootprintBox> : public xlaFootprintBox {
public:
    ~xpClass() override = default;
};

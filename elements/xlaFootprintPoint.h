#pragma once

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"
#include "kestrel/model/laFootprintPoint.h"

class xlaFootprintPoint;
// Compiled once, in the module (xlaFootprints.cpp).
extern template class KESTREL_API xpFutureElement<xlaFootprintPoint, lcFootprint_0d, xpElement>;

// "footprint_point": child "point", the position.
class KESTREL_API xlaFootprintPoint : public xpFutureElement<xlaFootprintPoint, lcFootprint_0d, xpElement> {
public:
    using model_type = laFootprintPoint;

    xlaFootprintPoint();
    xlaFootprintPoint(const xlaFootprintPoint& other);
    xlaFootprintPoint& operator=(const xlaFootprintPoint& other);
    ~xlaFootprintPoint() override;

    bool export_(laFootprintPoint* footprint);
    // A new footprint from the storage strategy, owned by the caller.
    laFootprintPoint* import();

    pos3d m_point;
};

template <>
class xpClass<laFootprintPoint> : public xlaFootprintPoint {
public:
    ~xpClass() override = default;
};

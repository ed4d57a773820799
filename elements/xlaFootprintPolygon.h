#pragma once

#include "components/exchange/xpElement.h"
#include "exchange/xpClass.h"
#include "exchange/xpFutureElement.h"
#include "model/List.h"
#include "model/laFootprintPolygon.h"
#include "types/kestrelApi.h"

// "footprint_polygon": sequence "points" with one "point" per corner, in order.
class KESTREL_API xlaFootprintPolygon : public xpFutureElement<xlaFootprintPolygon, lcFootprint_2d, xpElement> {
public:
    using model_type = laFootprintPolygon;

    xlaFootprintPolygon();
    xlaFootprintPolygon(const xlaFootprintPolygon& other);
    xlaFootprintPolygon& operator=(const xlaFootprintPolygon& other);
    ~xlaFootprintPolygon() override;

    bool export_(laFootprintPolygon* footprint);
    // A new footprint from the storage strategy, owned by the caller.
    laFootprintPolygon* import();

    List<pos3d> m_corners;
};

template <>
class xpClass<laFootprintPolygon> : public xlaFootprintPolygon {
public:
    ~xpClass() override = default;
};

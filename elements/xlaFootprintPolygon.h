#pragma once

#include <string>

#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/framework/List.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/exchange/xpClass.h"
#include "kestrel/exchange/xpFutureElement.h"
#include "kestrel/model/laFootprintPolygon.h"

class xlaFootprintPolygon;
// Compiled once, in the module (xlaFootprints.cpp).
extern template class KESTREL_API xpFutureElement<xlaFootprintPolygon, lcFootprint_2d, xpElement>;

// "footprint_polygon": sequence "points" with one "point" per corner, in order.
class KESTREL_API xlaFootprintPolygon : public xpFutureElement<xlaFootprintPolygon, lcFootprint_2d, xpElement> {
public:
    using model_type = laFootprintPolygon;

    xlaFootprintPolygon();
    xlaFootprintPolygon(const xlaFootprintPolygon& other);
    xlaFootprintPolygon& operator=(const xlaFootprintPolygon& other);
    ~xlaFootprintPolygon() override;

    // Copies the corners; corners that import would refuse are written and reported.
    bool export_(laFootprintPolygon* footprint);
    // A new footprint from the storage strategy, owned by the caller; null, with the problem
    // reported, when the corners are fewer than three distinct ones or lie on one line.
    laFootprintPolygon* import();
    // Remembers where the element was read, for the problem import reports.
    bool importContent(xpImportSet& nodes) override;

    List<pos3d> m_corners;

private:
    std::string m_readPath;
    int m_readLine = 0;
    int m_readColumn = 0;
};

template <>
class xpClass<laFootprintPolygon> : public xlaFootprintPolygon {
public:
    ~xpClass() override = default;
};

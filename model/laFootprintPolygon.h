#pragma once

#include "kestrel/components/geometry/polygon3d.h"
#include "kestrel/components/loadcase/lcFootprint.h"

// A load acting over a plane polygon; the corners keep their order.
class KESTREL_API laFootprintPolygon : public lcFootprint_2d {
public:
    explicit laFootprintPolygon(const List<pos3d>& corners);

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laFootprintPolygon, lcFootprint_2d>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laFootprintPolygon, lcFootprint_2d>(type);
    }
    std::string description() const override;
    void getPoints(List<pos3d>& points) const override;
    lcFootprint* clone() const override;
    bool within(const pos3d& position) const override;

    // The unit normal (the same everywhere on a plane polygon); false when it is degenerate.
    virtual bool normal(const pos3d& position, vec3d& normal) const;
    // The foot of a position on the polygon's plane; false when it is degenerate.
    virtual bool project(const pos3d& position, pos3d& foot) const;
    virtual double area() const { return m_polygon.area(); }
    virtual const polygon3d& geometry() const { return m_polygon; }
    // The same polygon with its corners reversed, allocated like clone().
    virtual laFootprintPolygon* flipped() const;

private:
    polygon3d m_polygon;
};

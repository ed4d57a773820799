#pragma once

#include "kestrel/components/geometry/oriented_bbox3d.h"
#include "kestrel/components/loadcase/lcFootprint.h"

// A load acting inside a box whose sides follow a local system; the box has an origin of its
// own for the loads' local coordinates.
class KESTREL_API laFootprintBox : public lcFootprint_3d {
public:
    explicit laFootprintBox(const oriented_bbox3d& box) : m_box(box), m_origin(box.locsys().origin()) {}

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laFootprintBox, lcFootprint_3d>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laFootprintBox, lcFootprint_3d>(type);
    }
    std::string description() const override;
    // The eight corners in global coordinates.
    void getPoints(List<pos3d>& points) const override;
    lcFootprint* clone() const override;
    bool within(const pos3d& position) const override { return m_box.contains(position); }

    virtual const oriented_bbox3d& geometry() const { return m_box; }
    virtual const oriented_bbox3d& orientedBounding() const { return m_box; }
    virtual void setOriginLocalSystem(const pos3d& origin) { m_origin = origin; }
    virtual const pos3d& getOriginLocalSystem() const { return m_origin; }
    // Moves the box to lower corner `corner` with extent `size` along its local axes.
    virtual void setBoxExtent(const pos3d& corner, const vec3d& size);
    virtual void locsys(const locsys3d& system);
    // Extent along the local axes (absolute).
    virtual vec3d boxSize() const;

private:
    oriented_bbox3d m_box;
    pos3d m_origin;
};

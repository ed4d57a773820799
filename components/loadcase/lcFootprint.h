#pragma once

#include "kestrel/components/framework/List.h"
#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/model/mfRelationObject.h"

// Where a load acts. The dimension bases below tell which intensities a footprint can carry.
class KESTREL_API lcFootprint : public mfRelationObject {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcFootprint, mfRelationObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<lcFootprint, mfRelationObject>(type);
    }

    // The defining points, in order.
    virtual void getPoints(List<pos3d>& points) const = 0;
    // A copy allocated through the program's storage strategy; null when it has no memory.
    virtual lcFootprint* clone() const = 0;
    // Whether the position lies on the footprint within the length tolerance: at a point, on a
    // line's segment, in a polygon's plane region (boundary included), inside a box.
    virtual bool within(const pos3d& position) const = 0;
};

// A footprint that acts at a point.
class KESTREL_API lcFootprint_0d : public lcFootprint {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcFootprint_0d, lcFootprint>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<lcFootprint_0d, lcFootprint>(type); }
};

// A footprint that acts along a line.
class KESTREL_API lcFootprint_1d : public lcFootprint {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcFootprint_1d, lcFootprint>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<lcFootprint_1d, lcFootprint>(type); }

    // The parameter of a position along the line, and the position at a parameter; each false
    // when there is none.
    virtual bool parameter(const pos3d& position, double& t) const = 0;
    virtual bool position(const double& t, pos3d& position) const = 0;
};

// A footprint that acts over a surface.
class KESTREL_API lcFootprint_2d : public lcFootprint {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcFootprint_2d, lcFootprint>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<lcFootprint_2d, lcFootprint>(type); }
};

// A footprint that acts inside a volume.
class KESTREL_API lcFootprint_3d : public lcFootprint {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcFootprint_3d, lcFootprint>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<lcFootprint_3d, lcFootprint>(type); }
};

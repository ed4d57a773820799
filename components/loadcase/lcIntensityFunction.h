#pragma once

#include <complex>
#include <memory>
#include <set>
#include <string>

#include "kestrel/components/framework/List.h"
#include "kestrel/components/geometry/plane3d.h"
#include "kestrel/components/geometry/pos3d.h"
#include "kestrel/components/geometry/triangle3d.h"
#include "kestrel/components/geometry/vec3d.h"
#include "kestrel/components/loadcase/lcIntensity.h"
#include "kestrel/components/loadcase/lcLoad.h"
#include "kestrel/components/model/mfRelationObject.h"

class lcBasicLoadCase;
class lcIntensityAlgorithms;

// The values of one function under one load, in one system and times one factor, at many
// positions: each is what getIntensity gives there, bit for bit, while what does not depend on
// the position is worked out once. Valid while the function and the load stay as they are.
class lcIntensitySampler {
public:
    virtual ~lcIntensitySampler() = default;
    virtual lcIntensity at(const pos3d& position) const = 0;
};

// How strong a load is at a position. Positions handed in are global; the function says in
// which system it holds its own values and positions (internalIntensitySystem,
// internalPositionSystem) and answers in the system asked for.
class lcIntensityFunction : public mfRelationObject {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcIntensityFunction, mfRelationObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<lcIntensityFunction, mfRelationObject>(type);
    }

    // The intensity at a global position in `system`, times `factor`; empty where none can be
    // given.
    virtual lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                                     const std::complex<double>& factor) const = 0;
    // By default the sampler asks getIntensity at each position.
    virtual std::unique_ptr<lcIntensitySampler> sampler(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                                        const std::complex<double>& factor) const;
    virtual const lcIntensityAlgorithms* algorithms() const = 0;
    // Adds the families of this function and of the functions it is made of.
    virtual void getAllAlgorithms(std::set<const lcIntensityAlgorithms*>& all) const;
    // Adds this function, and those it is made of, when of the family `algorithms`.
    virtual void getAllFunctions(std::set<const lcIntensityFunction*>& all,
                                 const lcIntensityAlgorithms* algorithms) const;
    virtual bool hasConstantIntensity() const = 0;
    // False: no function is known to be linear unless it says so.
    virtual bool hasLinearIntensity(vec3d& gradient) const;
    virtual bool getConstantIntensityPlane(const lcIntensity& level, plane3d& plane) const;
    // The text shown for the function under `load`.
    virtual std::string description(const lcLoad* load) const = 0;
    using mfRelationObject::description;
    // The value everywhere when the function is constant; empty otherwise.
    virtual lcIntensity getConstantIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                             const std::complex<double>& factor) const = 0;
    // The largest intensity over the load's footprint: the one of largest measure among those at
    // the footprint's defining points, which is exact for functions linear over a convex
    // footprint. Without a footprint or points, the constant intensity.
    virtual lcIntensity getMaximumIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                            const std::complex<double>& factor) const;
    // A copy allocated through the program's storage strategy; null when it has no memory.
    virtual lcIntensityFunction* clone(lcBasicLoadCase* loadCase) const = 0;
    virtual lcLoad::lcCoordinateSystem internalIntensitySystem() const = 0;
    virtual lcLoad::lcCoordinateSystem internalPositionSystem() const = 0;
    // Splits triangles where the function needs finer ones; by default they stay as they are.
    virtual void retriangulate(const List<triangle3d>& in, List<triangle3d>& out) const;
    // Tells the function that settings loads depend on have changed.
    virtual void update_load() {}

protected:
    // Announces the dying object to the load-case factory, if one is registered. Called first
    // thing by the destructor of each concrete function, while the object is still whole.
    void handOverToFactory();
};

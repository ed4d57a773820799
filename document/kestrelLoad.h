#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/loadcase/lcFootprint.h"
#include "kestrel/components/loadcase/lcIntensityFunction.h"
#include "kestrel/components/loadcase/lcLoad.h"
#include "kestrel/elements/kestrelKinds.h"
#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/model/laDisplacement.h"
#include "kestrel/model/laForceMoment.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laScriptFunction.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

// How a load's local coordinates are measured.
enum class hostCoordinates { cartesian = 0, cylindrical = 1 };

// One load of a load document: a value that shares its footprint and intensity function.
struct KESTREL_API hostLoad {
    std::string name;
    hostCoordinates coordinates = hostCoordinates::cartesian;
    std::optional<locsys3d> localSystem;
    // Where the load acts; shared, since a load is a value that is copied freely.
    std::shared_ptr<lcFootprint> footprint;
    // How strong it is at each position.
    std::shared_ptr<lcIntensityFunction> intensity;

    // The model load: its coordinate system from "coordinates" and "local_system", and its
    // footprint (which must outlive the model load).
    lcLoad model() const;

    // Loads are equal when their values are: footprints are compared by kind and geometry.
    friend KESTREL_API bool operator==(const hostLoad& a, const hostLoad& b);
};

// Whether two footprints (either may be null) are of one kind with the same geometry.
KESTREL_API bool hostSameFootprint(const lcFootprint* a, const lcFootprint* b);
// Whether two intensity functions (either may be null) are of one kind with the same systems,
// description and limit function.
KESTREL_API bool hostSameIntensity(const lcIntensityFunction* a, const lcIntensityFunction* b);

// Why the intensity function's last evaluation gave no value where it applies: the script
// function's error; empty for every other kind, and after a value.
KESTREL_API std::string hostEvaluationError(const lcIntensityFunction& intensity);

// One polymorphic member of the load element, for the kinds offered under base B.
template <class B>
struct xhostSlot {
    B* m_slot = nullptr;
};
template <class List>
struct xhostSlots;
template <class... B>
struct xhostSlots<kestrelTypes<B...>> : xhostSlot<B>... {};

// The bases a load's footprint is offered under, and those of its intensity function.
using xhostFootprintBases = kestrelFootprintBases;
using xhostIntensityBases = kestrelMap<laIntensityFunction, kestrelQuantities>::type;

// The "load" element: attribute "name" (required), attribute "coordinates" ("cartesian", the
// default, or "cylindrical"), optional child "local_system".
class KESTREL_API xhostLoad : public xpElement,
                              public xhostSlots<xhostFootprintBases>,
                              public xhostSlots<xhostIntensityBases> {
public:
    xhostLoad();
    bool export_(const hostLoad& load);
    // Hands over what was read, so that a session read again keeps nothing of this load.
    hostLoad import();
    // Reads the load and notes in the "loads" element above, if any, what became of it. A load
    // left out for its errors keeps nothing it read until the next one.
    bool importContent(xpImportSet& nodes) override;
    void import_begin() override {
        m_name.clear();
        m_hasLocalSystem = false;
        m_footprint.reset();
        m_intensity.reset();
    }

    std::string m_name;
    hostCoordinates m_coordinates = hostCoordinates::cartesian;
    locsys3d m_localSystem;
    bool m_hasLocalSystem = false;
    // The slot of base B (a footprint base or an intensity base): one polymorphic member each;
    // on writing they borrow the load's footprint and intensity function.
    template <class B>
    static constexpr B* xhostLoad::*slot() {
        return static_cast<B * xhostLoad::*>(&xhostSlot<B>::m_slot);
    }
    // What was read.
    std::shared_ptr<lcFootprint> m_footprint;
    std::shared_ptr<lcIntensityFunction> m_intensity;

private:
    // The "loads" element above, found on the first read (the tree does not change after).
    class xhostLoads* m_loads = nullptr;
};

template <>
class xpClass<hostLoad> : public xhostLoad {
public:
    ~xpClass() override = default;
};

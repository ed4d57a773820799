#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/geometry/locsys3d.h"
#include "exchange/xpMemberDeclaration.h"
#include "model/lcFootprint.h"

// How a load's local coordinates are measured.
enum class hostCoordinates { cartesian = 0, cylindrical = 1 };

// One load of the example host's document.
struct hostLoad {
    std::string name;
    hostCoordinates coordinates = hostCoordinates::cartesian;
    std::optional<locsys3d> localSystem;
    // Where the load acts; shared, since a load is a value that is copied freely.
    std::shared_ptr<lcFootprint> footprint;

    // Loads are equal when their values are: footprints are compared by kind and geometry.
    friend bool operator==(const hostLoad& a, const hostLoad& b);
};

// Whether two footprints (either may be null) are of one kind with the same geometry.
bool hostSameFootprint(const lcFootprint* a, const lcFootprint* b);

// The "load" element: attribute "name" (required), attribute "coordinates" ("cartesian", the
// default, or "cylindrical"), optional child "local_system".
class xhostLoad : public xpElement {
public:
    xhostLoad();
    bool export_(const hostLoad& load);
    hostLoad import() const;
    void import_begin() override {
        m_hasLocalSystem = false;
        m_footprint.reset();
    }
    // The footprints read into the pointer members, which are emptied; the caller owns them.
    std::vector<lcFootprint*> takeFootprints();

    std::string m_name;
    hostCoordinates m_coordinates = hostCoordinates::cartesian;
    locsys3d m_localSystem;
    bool m_hasLocalSystem = false;
    // One member per footprint dimension; on writing they borrow the load's footprint.
    lcFootprint_0d* m_footprint0d = nullptr;
    lcFootprint_1d* m_footprint1d = nullptr;
    lcFootprint_2d* m_footprint2d = nullptr;
    lcFootprint_3d* m_footprint3d = nullptr;
    // The footprint read.
    std::shared_ptr<lcFootprint> m_footprint;
};

template <>
class xpClass<hostLoad> : public xhostLoad {
public:
    ~xpClass() override = default;
};

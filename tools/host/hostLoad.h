#pragma once

#include <optional>
#include <string>

#include "components/geometry/locsys3d.h"
#include "exchange/xpMemberDeclaration.h"

// How a load's local coordinates are measured.
enum class hostCoordinates { cartesian = 0, cylindrical = 1 };

// One load of the example host's document.
struct hostLoad {
    std::string name;
    hostCoordinates coordinates = hostCoordinates::cartesian;
    std::optional<locsys3d> localSystem;

    friend bool operator==(const hostLoad&, const hostLoad&) = default;
};

// The "load" element: attribute "name" (required), attribute "coordinates" ("cartesian", the
// default, or "cylindrical"), optional child "local_system".
class xhostLoad : public xpElement {
public:
    xhostLoad();
    bool export_(const hostLoad& load);
    hostLoad import() const;
    void import_begin() override { m_hasLocalSystem = false; }

    std::string m_name;
    hostCoordinates m_coordinates = hostCoordinates::cartesian;
    locsys3d m_localSystem;
    bool m_hasLocalSystem = false;
};

template <>
class xpClass<hostLoad> : public xhostLoad {
public:
    ~xpClass() override = default;
};

#pragma once

#include "kestrel/components/exchange/xmfPos3d.h"
#include "kestrel/components/exchange/xmfVector3d.h"
#include "kestrel/components/exchange/xpElement.h"
#include "kestrel/components/geometry/locsys3d.h"

// Binding of a local coordinate system: children "origin" (a position), "x_axis" and "y_axis"
// (vectors).
class xmfLocsys3d : public xpElement {
public:
    xmfLocsys3d();
    bool export_(const locsys3d& value);
    // Throws std::invalid_argument when the axes read are not independent.
    locsys3d import() const;

private:
    xmfPos3d* m_origin;
    xmfVector3d* m_xAxis;
    xmfVector3d* m_yAxis;
};

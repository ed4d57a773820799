#pragma once

#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/geometry/pos3d.h"

// Binding of a position: attributes "x", "y", "z", each a length.
class xmfPos3d : public xpAttributes {
public:
    xmfPos3d();
    // Fills the attributes' fields from the position.
    bool export_(const pos3d& value);
    // The position the fields hold.
    pos3d import() const { return m_value; }

private:
    pos3d m_value;
};

#pragma once

#include "kestrel/components/exchange/xpAttributes.h"
#include "kestrel/components/geometry/vec3d.h"

// Binding of a vector: attributes "x", "y", "z", plain numbers.
class xmfVector3d : public xpAttributes {
public:
    xmfVector3d();
    bool export_(const vec3d& value);
    vec3d import() const { return m_value; }

private:
    vec3d m_value;
};

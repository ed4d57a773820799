#include "kestrel/components/geometry/oriented_bbox3d.h"

#include <algorithm>

#include "kestrel/components/geometry/mfSpaceBase.h"

bool oriented_bbox3d::contains(const pos3d& global) const {
    const pos3d local = m_system.toLocal(global);
    const double tolerance = mfSpaceBase::m_accuracy;
    for (int i = 0; i < 3; ++i) {
        const double low = std::min(m_p1[i], m_p2[i]);
        const double high = std::max(m_p1[i], m_p2[i]);
        if (!(local[i] >= low - tolerance && local[i] <= high + tolerance)) return false;
    }
    return true;
}

std::string mf_format(const oriented_bbox3d& box) {
    return "{p1 " + mf_format(box.p1()) + ", p2 " + mf_format(box.p2()) + ", system " + mf_format(box.locsys()) + "}";
}

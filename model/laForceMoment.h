#pragma once

#include <string>

#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/model/laForce.h"
#include "kestrel/model/laIntensityLabel.h"
#include "kestrel/model/laIntensityPair.h"
#include "kestrel/model/laMoment.h"

// A force and a moment acting together: components 0 to 2 are the force's, 3 to 5 the moment's.
template <class T>
class laForceMoment : public laIntensityPair<laForceMoment<T>, laForceMomentAlgorithms> {
public:
    laForceMoment() = default;
    laForceMoment(const laForce<T>& force_, const laMoment<T>& moment_) : force(force_), moment(moment_) {}

    lcIntensityRepresentation* composite_part(std::size_t i) override { return this->pick(i, &force, &moment); }
    const lcIntensityRepresentation* composite_part(std::size_t i) const override {
        return this->pick(i, &force, &moment);
    }

    laForce<T> force;
    laMoment<T> moment;
};

template <>
inline std::string laIntensityLabel<laForceMoment<double>>() {
    return "Force and Moment";
}

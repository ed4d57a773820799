#include <map>
#include <typeindex>

#include "kestrel/components/loadcase/lcFactory.h"
#include "kestrel/components/loadcase/lcIntensityFunction.h"
#include "kestrel/components/loadcase/lcModelObject.h"
#include "kestrel/components/loadcase/mfFactory.h"

// --- factories ------------------------------------------------------------------------------

namespace {
std::map<std::type_index, mfFactory*>& registry() {
    static std::map<std::type_index, mfFactory*> factories;
    return factories;
}
}  // namespace

mfFactory* mfFactory::getFactory(const std::type_info& type) {
    auto found = registry().find(type);
    return found == registry().end() ? nullptr : found->second;
}

mfFactory* mfFactory::setFactory(const std::type_info& type, mfFactory* factory) {
    mfFactory* previous = getFactory(type);
    if (factory)
        registry()[type] = factory;
    else
        registry().erase(type);
    return previous;
}

lcFactory* lcFactory::current() {
    // A checked cast: whatever is registered under the key need not be a load-case factory.
    return dynamic_cast<lcFactory*>(getFactory(typeid(lcModelObject)));
}

void lcFactory::objectDestroyed(mfRelationObject*) {}

// --- intensity functions --------------------------------------------------------------------

void lcIntensityFunction::getAllAlgorithms(std::set<const lcIntensityAlgorithms*>& all) const {
    if (const lcIntensityAlgorithms* own = algorithms()) all.insert(own);
}

void lcIntensityFunction::getAllFunctions(std::set<const lcIntensityFunction*>& all,
                                          const lcIntensityAlgorithms* family) const {
    if (family && algorithms() == family) all.insert(this);
}

bool lcIntensityFunction::hasLinearIntensity(vec3d&) const {
    return false;
}

bool lcIntensityFunction::getConstantIntensityPlane(const lcIntensity&, plane3d&) const {
    return false;
}

lcIntensity lcIntensityFunction::getMaximumIntensity(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                                     const std::complex<double>& factor) const {
    List<pos3d> points;
    if (load && load->footprint()) load->footprint()->getPoints(points);
    if (points.empty()) return getConstantIntensity(load, system, factor);
    lcIntensity largest;
    for (const pos3d& point : points) {
        lcIntensity here = getIntensity(load, point, system, factor);
        if (!here.empty() && (largest.empty() || here.compare(largest, 1.0) > 0)) largest = here;
    }
    return largest;
}

void lcIntensityFunction::retriangulate(const List<triangle3d>& in, List<triangle3d>& out) const {
    out.insert(out.end(), in.begin(), in.end());
}

void lcIntensityFunction::handOverToFactory() {
    if (lcFactory* factory = lcFactory::current()) factory->objectDestroyed(this);
}

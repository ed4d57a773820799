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

std::unique_ptr<lcIntensitySampler> lcIntensityFunction::sampler(const lcLoad* load, lcLoad::lcCoordinateSystem system,
                                                                 const std::complex<double>& factor) const {
    class Each final : public lcIntensitySampler {
    public:
        Each(const lcIntensityFunction& function, const lcLoad* load, lcLoad::lcCoordinateSystem system,
             const std::complex<double>& factor)
            : m_function(function), m_load(load), m_system(system), m_factor(factor) {}
        lcIntensity at(const pos3d& position) const override {
            return m_function.getIntensity(m_load, position, m_system, m_factor);
        }

    private:
        const lcIntensityFunction& m_function;
        const lcLoad* m_load;
        lcLoad::lcCoordinateSystem m_system;
        std::complex<double> m_factor;
    };
    return std::make_unique<Each>(*this, load, system, factor);
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

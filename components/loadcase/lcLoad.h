#pragma once

#include <complex>

#include "kestrel/components/geometry/coordsys3d.h"
#include "kestrel/components/loadcase/lcFootprint.h"
#include "kestrel/components/loadcase/lcModelObject.h"

// A load: where it acts (its footprint), the coordinate system its local values and positions
// refer to, and the complex factor it applies to its intensities.
class lcLoad : public lcModelObject {
public:
    // The system a value or position is expressed in.
    enum lcCoordinateSystem { global = 0, local = 1 };

    // The footprint is not owned; it must outlive the load or be replaced first.
    explicit lcLoad(const coordsys3d& system = {}, lcFootprint* footprint = nullptr,
                    const std::complex<double>& factor = 1.0)
        : m_coordsys(system), m_footprint(footprint), m_factor(factor) {}

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<lcLoad, lcModelObject>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<lcLoad, lcModelObject>(type); }

    const coordsys3d& coordsys() const { return m_coordsys; }
    void setCoordsys(const coordsys3d& system) { m_coordsys = system; }
    lcFootprint* footprint() const { return m_footprint; }
    void setFootprint(lcFootprint* footprint) { m_footprint = footprint; }
    // The footprint when it acts along a line; null otherwise.
    lcFootprint_1d* footprint1d() const {
        return m_footprint ? static_cast<lcFootprint_1d*>(m_footprint->getInterface(typeid(lcFootprint_1d))) : nullptr;
    }
    const std::complex<double>& loadFactor() const { return m_factor; }
    void setLoadFactor(const std::complex<double>& factor) { m_factor = factor; }

private:
    coordsys3d m_coordsys;
    lcFootprint* m_footprint;
    std::complex<double> m_factor;
};

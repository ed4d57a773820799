#include "kestrel/components/loadcase/lcIntensity.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/loadcase/laQuantityAlgorithms.h"
#include "kestrel/components/loadcase/lcIntensityAlgorithms.h"
#include "kestrel/components/loadcase/lcLoad.h"

// --- representation -------------------------------------------------------------------------

std::complex<double> lcIntensityRepresentation::get_complex(std::size_t) const {
    return {};
}

void lcIntensityRepresentation::set_complex(std::size_t, const std::complex<double>&) {}

lcIntensityRepresentation* lcIntensityRepresentation::composite_part(std::size_t i) {
    if (i != 0) throw std::range_error("Index out of bounds");
    return this;
}

const lcIntensityRepresentation* lcIntensityRepresentation::composite_part(std::size_t i) const {
    if (i != 0) throw std::range_error("Index out of bounds");
    return this;
}

const lcIntensityRepresentation* lcIntensityRepresentation::composite_algorithm(
    const lcIntensityAlgorithms* algorithms) const {
    if (!algorithms) return nullptr;
    if (algorithm() == algorithms) return this;
    for (std::size_t i = 0; i < composite_size(); ++i) {
        const lcIntensityRepresentation* part = composite_part(i);
        if (part == this) continue;
        if (const lcIntensityRepresentation* found = part->composite_algorithm(algorithms)) return found;
    }
    return nullptr;
}

lcIntensityRepresentation* lcIntensityRepresentation::composite_algorithm(const lcIntensityAlgorithms* algorithms) {
    // The parts belong to this value, so handing them out as mutable is sound.
    return const_cast<lcIntensityRepresentation*>(std::as_const(*this).composite_algorithm(algorithms));
}

int lcIntensityRepresentation::compare(const lcIntensityRepresentation& other,
                                       const std::complex<double>& factor) const {
    const lcIntensityAlgorithms* algorithms = algorithm();
    const double mine =
        algorithms ? algorithms->measure(*this, factor) : lcIntensityAlgorithms::magnitude(*this, factor);
    const double theirs = algorithms ? algorithms->measure(other) : lcIntensityAlgorithms::magnitude(other);
    if (mine < theirs) return -1;
    if (mine > theirs) return 1;
    return 0;
}

// --- intensity ------------------------------------------------------------------------------

lcIntensity::lcIntensity(const lcIntensityRepresentation& value)
    : m_components(value.size()), m_algorithms(value.algorithm()) {
    for (std::size_t i = 0; i < m_components.size(); ++i) m_components[i] = value.get_complex(i);
}

void lcIntensity::outOfBounds() {
    throw std::range_error("Index out of bounds");
}

// --- algorithms -----------------------------------------------------------------------------

std::string lcIntensityAlgorithms::format(const lcIntensityRepresentation& value) const {
    std::string text;
    if (value.composite_size() > 1) {
        for (std::size_t i = 0; i < value.composite_size(); ++i) {
            const lcIntensityRepresentation* part = value.composite_part(i);
            const lcIntensityAlgorithms* partAlgorithms = part->algorithm() ? part->algorithm() : this;
            text += (i ? "; " : "") + partAlgorithms->format(*part);
        }
        return text;
    }
    if (value.size() == 1) return formatComponent(value.real(0));
    for (std::size_t i = 0; i < value.size(); ++i) text += (i ? ", " : "(") + formatComponent(value.real(i));
    return text.empty() ? "()" : text + ")";
}

std::complex<double> lcIntensityAlgorithms::getLoadFactor(const lcLoad* load) const {
    return load ? load->loadFactor() : std::complex<double>(1.0);
}

double lcIntensityAlgorithms::measure(const lcIntensityRepresentation& value,
                                      const std::complex<double>& factor) const {
    return magnitude(value, factor);
}

double lcIntensityAlgorithms::magnitude(const lcIntensityRepresentation& value, const std::complex<double>& factor) {
    double squares = 0.0;
    for (std::size_t i = 0; i < value.size(); ++i) squares += std::norm(value.get_complex(i) * factor);
    return std::sqrt(squares);
}

std::string lcIntensityAlgorithms::formatComponent(double value) const {
    return mfTextFormatter::format_impl(value);
}

#define KESTREL_LA_FAMILY(Name, text) \
    const Name* Name::instance() {    \
        static const Name one;        \
        return &one;                  \
    }                                 \
    std::string Name::name() const {  \
        return text;                  \
    }

KESTREL_LA_FAMILY(laPressureAlgorithms, "pressure")
KESTREL_LA_FAMILY(laForcePerAreaAlgorithms, "surface load")
KESTREL_LA_FAMILY(laForcePerLengthAlgorithms, "line load")
KESTREL_LA_FAMILY(laTemperatureAlgorithms, "temperature load")
KESTREL_LA_FAMILY(laForceAlgorithms, "force")
KESTREL_LA_FAMILY(laMomentAlgorithms, "moment")
KESTREL_LA_FAMILY(laTranslationAlgorithms, "translation")
KESTREL_LA_FAMILY(laRotationAlgorithms, "rotation")
KESTREL_LA_FAMILY(laForceMomentAlgorithms, "force and moment")
KESTREL_LA_FAMILY(laDisplacementAlgorithms, "displacement")

#undef KESTREL_LA_FAMILY

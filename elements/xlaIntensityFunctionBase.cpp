#include "kestrel/elements/xlaIntensityFunctionBase.h"

#include "kestrel/exchange/xpMemberDeclaration.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kestrel/model/laLimitFunctionPressure.h"

namespace {
void addSystem(xlaIntensitySystems* element, const char* name,
               lcLoad::lcCoordinateSystem xlaIntensitySystems::*member) {
    xpAttributeDeclaration<lcLoad::lcCoordinateSystem xlaIntensitySystems::*> declaration{false, name, "", member};
    xpNode* node = xpCreateMappingAttribute(declaration, xlaIntensitySystems::systems(), element);
    node->set_required(false);
    element->add(node);
}
}  // namespace

xlaIntensitySystems::xlaIntensitySystems() {
    addSystem(this, "intensity_system", &xlaIntensitySystems::m_intensitySystem);
    addSystem(this, "position_system", &xlaIntensitySystems::m_positionSystem);
}

xlaIntensitySystems::xlaIntensitySystems(const xlaIntensitySystems& other) : xlaIntensitySystems() {
    *this = other;
}

xlaIntensitySystems& xlaIntensitySystems::operator=(const xlaIntensitySystems& other) {
    m_intensitySystem = other.m_intensitySystem;
    m_positionSystem = other.m_positionSystem;
    return *this;
}

xlaIntensitySystems::~xlaIntensitySystems() = default;

const std::map<std::string, lcLoad::lcCoordinateSystem>& xlaIntensitySystems::systems() {
    static const std::map<std::string, lcLoad::lcCoordinateSystem> table{{"global", lcLoad::global},
                                                                         {"local", lcLoad::local}};
    return table;
}

using xlaPressureBase = xlaIntensityFunctionBase<laPressure<double>>;

xlaPressureBase::xlaIntensityFunctionBase() {
    xpMemberDeclaration<laLimitFunctionPressure * xlaPressureBase::*> limit;
    limit.name = "limit_function";
    limit.member = &xlaPressureBase::m_limit;
    xpNode* node = xpCreateMemberNode(limit, this);
    node->set_required(false);
    add(node);
    // The pointer's default is null from here on, whatever the element is used for first.
    reset_all();
}

xlaPressureBase::xlaIntensityFunctionBase(const xlaPressureBase& other) : xlaIntensityFunctionBase() {
    *this = other;
}

xlaPressureBase& xlaPressureBase::operator=(const xlaPressureBase& other) {
    xlaIntensitySystems::operator=(other);
    m_limit = other.m_limit;
    return *this;
}

xlaPressureBase::~xlaIntensityFunctionBase() = default;

bool xlaPressureBase::export_(laIntensityFunction<laPressure<double>>* model) {
    m_limit = model->getLimit();
    return true;
}

bool xlaPressureBase::import(laIntensityFunction<laPressure<double>>* model) {
    if (m_limit) model->setLimit(m_limit);
    return true;
}

bool xlaPressureBase::importContent(xpImportSet& nodes) {
    const bool ok = xpElement::importContent(nodes);
    if (!ok) discardRead();
    return ok;
}

void xlaPressureBase::discardRead() {
    delete m_limit;
    m_limit = nullptr;
}

using xlaTractionBase = xlaIntensityFunctionBase<laTraction<double>>;

xlaTractionBase::xlaIntensityFunctionBase() {
    xpMemberDeclaration<vec3d xlaTractionBase::*> direction;
    direction.name = "direction";
    direction.member = &xlaTractionBase::m_direction;
    xpNode* node = xpCreateMemberNode(direction, this);
    node->set_required(true);
    add(node);
}

xlaTractionBase::xlaIntensityFunctionBase(const xlaTractionBase& other) : xlaIntensityFunctionBase() {
    *this = other;
}

xlaTractionBase& xlaTractionBase::operator=(const xlaTractionBase& other) {
    xlaIntensitySystems::operator=(other);
    m_direction = other.m_direction;
    return *this;
}

xlaTractionBase::~xlaIntensityFunctionBase() = default;

bool xlaTractionBase::export_(laIntensityFunction<laTraction<double>>* model) {
    m_direction = model->direction;
    return true;
}

bool xlaTractionBase::import(laIntensityFunction<laTraction<double>>* model) {
    model->direction = m_direction;
    model->update_load();
    return true;
}

template class xlaIntensityFunctionBase<laForcePerArea<double>>;
template class xlaIntensityFunctionBase<laForcePerLength<double>>;
template class xlaIntensityFunctionBase<laTemperature<double>>;
template class xlaIntensityFunctionBase<laForceMoment<double>>;
template class xlaIntensityFunctionBase<laDisplacement<double>>;

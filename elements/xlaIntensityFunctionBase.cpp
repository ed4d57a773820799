#include "kestrel/elements/xlaIntensityFunctionBase.h"

#include "kestrel/exchange/xpMemberDeclaration.h"

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

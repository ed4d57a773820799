#include "tools/host/hostDocument.h"

namespace {
// The "local_system" child: written only when the load has one.
class hostOptionalSystem : public xpNodeType<locsys3d, xpMemberData<locsys3d, xhostLoad>> {
public:
    hostOptionalSystem() : xpNodeType({&xhostLoad::m_localSystem}) {}
    bool export_concrete() override {
        auto* owner = xpFindOwner<xhostLoad>(*this);
        return owner && owner->m_hasLocalSystem && xpNodeType::export_concrete();
    }
    bool import_concrete() override {
        if (!xpNodeType::import_concrete()) return false;
        xpFindOwner<xhostLoad>(*this)->m_hasLocalSystem = true;
        return true;
    }
};
}  // namespace

xhostLoad::xhostLoad() {
    add(xpCreateStringAttribute(xpAttributeDeclaration<std::string xhostLoad::*>{true, "name", "", &xhostLoad::m_name},
                                this));
    add(xpCreateMappingAttribute(
        xpAttributeDeclaration<hostCoordinates xhostLoad::*>{false, "coordinates", "", &xhostLoad::m_coordinates},
        {{"cartesian", hostCoordinates::cartesian}, {"cylindrical", hostCoordinates::cylindrical}}, this));
    auto* system = new hostOptionalSystem;
    system->setName("local_system");
    add_reset_node(system);
    system->set_required(false);
    add(system);
}

bool xhostLoad::export_(const hostLoad& load) {
    m_name = load.name;
    m_coordinates = load.coordinates;
    m_hasLocalSystem = load.localSystem.has_value();
    if (m_hasLocalSystem) m_localSystem = *load.localSystem;
    return true;
}

hostLoad xhostLoad::import() const {
    hostLoad load;
    load.name = m_name;
    load.coordinates = m_coordinates;
    if (m_hasLocalSystem) load.localSystem = m_localSystem;
    return load;
}

xhostLoads::xhostLoads() {
    setName("loads");
    xpMemberDeclaration<List<hostLoad> xhostLoads::*> loads;
    loads.required = false;
    loads.name = "loads";
    loads.member = &xhostLoads::m_loads;
    loads.reuseParent = true;
    add(xpCreateSequence(loads, "load", this));
}

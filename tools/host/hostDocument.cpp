#include "tools/host/hostDocument.h"

#include <functional>

#include "exchange/xpSpecialization.h"
#include "model/laFootprintBox.h"
#include "model/laFootprintLine.h"
#include "model/laFootprintPoint.h"
#include "model/laFootprintPolygon.h"
#include "types/mfTypeInfoObject.h"

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

// The "footprint" child: one element whose content is any one footprint element. The four
// pointer members (one per dimension) share it, so that the schema offers one choice of all
// kinds rather than four particles of the same name.
class hostFootprintNode : public xpElement {
public:
    explicit hostFootprintNode(xhostLoad* load) {
        setName("footprint");
        addMember(&xhostLoad::m_footprint0d, load);
        addMember(&xhostLoad::m_footprint1d, load);
        addMember(&xhostLoad::m_footprint2d, load);
        addMember(&xhostLoad::m_footprint3d, load);
    }

    // The members try their elements in turn: none of them is missing on its own.
    bool isRequiredChild(const xpNode*) const override { return false; }

    // Whatever was read is taken over here, so that nothing leaks when the read fails.
    bool importContent(xpImportSet& nodes) override {
        const bool ok = xpElement::importContent(nodes);
        xhostLoad* load = xpFindOwner<xhostLoad>(*this);
        if (!load) return false;
        std::vector<lcFootprint*> read = load->takeFootprints();
        if (ok && read.size() == 1) {
            load->m_footprint.reset(read.front());
            return true;
        }
        for (lcFootprint* footprint : read) delete footprint;
        if (!ok) return false;
        nodeError() << xml_error_message(
            this, read.empty() ? "no footprint element here" : "more than one footprint element here");
        return false;
    }

    void buildSchema(xsSchema& schema, xsGroup* group, const std::string&) override {
        auto* element = new xsElement(getElementName());
        element->setMinOccurs(0);
        auto* choice = new xsChoice;
        element->localType()->getDefaultGroup().push_back(choice);
        for (const auto& build : m_alternatives) build(schema, choice);
        group->push_back(element);
    }
    using xpElement::buildSchema;

private:
    template <class B>
    void addMember(B* xhostLoad::*member, xhostLoad* load) {
        xpMemberDeclaration<B * xhostLoad::*> declaration;
        declaration.name = getName();
        declaration.member = member;
        auto* specialization = xpCreateSpecialization(declaration, load);
        add(specialization);
        m_alternatives.push_back(
            [specialization](xsSchema& schema, xsGroup* choice) { specialization->buildAlternatives(schema, choice); });
    }
    std::vector<std::function<void(xsSchema&, xsGroup*)>> m_alternatives;
};

template <class B>
std::string footprintName(const lcFootprint& footprint) {
    if (auto* registry = xpGetFutureElements<B>())
        for (const auto& [key, prototype] : registry->prototypes())
            if (prototype->type().type() == typeid(footprint)) return dynamic_cast<xpElement&>(*prototype).getName();
    return {};
}
}  // namespace

std::string hostFootprintName(const lcFootprint& footprint) {
    for (const std::string& name : {footprintName<lcFootprint_0d>(footprint), footprintName<lcFootprint_1d>(footprint),
                                    footprintName<lcFootprint_2d>(footprint), footprintName<lcFootprint_3d>(footprint)})
        if (!name.empty()) return name;
    return {};
}

namespace {
template <class T>
bool sameAs(const lcFootprint* a, const lcFootprint* b, bool& same) {
    auto* x = dynamic_cast<const T*>(a);
    auto* y = dynamic_cast<const T*>(b);
    if (!x || !y) return false;
    if constexpr (std::is_same_v<T, laFootprintBox>)
        same = x->orientedBounding() == y->orientedBounding() && x->getOriginLocalSystem() == y->getOriginLocalSystem();
    else
        same = x->geometry() == y->geometry();
    return true;
}
}  // namespace

bool hostSameFootprint(const lcFootprint* a, const lcFootprint* b) {
    if (!a || !b) return a == b;
    if (typeid(*a) != typeid(*b)) return false;
    bool same = false;
    return (sameAs<laFootprintPoint>(a, b, same) || sameAs<laFootprintLine>(a, b, same) ||
            sameAs<laFootprintPolygon>(a, b, same) || sameAs<laFootprintBox>(a, b, same)) &&
           same;
}

bool operator==(const hostLoad& a, const hostLoad& b) {
    return a.name == b.name && a.coordinates == b.coordinates && a.localSystem == b.localSystem &&
           hostSameFootprint(a.footprint.get(), b.footprint.get());
}

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
    auto* footprint = new hostFootprintNode(this);
    footprint->set_required(false);
    add(footprint);
}

std::vector<lcFootprint*> xhostLoad::takeFootprints() {
    std::vector<lcFootprint*> read;
    auto take = [&read](auto*& member) {
        if (member) read.push_back(member);
        member = nullptr;
    };
    take(m_footprint0d);
    take(m_footprint1d);
    take(m_footprint2d);
    take(m_footprint3d);
    return read;
}

bool xhostLoad::export_(const hostLoad& load) {
    m_name = load.name;
    m_coordinates = load.coordinates;
    m_hasLocalSystem = load.localSystem.has_value();
    if (m_hasLocalSystem) m_localSystem = *load.localSystem;
    lcFootprint* footprint = load.footprint.get();
    m_footprint0d = dynamic_cast<lcFootprint_0d*>(footprint);
    m_footprint1d = dynamic_cast<lcFootprint_1d*>(footprint);
    m_footprint2d = dynamic_cast<lcFootprint_2d*>(footprint);
    m_footprint3d = dynamic_cast<lcFootprint_3d*>(footprint);
    return true;
}

hostLoad xhostLoad::import() const {
    hostLoad load;
    load.name = m_name;
    load.coordinates = m_coordinates;
    if (m_hasLocalSystem) load.localSystem = m_localSystem;
    load.footprint = m_footprint;
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

#include "kestrel/document/kestrelLoadDocument.h"

#include <algorithm>
#include <boost/container/small_vector.hpp>
#include <cstdint>
#include <functional>
#include <typeinfo>
#include <utility>

#include "kestrel/components/exchange/xpSequence.h"
#include "kestrel/components/types/mfTypeInfoObject.h"
#include "kestrel/exchange/xpSpecialization.h"
#include "kestrel/model/laFootprintBox.h"
#include "kestrel/model/laFootprintLine.h"
#include "kestrel/model/laFootprintPoint.h"
#include "kestrel/model/laFootprintPolygon.h"
#include "kestrel/model/laLimitFunctionRange.h"

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

// A child that holds one element of any kind derived from Root: the load has one pointer member
// per base those kinds are registered for, and they all share this element, so that the schema
// offers one choice of every kind rather than one particle of the same name per member.
template <class Root>
class hostAnyOf : public xpElement {
public:
    hostAnyOf(const char* name, std::shared_ptr<Root> xhostLoad::*read) : m_read(read) { setName(name); }

    template <class B>
    void addMember(B* xhostLoad::*member, xhostLoad* load) {
        xpMemberDeclaration<B * xhostLoad::*> declaration;
        declaration.name = getName();
        declaration.member = member;
        auto* specialization = xpCreateSpecialization(declaration, load);
        add(specialization);
        m_members.push_back(specialization);
        m_planned = false;
        m_takers.push_back([member](xhostLoad& owner) -> Root* { return std::exchange(owner.*member, nullptr); });
    }

    // The members try their elements in turn: none of them is missing on its own.
    bool isRequiredChild(const xpNode*) const override { return false; }

    // Whatever was read is taken over here, so that nothing leaks when the read fails.
    bool importContent(xpImportSet& nodes) override {
        // Of the members, only those whose alternatives name a child can read it: the names of
        // every member's kinds are gathered once, the child looked up among them.
        if (!m_planned) plan();
        boost::container::small_vector<std::size_t, 8> chosen(m_always.begin(), m_always.end());
        for (std::size_t i = 0; i < nodes.childCount(); ++i) {
            if (nodes.taken(i)) continue;
            const std::string_view name = nodes.child(i).nameView();
            for (const Reader& reader : m_plan)
                if (xpSameName(reader.name, name)) chosen.push_back(reader.member);
        }
        std::sort(chosen.begin(), chosen.end());
        chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
        boost::container::small_vector<xpNode*, 8> reading;
        for (std::size_t k : chosen) reading.push_back(m_members[k]);
        xhostLoad* load = xpFindOwner<xhostLoad>(*this);
        if (!load) return false;
        // A write leaves the slots pointing at the loads it wrote, and without registered kinds
        // nothing resets them: forget them, so that only what this read makes is taken over.
        for (const auto& take : m_takers) take(*load);
        const bool ok = importContentOf(nodes, {reading.data(), reading.size()});
        boost::container::small_vector<Root*, 2> read;
        for (const auto& take : m_takers)
            if (Root* object = take(*load)) read.push_back(object);
        if (ok && read.size() == 1) {
            (load->*m_read).reset(read.front());
            return true;
        }
        for (Root* object : read) delete object;
        if (!ok) return false;
        nodeError() << xml_error_message(
            this, read.empty() ? "no " + getName() + " element here" : "more than one " + getName() + " element here");
        return false;
    }

    void buildSchema(xsSchema& schema, xsGroup* group, const std::string&) override {
        auto* element = new xsElement(getElementName());
        element->setMinOccurs(0);
        auto* choice = new xsChoice;
        element->localType()->getDefaultGroup().push_back(choice);
        for (xpPolymorphicNode* member : m_members) member->buildAlternatives(schema, choice);
        group->push_back(element);
    }
    using xpElement::buildSchema;

private:
    void plan() {
        m_plan.clear();
        m_always.clear();
        for (std::size_t k = 0; k < m_members.size(); ++k) {
            if (m_members[k]->readsWithoutChild()) m_always.push_back(k);
            for (std::string_view name : m_members[k]->childElementNames()) m_plan.push_back({name, k});
        }
        m_planned = true;
    }

    struct Reader {
        std::string_view name;
        std::size_t member;
    };
    std::shared_ptr<Root> xhostLoad::*m_read;
    std::vector<xpPolymorphicNode*> m_members;  // owned as children
    // Which member reads a child of each name, and the members that read whatever the children.
    std::vector<Reader> m_plan;
    std::vector<std::size_t> m_always;
    bool m_planned = false;
    std::vector<std::function<Root*(xhostLoad&)>> m_takers;
};

// Adds the element name of every prototype in the current document's registries for Bases,
// keyed by its model type; the first registry (in the order of Bases) to name a type wins.
template <class... Bases>
void gatherNames(kestrelTypes<Bases...>, std::unordered_map<std::type_index, std::string>& names) {
    auto gather = [&](auto* registry) {
        if (!registry) return;
        // Within one registry the last prototype of a type names it.
        std::unordered_map<std::type_index, std::string> own;
        for (const auto& [key, prototype] : registry->prototypes())
            own.insert_or_assign(prototype->type().type(), dynamic_cast<xpElement&>(*prototype).getName());
        names.merge(own);
    };
    (gather(xpGetFutureElements<Bases>()), ...);
}

const std::string& nameIn(const std::unordered_map<std::type_index, std::string>& names, const std::type_info& type) {
    static const std::string none;
    auto found = names.find(type);
    return found == names.end() ? none : found->second;
}
}  // namespace

hostKindNames::hostKindNames() {
    gatherNames(xhostFootprintBases{}, m_footprints);
    gatherNames(xhostIntensityBases{}, m_intensities);
}

const std::string& hostKindNames::footprint(const lcFootprint& footprint) const {
    return nameIn(m_footprints, typeid(footprint));
}

const std::string& hostKindNames::intensity(const lcIntensityFunction& intensity) const {
    return nameIn(m_intensities, typeid(intensity));
}

std::string hostFootprintName(const lcFootprint& footprint) {
    return hostKindNames().footprint(footprint);
}

std::string hostIntensityName(const lcIntensityFunction& intensity) {
    return hostKindNames().intensity(intensity);
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

bool hostSameIntensity(const lcIntensityFunction* a, const lcIntensityFunction* b) {
    if (!a || !b) return a == b;
    if (typeid(*a) != typeid(*b) || a->internalIntensitySystem() != b->internalIntensitySystem() ||
        a->internalPositionSystem() != b->internalPositionSystem() ||
        a->description(nullptr) != b->description(nullptr))
        return false;
    // A script's description shows only its first line.
    auto* scriptA = dynamic_cast<const laScriptFunction*>(a);
    auto* scriptB = dynamic_cast<const laScriptFunction*>(b);
    if (scriptA && (!scriptA->function() || !scriptB->function())) return scriptA->function() == scriptB->function();
    if (scriptA && scriptA->function()->toString() != scriptB->function()->toString()) return false;
    auto* p = dynamic_cast<const laIntensityFunction<laPressure<double>>*>(a);
    auto* q = dynamic_cast<const laIntensityFunction<laPressure<double>>*>(b);
    if (!p) return true;
    const laLimitFunctionPressure* x = p->getLimit();
    const laLimitFunctionPressure* y = q->getLimit();
    if (!x || !y) return x == y;
    if (typeid(*x) != typeid(*y)) return false;
    auto* r = dynamic_cast<const laLimitFunctionRange*>(x);
    auto* t = dynamic_cast<const laLimitFunctionRange*>(y);
    return !r || (r->getRangeType() == t->getRangeType() && r->getLowerLimit() == t->getLowerLimit() &&
                  r->getUpperLimit() == t->getUpperLimit());
}

std::string hostEvaluationError(const lcIntensityFunction& intensity) {
    const auto* script = dynamic_cast<const laScriptFunction*>(&intensity);
    return script ? script->evaluationError() : std::string();
}

bool operator==(const hostLoad& a, const hostLoad& b) {
    return a.name == b.name && a.coordinates == b.coordinates && a.localSystem == b.localSystem &&
           hostSameFootprint(a.footprint.get(), b.footprint.get()) &&
           hostSameIntensity(a.intensity.get(), b.intensity.get());
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
    auto* footprint = new hostAnyOf<lcFootprint>("footprint", &xhostLoad::m_footprint);
    kestrelForEach(xhostFootprintBases{},
                   [&](auto base) { footprint->addMember(slot<typename decltype(base)::type>(), this); });
    footprint->set_required(false);
    add(footprint);
    auto* intensity = new hostAnyOf<lcIntensityFunction>("intensity", &xhostLoad::m_intensity);
    kestrelForEach(xhostIntensityBases{},
                   [&](auto base) { intensity->addMember(slot<typename decltype(base)::type>(), this); });
    intensity->set_required(false);
    add(intensity);
}

namespace {
// Which of Bases an object of `object`'s class derives from, one bit each, found once per class
// and thread: a cast that fails searches the whole hierarchy, and every load tries every base.
template <class Object, class... Bases>
std::uint64_t basesOf(const Object* object, kestrelTypes<Bases...>) {
    static_assert(sizeof...(Bases) <= 64, "Kestrel: a load's slots are kept as bits of one word");
    if (!object) return 0;
    struct Known {
        const std::type_info* type;
        std::uint64_t bases;
    };
    thread_local std::vector<Known> known;
    const std::type_info& type = typeid(*object);
    for (const Known& k : known)
        if (*k.type == type) return k.bases;
    std::uint64_t bases = 0;
    unsigned bit = 0;
    ((bases |= std::uint64_t(dynamic_cast<const Bases*>(object) != nullptr) << bit++), ...);
    known.push_back({&type, bases});
    return bases;
}

// Points each slot of Bases at `object` where its class derives from the slot's base.
template <class Object, class... Bases>
void fillSlots(xhostLoad& load, Object* object, kestrelTypes<Bases...> bases) {
    const std::uint64_t of = basesOf(object, bases);
    unsigned bit = 0;
    ((load.*xhostLoad::slot<Bases>() = (of >> bit++ & 1) ? dynamic_cast<Bases*>(object) : nullptr), ...);
}
}  // namespace

bool xhostLoad::export_(const hostLoad& load) {
    m_name = load.name;
    m_coordinates = load.coordinates;
    m_hasLocalSystem = load.localSystem.has_value();
    if (m_hasLocalSystem) m_localSystem = *load.localSystem;
    fillSlots(*this, load.footprint.get(), xhostFootprintBases{});
    fillSlots(*this, load.intensity.get(), xhostIntensityBases{});
    return true;
}

hostLoad xhostLoad::import() {
    hostLoad load;
    load.name = m_name;
    load.coordinates = m_coordinates;
    if (m_hasLocalSystem) load.localSystem = m_localSystem;
    load.footprint = std::move(m_footprint);
    load.intensity = std::move(m_intensity);
    return load;
}

bool xhostLoad::importContent(xpImportSet& nodes) {
    const bool ok = xpElement::importContent(nodes);
    for (xpNode* n = getParent(); n && !m_loads; n = n->getParent()) m_loads = dynamic_cast<xhostLoads*>(n);
    if (m_loads) m_loads->record({m_name, getElementPath(), getLine(), ok});
    if (!ok) import_begin();
    return ok;
}

lcLoad hostLoad::model() const {
    const locsys3d system = localSystem.value_or(locsys3d());
    return lcLoad(
        coordinates == hostCoordinates::cylindrical ? coordsys3d::cylindrical(system) : coordsys3d::cartesian(system),
        footprint.get());
}

xhostLoads::xhostLoads() {
    setName("loads");
    xpMemberDeclaration<List<hostLoad> xhostLoads::*> loads;
    loads.required = false;
    loads.name = "loads";
    loads.member = &xhostLoads::m_loads;
    loads.reuseParent = true;
    xpNode* sequence = xpCreateSequence(loads, "load", this);
    m_sequence = dynamic_cast<xpSequence*>(sequence);
    add(sequence);
}

void xhostLoads::record(hostLoadRecord&& record) {
    if (m_eachRecord)
        m_eachRecord(std::move(record));
    else
        m_records.push_back(std::move(record));
}

void xhostLoads::setEach(std::function<void(hostLoad&&)> each) {
    if (!each) {
        m_sequence->setItemRead({});
        return;
    }
    m_sequence->setItemRead([this, each = std::move(each)] {
        hostLoad load = std::move(m_loads.back());
        m_loads.pop_back();
        each(std::move(load));
    });
}

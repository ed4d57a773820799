#include "kestrel/components/schema/xsSchema.h"

#include <algorithm>
#include <sstream>
#include <typeinfo>

void xsSimpleType::enumeration(const std::string& text) {
    if (std::find(m_enumerations.begin(), m_enumerations.end(), text) == m_enumerations.end())
        m_enumerations.push_back(text);
}

void xsSimpleType::write(pugi::xml_node parent, const std::string& name) const {
    pugi::xml_node type = parent.append_child("xs:simpleType");
    if (!name.empty()) type.append_attribute("name") = name.c_str();
    pugi::xml_node restriction = type.append_child("xs:restriction");
    restriction.append_attribute("base") = m_base.c_str();
    for (const std::string& text : m_enumerations)
        restriction.append_child("xs:enumeration").append_attribute("value") = text.c_str();
    for (const std::string& text : m_patterns)
        restriction.append_child("xs:pattern").append_attribute("value") = text.c_str();
}

xsSimpleType* xsAttribute::createSimpleType(int) {
    m_simple = std::make_unique<xsSimpleType>();
    return m_simple.get();
}

void xsAttribute::write(pugi::xml_node parent) const {
    pugi::xml_node node = parent.append_child("xs:attribute");
    node.append_attribute("name") = m_name.c_str();
    if (!m_simple) node.append_attribute("type") = m_type.c_str();
    node.append_attribute("use") = m_required ? "required" : "optional";
    if (m_documentation && !m_documentation->text().empty())
        node.append_child("xs:annotation").append_child("xs:documentation").text().set(m_documentation->text().c_str());
    if (m_simple) m_simple->write(node);
}

bool xsAttribute::sameShape(const xsAttribute& other) const {
    if (m_name != other.m_name || m_required != other.m_required) return false;
    if (bool(m_simple) != bool(other.m_simple)) return false;
    if (m_simple) return m_simple->base() == other.m_simple->base();
    return m_type == other.m_type;
}

void xsAttribute::mergeEnumerations(const xsAttribute& other) {
    if (!m_simple || !other.m_simple) return;
    for (const std::string& text : other.m_simple->enumerations()) m_simple->enumeration(text);
}

void xsAttributeGroup::push_back(xsAttribute* attribute) {
    std::unique_ptr<xsAttribute> owned(attribute);
    if (find(owned->name())) return;
    m_last = owned.get();
    m_attributes.push_back(std::move(owned));
}

xsAttribute* xsAttributeGroup::find(const std::string& name) const {
    for (const auto& attribute : m_attributes)
        if (attribute->name() == name) return attribute.get();
    return nullptr;
}

void xsAttributeGroup::write(pugi::xml_node parent) const {
    for (const auto& attribute : m_attributes) attribute->write(parent);
}

void xsParticle::writeOccurs(pugi::xml_node node) const {
    if (m_min != 1) node.append_attribute("minOccurs") = m_min;
    if (m_max < 0)
        node.append_attribute("maxOccurs") = "unbounded";
    else if (m_max != 1)
        node.append_attribute("maxOccurs") = m_max;
}

void xsParticle::writeAnnotation(pugi::xml_node node) const {
    if (m_documentation && !m_documentation->text().empty())
        node.append_child("xs:annotation").append_child("xs:documentation").text().set(m_documentation->text().c_str());
}

xsComplexType* xsElement::localType() {
    if (!m_local) m_local = std::make_unique<xsComplexType>();
    return m_local.get();
}

void xsElement::write(pugi::xml_node parent) const {
    pugi::xml_node node = parent.append_child("xs:element");
    node.append_attribute("name") = m_name.c_str();
    if (!m_local && !m_typeName.empty()) node.append_attribute("type") = m_typeName.c_str();
    writeOccurs(node);
    writeAnnotation(node);
    if (m_local)
        m_local->write(node);
    else if (m_typeName.empty())
        node.append_child("xs:complexType");
}

void xsGroup::push_back(xsParticle* particle) {
    std::unique_ptr<xsParticle> owned(particle);
    auto* element = dynamic_cast<xsElement*>(owned.get());
    auto* last = m_particles.empty() ? nullptr : dynamic_cast<xsElement*>(m_particles.back().get());
    if (folds() && element && last && last->name() == element->name() && last->typeName() == element->typeName()) {
        const xsComplexType* a = last->existingLocalType();
        const xsComplexType* b = element->existingLocalType();
        if ((!a && !b) || (a && b && a->sameShape(*b))) {
            if (a) last->localType()->merge(*b);
            last->setMinOccurs(last->minOccurs() + element->minOccurs());
            last->setMaxOccurs(
                last->maxOccurs() < 0 || element->maxOccurs() < 0 ? -1 : last->maxOccurs() + element->maxOccurs());
            return;
        }
    }
    m_particles.push_back(std::move(owned));
}

void xsGroup::write(pugi::xml_node parent) const {
    pugi::xml_node node = parent.append_child(compositor());
    writeOccurs(node);
    writeAnnotation(node);
    for (const auto& particle : particles()) particle->write(node);
}

void xsComplexType::write(pugi::xml_node parent) const {
    pugi::xml_node node = parent.append_child("xs:complexType");
    if (!m_name.empty()) node.append_attribute("name") = m_name.c_str();
    if (m_mixed) node.append_attribute("mixed") = "true";
    if (m_documentation && !m_documentation->text().empty())
        node.append_child("xs:annotation").append_child("xs:documentation").text().set(m_documentation->text().c_str());
    if (!m_group.empty()) m_group.write(node);
    m_attributes.write(node);
}

namespace {
bool sameParticles(const xsGroup& a, const xsGroup& b);

bool sameParticle(const xsParticle& a, const xsParticle& b) {
    if (a.minOccurs() != b.minOccurs() || a.maxOccurs() != b.maxOccurs()) return false;
    auto* ea = dynamic_cast<const xsElement*>(&a);
    auto* eb = dynamic_cast<const xsElement*>(&b);
    if (ea || eb) {
        if (!ea || !eb || ea->name() != eb->name() || ea->typeName() != eb->typeName()) return false;
        const xsComplexType* ta = ea->existingLocalType();
        const xsComplexType* tb = eb->existingLocalType();
        return (!ta && !tb) || (ta && tb && ta->sameShape(*tb));
    }
    auto* ga = dynamic_cast<const xsGroup*>(&a);
    auto* gb = dynamic_cast<const xsGroup*>(&b);
    return ga && gb && typeid(*ga) == typeid(*gb) && sameParticles(*ga, *gb);
}

bool sameParticles(const xsGroup& a, const xsGroup& b) {
    if (a.particles().size() != b.particles().size()) return false;
    for (std::size_t i = 0; i < a.particles().size(); ++i)
        if (!sameParticle(*a.particles()[i], *b.particles()[i])) return false;
    return true;
}
}  // namespace

bool xsComplexType::sameShape(const xsComplexType& other) const {
    if (m_mixed != other.m_mixed || m_name != other.m_name) return false;
    const auto& mine = m_attributes.attributes();
    const auto& theirs = other.m_attributes.attributes();
    if (mine.size() != theirs.size()) return false;
    for (std::size_t i = 0; i < mine.size(); ++i)
        if (!mine[i]->sameShape(*theirs[i])) return false;
    return sameParticles(m_group, other.m_group);
}

void xsComplexType::merge(const xsComplexType& other) {
    const auto& mine = m_attributes.attributes();
    const auto& theirs = other.m_attributes.attributes();
    for (std::size_t i = 0; i < mine.size() && i < theirs.size(); ++i) mine[i]->mergeEnumerations(*theirs[i]);
}

xsSchema::xsSchema() = default;
xsSchema::~xsSchema() = default;

xsElement* xsSchema::setRoot(xsElement* root) {
    m_root.reset(root);
    return root;
}

xsComplexType* xsSchema::defineType(const std::string& name) {
    auto [it, inserted] = m_types.try_emplace(name);
    if (!inserted) return nullptr;
    it->second = std::make_unique<xsComplexType>(name);
    return it->second.get();
}

xsSimpleType* xsSchema::defineSimpleType(const std::string& name) {
    auto [it, inserted] = m_simpleTypes.try_emplace(name);
    if (!inserted) return nullptr;
    it->second = std::make_unique<xsSimpleType>();
    return it->second.get();
}

const xsComplexType* xsSchema::findType(const std::string& name) const {
    auto it = m_types.find(name);
    return it == m_types.end() ? nullptr : it->second.get();
}

std::string xsSchema::toString() const {
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node schema = document.append_child("xs:schema");
    schema.append_attribute("xmlns:xs") = "http://www.w3.org/2001/XMLSchema";
    schema.append_attribute("elementFormDefault") = "unqualified";
    if (m_root) m_root->write(schema);
    for (const auto& particle : m_globals.particles()) {
        particle->write(schema);
        // Occurrence belongs to uses of an element, never to its global declaration.
        schema.last_child().remove_attribute("minOccurs");
        schema.last_child().remove_attribute("maxOccurs");
    }
    for (const auto& [name, type] : m_types) type->write(schema);
    for (const auto& [name, type] : m_simpleTypes) type->write(schema, name);
    std::ostringstream out;
    document.save(out, "  ");
    return out.str();
}

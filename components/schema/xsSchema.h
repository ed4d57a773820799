#pragma once

#include <pugixml.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

// An annotation text.
class xsDocumentation {
public:
    explicit xsDocumentation(std::string text) : m_text(std::move(text)) {}
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

// A restriction of xs:string (or another base) to a list of texts.
class xsSimpleType {
public:
    void setBase(std::string base) { m_base = std::move(base); }
    const std::string& base() const { return m_base; }
    // Adds a text; a text already listed is not repeated.
    void enumeration(const std::string& text);
    const std::vector<std::string>& enumerations() const { return m_enumerations; }
    // Adds a pattern facet; a text must match one of the patterns.
    void pattern(const std::string& regex) { m_patterns.push_back(regex); }
    const std::vector<std::string>& patterns() const { return m_patterns; }
    // Writes the type, named when `name` is not empty.
    void write(pugi::xml_node parent, const std::string& name = {}) const;

private:
    std::string m_base = "xs:string";
    std::vector<std::string> m_enumerations;
    std::vector<std::string> m_patterns;
};

// An attribute declaration.
class xsAttribute {
public:
    xsAttribute(std::string name, std::string type, bool required)
        : m_name(std::move(name)), m_type(std::move(type)), m_required(required) {}
    // Replaces the named type with a local simple type; `kind` is reserved and must be 0.
    xsSimpleType* createSimpleType(int kind);
    xsSimpleType* simpleType() const { return m_simple.get(); }
    const std::string& name() const { return m_name; }
    const std::string& type() const { return m_type; }
    bool required() const { return m_required; }
    void setRequired(bool required) { m_required = required; }
    void annotate(xsDocumentation* documentation) { m_documentation.reset(documentation); }
    void write(pugi::xml_node parent) const;
    // Whether both declare the same attribute, enumerations aside.
    bool sameShape(const xsAttribute& other) const;
    // Takes the texts of `other` into this attribute's enumeration.
    void mergeEnumerations(const xsAttribute& other);

private:
    std::string m_name;
    std::string m_type;
    bool m_required;
    std::unique_ptr<xsSimpleType> m_simple;
    std::unique_ptr<xsDocumentation> m_documentation;
};

// The attributes of a complex type.
class xsAttributeGroup {
public:
    // Takes ownership; an attribute of a name already present is dropped.
    void push_back(xsAttribute* attribute);
    xsAttribute* attribute_back() const { return m_last; }
    const std::vector<std::unique_ptr<xsAttribute>>& attributes() const { return m_attributes; }
    xsAttribute* find(const std::string& name) const;
    void write(pugi::xml_node parent) const;

private:
    std::vector<std::unique_ptr<xsAttribute>> m_attributes;
    xsAttribute* m_last = nullptr;
};

class xsComplexType;

// Something that occurs in a content model: an element or a group.
class xsParticle {
public:
    virtual ~xsParticle() = default;
    void setMinOccurs(int n) { m_min = n; }
    // -1: unbounded.
    void setMaxOccurs(int n) { m_max = n; }
    int minOccurs() const { return m_min; }
    int maxOccurs() const { return m_max; }
    void annotate(xsDocumentation* documentation) { m_documentation.reset(documentation); }
    virtual void write(pugi::xml_node parent) const = 0;

protected:
    void writeOccurs(pugi::xml_node node) const;
    void writeAnnotation(pugi::xml_node node) const;

private:
    int m_min = 1;
    int m_max = 1;
    std::unique_ptr<xsDocumentation> m_documentation;
};

// An element declaration: a named type or a local one.
class xsElement : public xsParticle {
public:
    explicit xsElement(std::string name) : m_name(std::move(name)) {}
    const std::string& name() const { return m_name; }
    void setTypeName(std::string type) { m_typeName = std::move(type); }
    const std::string& typeName() const { return m_typeName; }
    // The local type, created on first call.
    xsComplexType* localType();
    xsComplexType* existingLocalType() const { return m_local.get(); }
    void write(pugi::xml_node parent) const override;

private:
    std::string m_name;
    std::string m_typeName;
    std::unique_ptr<xsComplexType> m_local;
};

// A sequence of particles.
class xsGroup : public xsParticle {
public:
    // Takes ownership. An element particle with the same name and shape as the last one is
    // folded into it (occurrences added, enumerations joined): same-named siblings must share
    // one declaration.
    void push_back(xsParticle* particle);
    const std::vector<std::unique_ptr<xsParticle>>& particles() const { return m_particles; }
    bool empty() const { return m_particles.empty(); }
    void write(pugi::xml_node parent) const override;

protected:
    virtual const char* compositor() const { return "xs:sequence"; }
    // Whether same-named neighbours fold into one declaration.
    virtual bool folds() const { return true; }

private:
    std::vector<std::unique_ptr<xsParticle>> m_particles;
};

// A choice between particles; its branches are alternatives, so nothing folds.
class xsChoice : public xsGroup {
protected:
    const char* compositor() const override { return "xs:choice"; }
    bool folds() const override { return false; }
};

// A complex type: a content model (its default group) and attributes, possibly with text.
class xsComplexType {
public:
    explicit xsComplexType(std::string name = {}) : m_name(std::move(name)) {}
    const std::string& name() const { return m_name; }
    xsGroup& getDefaultGroup() { return m_group; }
    const xsGroup& getDefaultGroup() const { return m_group; }
    xsAttributeGroup& attributes() { return m_attributes; }
    const xsAttributeGroup& attributes() const { return m_attributes; }
    void setMixed(bool mixed) { m_mixed = mixed; }
    bool mixed() const { return m_mixed; }
    void annotate(xsDocumentation* documentation) { m_documentation.reset(documentation); }
    void write(pugi::xml_node parent) const;
    // Whether both describe the same content, enumerations aside; `merge` joins those.
    bool sameShape(const xsComplexType& other) const;
    void merge(const xsComplexType& other);

private:
    std::string m_name;
    xsGroup m_group;
    xsAttributeGroup m_attributes;
    bool m_mixed = false;
    std::unique_ptr<xsDocumentation> m_documentation;
};

// A schema document: one root element and the named complex types, each defined once.
class xsSchema {
public:
    xsSchema();
    ~xsSchema();

    // The root element declaration.
    xsElement* setRoot(xsElement* root);
    // Element particles added here become global element declarations.
    xsGroup& globals() { return m_globals; }
    xsElement* root() const { return m_root.get(); }
    bool hasType(const std::string& name) const { return m_types.count(name) != 0; }
    // Defines a named type; null when a type of that name exists already.
    xsComplexType* defineType(const std::string& name);
    const xsComplexType* findType(const std::string& name) const;
    // Defines a named simple type; null when a simple type of that name exists already.
    xsSimpleType* defineSimpleType(const std::string& name);
    // The schema as an XML Schema document.
    std::string toString() const;

private:
    std::unique_ptr<xsElement> m_root;
    xsGroup m_globals;
    std::map<std::string, std::unique_ptr<xsComplexType>> m_types;
    std::map<std::string, std::unique_ptr<xsSimpleType>> m_simpleTypes;
};

#include "kestrel/components/exchange/xmfLocsys3d.h"
#include "kestrel/components/exchange/xmfPos3d.h"
#include "kestrel/components/exchange/xmfVector3d.h"
#include "kestrel/components/framework/mfLexicalCast.h"
#include "kestrel/components/framework/mfTextFormatter.h"
#include "kestrel/components/schema/xsSchema.h"
#include "kestrel/components/units/jsQuantity.h"
#include "kestrel/components/units/jsQuantityPattern.h"

namespace {
// One coordinate of a geometry binding, bound to a field of the binding's value.
class xmfCoordinate : public xpAttribute {
public:
    xmfCoordinate(const char* name, double* field, bool isLength) : m_field(field), m_length(isLength) {
        setName(name);
        set_required(true);
    }
    bool import_text(const std::string& text) override { return import_view(text); }
    bool import_view(std::string_view text) override {
        *m_field = finiteRead(m_length ? jsParseQuantity(text, jsLength::descriptor())
                                       : mfLexicalCast<double>(std::string(text)));
        return true;
    }
    bool export_text(std::string& text) override {
        if (!finiteWrite(*m_field)) return false;
        text = m_length ? jsLength(*m_field).format(10, 12288, 0, 1) : mfTextFormatter::format_impl(*m_field);
        return true;
    }
    const std::type_info& attributeType() const override { return typeid(double); }
    std::string schemaType() const override {
        return m_length ? jsQuantityTypeName(jsLength::descriptor()) : xpFiniteDoubleType;
    }
    void buildSchema(xsSchema& schema, xsAttributeGroup* group, const std::string& name) override {
        xpAttribute::buildSchema(schema, group, name);
        if (!m_length)
            xpDefineFiniteDouble(schema);
        else if (xsSimpleType* type = schema.defineSimpleType(schemaType()))
            type->pattern(jsQuantityPattern(jsLength::descriptor()));
    }
    using xpAttribute::buildSchema;

private:
    double* m_field;
    bool m_length;
};

template <class Value>
void addCoordinates(xpAttributes& group, Value& value, bool isLength) {
    group.add(new xmfCoordinate("x", &value.x, isLength));
    group.add(new xmfCoordinate("y", &value.y, isLength));
    group.add(new xmfCoordinate("z", &value.z, isLength));
}

// A child element holding one attribute group.
template <class Group>
Group* addChild(xpElement& parent, const char* name) {
    auto* element = new xpElement;
    element->setName(name);
    element->set_required(true);
    auto* group = new Group;
    group->set_required(true);
    element->add(group);
    parent.add(element);
    return group;
}
}  // namespace

xmfPos3d::xmfPos3d() {
    setTypeName("pos3dType");
    addCoordinates(*this, m_value, true);
}

bool xmfPos3d::export_(const pos3d& value) {
    m_value = value;
    return true;
}

xmfVector3d::xmfVector3d() {
    setTypeName("vec3dType");
    addCoordinates(*this, m_value, false);
}

bool xmfVector3d::export_(const vec3d& value) {
    m_value = value;
    return true;
}

xmfLocsys3d::xmfLocsys3d()
    : m_origin(addChild<xmfPos3d>(*this, "origin")),
      m_xAxis(addChild<xmfVector3d>(*this, "x_axis")),
      m_yAxis(addChild<xmfVector3d>(*this, "y_axis")) {
    setTypeName("locsys3dType");
}

bool xmfLocsys3d::export_(const locsys3d& value) {
    return m_origin->export_(value.origin()) && m_xAxis->export_(value.xAxis()) && m_yAxis->export_(value.yAxis());
}

locsys3d xmfLocsys3d::import() const {
    return locsys3d(m_origin->import(), m_xAxis->import(), m_yAxis->import());
}

#include "kestrel/components/types/mfTypeInfo.h"
#include "kestrel/components/types/mfTypeInfoObject.h"

#include "kestrel/components/framework/mfTextFormatter.h"

namespace impl {

mfTypeInfoBase::~mfTypeInfoBase() = default;

mfTypeInfoBase* mfTypeInfoSimple::clone() const {
    return new mfTypeInfoSimple(*m_type);
}

bool mfTypeInfoSimple::accepts(const std::type_info& type) const {
    return type == *m_type;
}

}  // namespace impl

mfTypeInfo::mfTypeInfo(const std::type_info& type) : m_record(new impl::mfTypeInfoSimple(type)) {}

mfTypeInfo::mfTypeInfo(const mfTypeInfo& other) : m_record(other.m_record ? other.m_record->clone() : nullptr) {}

mfTypeInfo::~mfTypeInfo() {
    delete m_record;
}

const std::type_info& mfTypeInfo::type() const {
    return m_record ? m_record->type() : typeid(void);
}

const std::string& mfTypeInfo::orderName() const {
    static const std::string none;
    return m_record ? mfDemangledName(m_record->type()) : none;
}

bool operator<(const mfTypeInfo& a, const mfTypeInfo& b) {
    if (!a.m_record) return false;
    if (!b.m_record) return true;
    if (a.m_record->type() == b.m_record->type()) return false;
    return a.orderName() < b.orderName();
}

bool mfTypeInfo::matches(const mfTypeInfo& other) const {
    if (!m_record || !other.m_record) return false;
    return m_record->accepts(other.m_record->type()) || other.m_record->accepts(m_record->type());
}

namespace impl {

mfTypeInfoBase* mfTypeInfoObject::clone() const {
    return new mfTypeInfoObject(m_object);
}

bool mfTypeInfoObject::accepts(const std::type_info& type) const {
    return m_object && m_object->getInterface(type) != nullptr;
}

const std::type_info& mfTypeInfoObject::type() const {
    return m_object ? typeid(*m_object) : typeid(void);
}

}  // namespace impl

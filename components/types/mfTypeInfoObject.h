#pragma once

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/model/mfMetaObject.h"
#include "kestrel/components/types/mfTypeInfoBase.h"

namespace impl {

// The record of a live model object, for one lookup: it does not keep the object alive.
class KESTREL_API mfTypeInfoObject : public mfTypeInfoBase {
public:
    explicit mfTypeInfoObject(mfMetaObject* object) : m_object(object) {}
    mfTypeInfoBase* clone() const override;
    // Whether the object's interface chain offers `type`.
    bool accepts(const std::type_info& type) const override;
    // The object's dynamic type.
    const std::type_info& type() const override;

private:
    mfMetaObject* m_object;
};

}  // namespace impl

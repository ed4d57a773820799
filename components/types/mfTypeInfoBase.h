#pragma once

#include <typeinfo>

#include "kestrel/components/framework/kestrelApi.h"

namespace impl {

// A type record: stands for one type and answers whether it is, derives from or offers another.
class KESTREL_API mfTypeInfoBase {
public:
    virtual ~mfTypeInfoBase();
    // A new record of the same kind with the same content.
    virtual mfTypeInfoBase* clone() const = 0;
    // Whether the held type is `type`, derives from it or offers it as an interface.
    virtual bool accepts(const std::type_info& type) const = 0;
    virtual const std::type_info& type() const = 0;
};

// The record of a plain type_info: it knows no bases.
class KESTREL_API mfTypeInfoSimple : public mfTypeInfoBase {
public:
    explicit mfTypeInfoSimple(const std::type_info& type) : m_type(&type) {}
    mfTypeInfoBase* clone() const override;
    bool accepts(const std::type_info& type) const override;
    const std::type_info& type() const override { return *m_type; }

private:
    const std::type_info* m_type;
};

}  // namespace impl

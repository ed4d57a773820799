#pragma once

#include <string>
#include <typeinfo>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/types/mfTypeInfoBase.h"

// A type value owning one type record; the key of every type-keyed map. Values order by the
// demangled name of their type, empty values last.
class KESTREL_API mfTypeInfo {
public:
    // An empty value: sorts after every other and matches nothing.
    mfTypeInfo() = default;
    mfTypeInfo(const std::type_info& type);
    // Takes ownership of the record (null gives an empty value).
    explicit mfTypeInfo(impl::mfTypeInfoBase* record) : m_record(record) {}
    mfTypeInfo(const mfTypeInfo& other);
    mfTypeInfo(mfTypeInfo&& other) noexcept : m_record(other.m_record) { other.m_record = nullptr; }
    mfTypeInfo& operator=(mfTypeInfo other) noexcept {
        std::swap(m_record, other.m_record);
        return *this;
    }
    ~mfTypeInfo();

    bool empty() const { return m_record == nullptr; }
    const impl::mfTypeInfoBase* record() const { return m_record; }
    // The held type; typeid(void) for an empty value.
    const std::type_info& type() const;
    // The name that orders values: the demangled type name, "" for an empty value.
    const std::string& orderName() const;

    friend KESTREL_API bool operator<(const mfTypeInfo& a, const mfTypeInfo& b);
    // Whether either record accepts the other's type; an empty value matches nothing.
    bool matches(const mfTypeInfo& other) const;

private:
    impl::mfTypeInfoBase* m_record = nullptr;
};

#pragma once

#include <type_traits>

#include "kestrel/components/exchange/xmfLocsys3d.h"
#include "kestrel/components/exchange/xmfPos3d.h"
#include "kestrel/components/exchange/xmfVector3d.h"

// The binding node of a value type T: a class deriving from the binding (an attribute group or
// an element) that offers export_(const T&) and import(). Each bound type specialises it.
template <class T>
class xpClass {
    static_assert(sizeof(T) == 0,
                  "Kestrel: no binding for this type: specialise xpClass<T> with a class that "
                  "derives from its binding node and provides export_(const T&) and import()");
};

template <>
class xpClass<pos3d> : public xmfPos3d {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<vec3d> : public xmfVector3d {
public:
    ~xpClass() override = default;
};

template <>
class xpClass<locsys3d> : public xmfLocsys3d {
public:
    ~xpClass() override = default;
};

// Whether the binding of T is a group of attributes (true) or an element (false).
template <class T>
inline constexpr bool xpIsAttributeBinding = std::is_base_of_v<xpAttributes, xpClass<T>>;

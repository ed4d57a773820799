#pragma once

#include <string>

#include "kestrel/components/framework/kestrelApi.h"

template <class T>
class xlaIntensity;

// Names the schema types of the value elements: "Pressure" gives "PressureType".
template <>
class KESTREL_API xlaIntensity<double> {
public:
    xlaIntensity& operator=(const xlaIntensity&) { return *this; }
    static std::string getTypeName(const std::string& word);
};

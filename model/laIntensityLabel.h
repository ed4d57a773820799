#pragma once

#include <string>

// The name of a value type in description texts ("Pressure", "Line Load", ...). Each labelled
// type specialises it next to its definition.
template <class T>
std::string laIntensityLabel() {
    static_assert(sizeof(T) == 0,
                  "Kestrel: this value type has no label; forces, moments, translations and rotations are only "
                  "parts of the compounds");
    return {};
}

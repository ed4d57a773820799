#include "kestrel/elements/xlaIntensity.h"

std::string xlaIntensity<double>::getTypeName(const std::string& word) {
    return word + "Type";
}

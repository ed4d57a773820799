#pragma once

#include <string>

#include "kestrel/components/units/jsQuantity.h"

// An XML Schema pattern for the texts of a quantity: a finite number, optionally followed by a
// unit. Every text jsParseQuantity reads as a finite value matches it; of the texts it refuses,
// the pattern excludes malformed numbers and the common unit spellings of other quantities
// ("5 kN" for a length). A unit text it cannot judge by its letters (a product or quotient it
// does not list) is left to the reader.
std::string jsQuantityPattern(const jsUnitDescriptor& unit);

// The schema type name of a quantity's texts, from its name: "forcePerUnitLengthQuantity".
std::string jsQuantityTypeName(const jsUnitDescriptor& unit);

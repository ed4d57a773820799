#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "kestrel/components/framework/kestrelApi.h"

// A globally unique identifier in the 22-character form of STEP-based building models (128 bits
// in base 64 over "0-9A-Za-z_$", the first character holding two bits), derived from a key: the
// same key gives the same identifier, so a file written twice is the same file.
KESTREL_API std::string mfStepGuid(std::string_view key);
// The 128 bits the identifier of `key` encodes: a name-based UUID (version 8, RFC 9562 variant).
KESTREL_API std::array<std::uint8_t, 16> mfStepGuidBits(std::string_view key);
// The 22 characters of 128 bits.
KESTREL_API std::string mfStepGuidText(const std::array<std::uint8_t, 16>& bits);

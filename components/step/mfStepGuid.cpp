#include "kestrel/components/step/mfStepGuid.h"

namespace {
constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_$";

// FNV-1a over the key from a given basis, then a full avalanche, so that keys differing in one
// character differ in about half the bits.
std::uint64_t hash(std::string_view key, std::uint64_t basis) {
    std::uint64_t h = basis;
    for (const char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ULL;
    }
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBULL;
    h ^= h >> 31;
    return h;
}
}  // namespace

std::array<std::uint8_t, 16> mfStepGuidBits(std::string_view key) {
    const std::uint64_t halves[2] = {hash(key, 0xCBF29CE484222325ULL), hash(key, 0x84222325CBF29CE4ULL)};
    std::array<std::uint8_t, 16> bits{};
    for (int i = 0; i < 16; ++i) bits[i] = static_cast<std::uint8_t>(halves[i / 8] >> (56 - 8 * (i % 8)));
    bits[6] = static_cast<std::uint8_t>((bits[6] & 0x0F) | 0x80);
    bits[8] = static_cast<std::uint8_t>((bits[8] & 0x3F) | 0x80);
    return bits;
}

std::string mfStepGuidText(const std::array<std::uint8_t, 16>& bits) {
    // 128 bits read from the top, 6 at a time after the first 2.
    std::string text(22, '0');
    int bit = 0;
    for (int i = 0; i < 22; ++i) {
        const int width = i == 0 ? 2 : 6;
        unsigned value = 0;
        for (int k = 0; k < width; ++k, ++bit) value = (value << 1) | ((bits[bit / 8] >> (7 - bit % 8)) & 1U);
        text[i] = kDigits[value];
    }
    return text;
}

std::string mfStepGuid(std::string_view key) {
    return mfStepGuidText(mfStepGuidBits(key));
}

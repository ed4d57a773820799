#include "kestrel/components/framework/Base64.h"

#include <array>
#include <stdexcept>

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> makeTable() {
    std::array<signed char, 256> table{};
    for (auto& entry : table) entry = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return table;
}
constexpr auto kTable = makeTable();
}  // namespace

std::string Base64::encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (std::size_t rest = bytes.size() - i; rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Base64::decode(std::string_view text) {
    // Every symbol gives six bits at most, so three bytes for four and for a short group's rest.
    std::string out(text.size() / 4 * 3 + 3, '\0');
    char* to = out.data();
    unsigned buffer = 0;
    int bits = 0;
    int padding = 0;
    std::size_t symbols = 0;
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) {
        // Four symbols between blanks make three bytes at once.
        if (bits == 0 && end - at >= 4) {
            const int a = kTable[at[0]], b = kTable[at[1]], c = kTable[at[2]], d = kTable[at[3]];
            if ((a | b | c | d) >= 0 && padding == 0) {
                const unsigned v = unsigned(a) << 18 | unsigned(b) << 12 | unsigned(c) << 6 | unsigned(d);
                to[0] = static_cast<char>(v >> 16);
                to[1] = static_cast<char>(v >> 8);
                to[2] = static_cast<char>(v);
                to += 3;
                at += 4;
                symbols += 4;
                continue;
            }
        }
        const char c = static_cast<char>(*at++);
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        int value = kTable[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0) throw std::invalid_argument("Invalid Base64 text");
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        ++symbols;
        if (bits >= 8) {
            bits -= 8;
            *to++ = static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    if (symbols % 4 != 0 || padding > 2) throw std::invalid_argument("Invalid Base64 text");
    out.resize(std::size_t(to - out.data()));
    return out;
}

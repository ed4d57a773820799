#include "kestrel/components/step/mfStepWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ostream>
#include <stdexcept>

namespace {
constexpr char kHex[] = "0123456789ABCDEF";

void hex(std::string& out, char32_t c, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

// The next code point of `text` from `at`, moving `at` past it; U+FFFD for a byte that starts
// no valid sequence (overlong forms, surrogates and values past U+10FFFF included).
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t c = 0;
    char32_t lowest = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, lowest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, lowest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, lowest = 0x10000;
    } else {
        ++at;
        return 0xFFFD;
    }
    if (at + length > text.size()) {
        ++at;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return 0xFFFD;
        }
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++at;
        return 0xFFFD;
    }
    at += length;
    return c;
}

// The text of a finite real in `out` (at least 32 characters); returns its length.
std::size_t realText(double value, char* out) {
    char buffer[32];
    const char* text = buffer;
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    // The format wants a decimal point in every real and a capital exponent mark.
    const char* e = std::find(text, end, 'e');
    char* at = std::copy(text, e, out);
    if (std::find(text, e, '.') == e) *at++ = '.';
    if (e != end) {
        *at++ = 'E';
        at = std::copy(e + 1, end, at);
    }
    return static_cast<std::size_t>(at - out);
}
}  // namespace

mfStepWriter::mfStepWriter(std::ostream& out) : m_out(out) {
    grow(kFlushAt + 4096);
}

void mfStepWriter::grow(std::size_t size) {
    const std::size_t capacity = std::max(m_size + size, 2 * m_capacity);
    auto data = std::make_unique<char[]>(capacity);
    // The first buffer has nothing to copy, from a null pointer that memcpy may not be given.
    if (m_size != 0) std::memcpy(data.get(), m_data.get(), m_size);
    m_data = std::move(data);
    m_capacity = capacity;
}

void mfStepWriter::flush() {
    m_out.write(m_data.get(), static_cast<std::streamsize>(m_size));
    m_size = 0;
}

void mfStepWriter::header(const Header& h) {
    append("ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((" + encode(h.description) + "),'2;1');\nFILE_NAME(" +
           encode(h.name) + ',' + encode(h.timeStamp) + ",(''),('')," + encode(h.system) + ',' + encode(h.system) +
           ",'');\nFILE_SCHEMA((" + encode(h.schema) + "));\nENDSEC;\nDATA;\n");
}

void mfStepWriter::finish() {
    append("ENDSEC;\nEND-ISO-10303-21;\n");
    flush();
}

std::uint64_t mfStepWriter::begin(std::string_view type, std::uint64_t id) {
    if (id == 0) id = m_next++;
    char* at = room(type.size() + kValueRoom);
    *at++ = '#';
    at = number(at, id);
    *at++ = '=';
    at = std::copy(type.begin(), type.end(), at);
    *at++ = '(';
    m_size = static_cast<std::size_t>(at - m_data.get());
    m_comma = false;
    return id;
}

void mfStepWriter::end() {
    append(");\n");
    if (m_size >= kFlushAt) flush();
}

mfStepWriter& mfStepWriter::string(std::string_view utf8) {
    char* at = separate(room(kValueRoom));
    m_size = static_cast<std::size_t>(at - m_data.get());
    append(encode(utf8));
    return *this;
}

const mfStepWriter::RecentReal& mfStepWriter::remember(double value, std::uint64_t bits) {
    if (!std::isfinite(value)) throw std::invalid_argument("a STEP real must be finite");
    RecentReal& recent = m_recent[(bits * 0x9e3779b97f4a7c15ULL) >> (64 - kRecentBits)];
    recent.bits = bits;
    recent.length = static_cast<unsigned char>(realText(value, recent.text));
    return recent;
}

mfStepWriter& mfStepWriter::integer(long long value) {
    char* at = separate(room(kValueRoom));
    m_size = static_cast<std::size_t>(std::to_chars(at, at + 20, value).ptr - m_data.get());
    return *this;
}

mfStepWriter& mfStepWriter::enumeration(std::string_view name) {
    char* at = separate(room(name.size() + kValueRoom));
    *at++ = '.';
    at = std::copy(name.begin(), name.end(), at);
    *at++ = '.';
    m_size = static_cast<std::size_t>(at - m_data.get());
    return *this;
}

mfStepWriter& mfStepWriter::typed(std::string_view type) {
    char* at = separate(room(type.size() + kValueRoom));
    at = std::copy(type.begin(), type.end(), at);
    *at++ = '(';
    m_size = static_cast<std::size_t>(at - m_data.get());
    m_comma = false;
    return *this;
}

std::string mfStepWriter::encode(std::string_view utf8) {
    std::string out = "'";
    std::size_t at = 0;
    while (at < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[at]);
        if (b >= 0x20 && b <= 0x7E) {
            out += static_cast<char>(b);
            if (b == '\'' || b == '\\') out += static_cast<char>(b);
            ++at;
            continue;
        }
        // One run of 16-bit characters, or of 32-bit ones, up to the next printable ASCII byte.
        const std::size_t runStart = at;
        const bool wide = nextCodePoint(utf8, at) > 0xFFFF;
        at = runStart;
        out += wide ? "\\X4\\" : "\\X2\\";
        while (at < utf8.size()) {
            const unsigned char next = static_cast<unsigned char>(utf8[at]);
            if (next >= 0x20 && next <= 0x7E) break;
            std::size_t after = at;
            const char32_t c = nextCodePoint(utf8, after);
            if ((c > 0xFFFF) != wide) break;
            hex(out, c, wide ? 8 : 4);
            at = after;
        }
        out += "\\X0\\";
    }
    out += '\'';
    return out;
}

std::string mfStepWriter::formatReal(double value) {
    std::string text;
    appendReal(text, value);
    return text;
}

void mfStepWriter::appendReal(std::string& out, double value) {
    if (!std::isfinite(value)) throw std::invalid_argument("a STEP real must be finite");
    char text[32];
    out.append(text, realText(value, text));
}

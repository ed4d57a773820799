#include "kestrel/components/step/mfStepWriter.h"

#include <charconv>
#include <cmath>
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
}  // namespace

mfStepWriter::mfStepWriter(std::ostream& out) : m_out(out) {}

void mfStepWriter::header(const Header& h) {
    m_out << "ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((" << encode(h.description) << "),'2;1');\nFILE_NAME("
          << encode(h.name) << ',' << encode(h.timeStamp) << ",(''),('')," << encode(h.system) << ','
          << encode(h.system) << ",'');\nFILE_SCHEMA((" << encode(h.schema) << "));\nENDSEC;\nDATA;\n";
}

void mfStepWriter::finish() {
    m_out << "ENDSEC;\nEND-ISO-10303-21;\n";
}

std::uint64_t mfStepWriter::begin(std::string_view type, std::uint64_t id) {
    if (id == 0) id = m_next++;
    m_out << '#' << id << '=' << type << '(';
    m_comma = false;
    return id;
}

void mfStepWriter::end() {
    m_out << ");\n";
}

void mfStepWriter::separate() {
    if (m_comma) m_out << ',';
    m_comma = true;
}

mfStepWriter& mfStepWriter::ref(std::uint64_t id) {
    separate();
    m_out << '#' << id;
    return *this;
}

mfStepWriter& mfStepWriter::string(std::string_view utf8) {
    separate();
    m_out << encode(utf8);
    return *this;
}

mfStepWriter& mfStepWriter::real(double value) {
    separate();
    m_out << formatReal(value);
    return *this;
}

mfStepWriter& mfStepWriter::integer(long long value) {
    separate();
    m_out << value;
    return *this;
}

mfStepWriter& mfStepWriter::enumeration(std::string_view name) {
    separate();
    m_out << '.' << name << '.';
    return *this;
}

mfStepWriter& mfStepWriter::null() {
    separate();
    m_out << '$';
    return *this;
}

mfStepWriter& mfStepWriter::derived() {
    separate();
    m_out << '*';
    return *this;
}

mfStepWriter& mfStepWriter::typed(std::string_view type) {
    separate();
    m_out << type << '(';
    m_comma = false;
    return *this;
}

mfStepWriter& mfStepWriter::open() {
    separate();
    m_out << '(';
    m_comma = false;
    return *this;
}

mfStepWriter& mfStepWriter::close() {
    m_out << ')';
    m_comma = true;
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
    if (!std::isfinite(value)) throw std::invalid_argument("a STEP real must be finite");
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, end);
    // The format wants a decimal point in every real and a capital exponent mark.
    const std::size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') == std::string::npos) mantissa += '.';
    return e == std::string::npos ? mantissa : mantissa + 'E' + text.substr(e + 1);
}

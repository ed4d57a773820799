#include "kestrel/components/exchange/xpSourceText.h"

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
constexpr std::size_t npos = std::string_view::npos;

bool isXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::string codePoint(std::uint32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

// The first invalid UTF-8 sequence or character XML does not allow; no problem when none.
xpTextProblem firstInvalid(std::string_view text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
#if defined(__SSE2__)
        // Sixteen at a time: a signed compare flags bytes with the top bit set and those below
        // 0x20; tabs and line ends, which every indented document has, pass.
        while (n - i >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            const __m128i blank = _mm_or_si128(
                _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')),
                _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))));
            if (_mm_movemask_epi8(_mm_andnot_si128(blank, _mm_cmplt_epi8(v, _mm_set1_epi8(0x20)))) != 0) break;
            i += 16;
        }
#endif
        // Eight plain ASCII bytes at a time: none with the top bit set, none below 0x20.
        while (n - i >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            constexpr std::uint64_t ones = 0x0101010101010101ull, tops = 0x8080808080808080ull;
            if (((word | (word - 0x20 * ones)) & tops) != 0) break;
            i += 8;
        }
        if (i >= n) break;
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            if (lead < 0x20 && !isXmlChar(lead)) return {"character " + codePoint(lead) + " is not allowed in XML", i};
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t c = 0;
        std::uint32_t least = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, c = lead & 0x1F, least = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, c = lead & 0x0F, least = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, c = lead & 0x07, least = 0x10000;
        } else {
            return {"invalid UTF-8 byte sequence", i};
        }
        if (n - i < length) return {"invalid UTF-8 byte sequence", i};
        for (std::size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return {"invalid UTF-8 byte sequence", i};
            c = (c << 6) | (bytes[i + k] & 0x3F);
        }
        if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return {"invalid UTF-8 byte sequence", i};
        if (!isXmlChar(c)) return {"character " + codePoint(c) + " is not allowed in XML", i};
        i += length;
    }
    return {};
}

bool startsWith(std::string_view text, std::string_view head) {
    return text.substr(0, head.size()) == head;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? char(a[i] - 32) : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? char(b[i] - 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

// The encoding named in the XML declaration at the start of ASCII-compatible text; empty for none.
std::string declaredEncoding(std::string_view text) {
    if (!startsWith(text, "<?xml")) return {};
    std::string_view declaration = text.substr(0, text.find("?>"));
    std::size_t at = declaration.find("encoding");
    if (at == npos) return {};
    at += 8;
    auto skipBlanks = [&] {
        while (at < declaration.size() && (declaration[at] == ' ' || declaration[at] == '\t' ||
                                           declaration[at] == '\r' || declaration[at] == '\n'))
            ++at;
    };
    skipBlanks();
    if (at >= declaration.size() || declaration[at] != '=') return {};
    ++at;
    skipBlanks();
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
    const std::size_t end = declaration.find(declaration[at], at + 1);
    if (end == npos) return {};
    return std::string(declaration.substr(at + 1, end - at - 1));
}

// An encoding name as a message may quote it: short, and only printable ASCII.
std::string printable(std::string_view name) {
    std::string shown;
    for (char c : name.substr(0, 40)) shown += c > 0x20 && c < 0x7F ? c : '?';
    return shown;
}

// Converts `bytes` to UTF-8 with iconv; on a problem, `out` holds what converted before it.
xpTextProblem convert(std::string_view bytes, const std::string& from, std::string& out) {
    iconv_t converter = iconv_open("UTF-8", from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return {"unsupported encoding \"" + printable(from) + "\"", 0};
    out.resize(bytes.size() + bytes.size() / 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    xpTextProblem problem;
    while (inLeft > 0) {
        char* target = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(converter, &in, &inLeft, &target, &outLeft);
        written = static_cast<std::size_t>(target - out.data());
        if (result != static_cast<std::size_t>(-1)) continue;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        problem = {"invalid byte sequence for encoding " + from, written};
        break;
    }
    iconv_close(converter);
    out.resize(written);
    return problem;
}

// Checks the reference that starts at text[at] ('&').
xpTextProblem checkReference(std::string_view text, std::size_t at) {
    // Only a short window is searched: a text full of bare '&' must not cost quadratic time.
    const std::size_t semicolon = text.substr(at, 42).find(';');
    const std::string_view body = semicolon == npos ? std::string_view() : text.substr(at + 1, semicolon - 1);
    if (body.empty() || body.find_first_of(" \t\r\n&<\"'") != npos)
        return {"'&' that starts no entity or character reference", at};
    for (std::string_view known : {"lt", "gt", "amp", "apos", "quot"})
        if (body == known) return {};
    const std::string quoted = "\"&" + std::string(body) + ";\"";
    if (body[0] != '#') return {"undefined entity " + quoted, at};
    const bool hex = body.size() > 1 && body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    std::uint32_t c = 0;
    bool ok = !digits.empty() && digits.size() <= 8;
    for (char d : digits) {
        int v = d >= '0' && d <= '9'          ? d - '0'
                : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                              : -1;
        if (v < 0) ok = false;
        if (ok) c = c * (hex ? 16 : 10) + std::uint32_t(v);
    }
    if (!ok) return {"malformed character reference " + quoted, at};
    if (!isXmlChar(c)) return {"character reference " + quoted + " names a character XML does not allow", at};
    return {};
}
}  // namespace

xpTextProblem xpDecodeSource(std::string_view bytes, std::string& storage, std::string_view& text) {
    text = bytes;
    std::string encoding;
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        text = bytes.substr(3);
    } else if (startsWith(bytes, "\xFF\xFE")) {
        encoding = "UTF-16LE", bytes.remove_prefix(2);
    } else if (startsWith(bytes, "\xFE\xFF")) {
        encoding = "UTF-16BE", bytes.remove_prefix(2);
    } else if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '\0') {
        encoding = "UTF-16LE";
    } else if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] == '<') {
        encoding = "UTF-16BE";
    } else {
        encoding = declaredEncoding(bytes);
        if (sameName(encoding, "UTF-8") || sameName(encoding, "UTF8")) encoding.clear();
        for (std::string_view wide : {"UTF-16", "UTF-32", "UCS-2", "UCS-4", "UTF16", "UTF32"})
            if (encoding.size() >= wide.size() && sameName(std::string_view(encoding).substr(0, wide.size()), wide))
                return {"the document declares encoding \"" + printable(encoding) + "\" but its bytes are not in it",
                        0};
    }
    if (!encoding.empty()) {
        xpTextProblem problem = convert(bytes, encoding, storage);
        text = storage;
        if (problem) return problem;
    }
    return firstInvalid(text);
}

xpTextProblem xpCheckUtf8(std::string_view text) {
    return firstInvalid(text);
}

xpTextProblem xpCheckReference(std::string_view text, std::size_t at) {
    return checkReference(text, at);
}

void xpLineAndColumn(std::string_view text, std::size_t offset, int& line, int& column) {
    line = 1;
    column = 1;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
}

std::size_t xpUtf8Cut(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return end;
}

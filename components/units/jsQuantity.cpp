#include "kestrel/components/units/jsQuantity.h"

#include <udunits2.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "kestrel/components/framework/mfFromChars.h"
#include "kestrel/components/framework/mfTextFormatter.h"

#define KESTREL_JS_DESCRIPTOR(Name, quantityName, siSymbol, scaleOnly)          \
    const jsUnitDescriptor& Name::descriptor() {                                \
        static constexpr jsUnitDescriptor d{quantityName, siSymbol, scaleOnly}; \
        return d;                                                               \
    }

KESTREL_JS_DESCRIPTOR(jsPressure, "pressure", "Pa", false)
KESTREL_JS_DESCRIPTOR(jsTemperatureDifference, "temperature difference", "K", true)
KESTREL_JS_DESCRIPTOR(jsForcePerUnitLength, "force per unit length", "N/m", false)
KESTREL_JS_DESCRIPTOR(jsForcePerUnitArea, "force per unit area", "N/m2", false)
KESTREL_JS_DESCRIPTOR(jsForcePerUnitVolume, "force per unit volume", "N/m3", false)
KESTREL_JS_DESCRIPTOR(jsForcePerUnitAreaPerAngle, "force per unit area per angle", "N/m2/rad", false)
KESTREL_JS_DESCRIPTOR(jsForce, "force", "N", false)
KESTREL_JS_DESCRIPTOR(jsMomentOfForce, "moment of force", "N.m", false)
KESTREL_JS_DESCRIPTOR(jsLength, "length", "m", false)
KESTREL_JS_DESCRIPTOR(jsAngle, "angle", "rad", false)

#undef KESTREL_JS_DESCRIPTOR

std::string jsQuantity::format(int, int, int, int) const {
    // Made in one piece: a document writes a number with its unit for most attributes.
    const std::string_view symbol = unit().siSymbol;
    char buffer[mfTextFormatter::kDoubleChars];
    char* end = mfTextFormatter::format_to(buffer, m_value);
    std::string text;
    text.reserve(std::size_t(end - buffer) + 1 + symbol.size());
    text.append(buffer, std::size_t(end - buffer)).append(1, ' ').append(symbol);
    return text;
}

namespace {

constexpr std::size_t kQuotedTextLimit = 200;
// Bounds memory when a document carries many distinct (likely bad) unit texts.
constexpr std::size_t kCachedUnitsPerQuantity = 1024;

// Spellings structural engineers write that the unit database lacks. Registered as symbols, so
// prefixes and products work too ("kNm", "kN/m2/deg").
constexpr const char* kEngineeringSpellings[][2] = {
    {"deg", "degree"},  {"Nm", "N.m"},     {"tf", "1000 kgf"}, {"psf", "lbf/ft2"},
    {"ksf", "kip/ft2"}, {"plf", "lbf/ft"}, {"klf", "kip/ft"},
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isControl(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

std::string_view trimLeft(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view trim(std::string_view text) {
    text = trimLeft(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Quoted for a message: cut on a UTF-8 boundary, control bytes shown as '?'.
std::string quoted(std::string_view text) {
    bool cut = text.size() > kQuotedTextLimit;
    if (cut) {
        std::size_t end = kQuotedTextLimit;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        text = text.substr(0, end);
    }
    std::string out = "\"";
    for (char c : text) out += isControl(c) ? '?' : c;
    out += cut ? "...\"" : "\"";
    return out;
}

[[noreturn]] void refuse(std::string_view text, const jsUnitDescriptor& unit, const std::string& reason) {
    const char* article = std::string_view("aeiou").find(unit.quantityName[0]) != std::string_view::npos ? "an " : "a ";
    throw std::invalid_argument("cannot read " + quoted(text) + " as " + article + unit.quantityName + " (" +
                                unit.siSymbol + "): " + reason);
}

// How a unit text converts to an SI unit; `error` is empty when it does.
struct Conversion {
    double scale = 1.0;
    double offset = 0.0;
    std::string error;
};

Conversion failure(std::string error) {
    return {1.0, 0.0, std::move(error)};
}

struct UnitDeleter {
    void operator()(ut_unit* unit) const { ut_free(unit); }
};
struct ConverterDeleter {
    void operator()(cv_converter* converter) const { cv_free(converter); }
};
using UnitPtr = std::unique_ptr<ut_unit, UnitDeleter>;
using ConverterPtr = std::unique_ptr<cv_converter, ConverterDeleter>;

// UDUNITS-2 keeps global parser and error state: every call goes through this mutex.
std::mutex& udunitsMutex() {
    static std::mutex mutex;
    return mutex;
}

// Loaded on first use; the caller holds udunitsMutex(). A failed load is retried next time.
ut_system* unitSystem() {
    static ut_system* system = nullptr;
    ut_set_error_message_handler(ut_ignore);
    if (system) return system;
    system = ut_read_xml(nullptr);
    if (!system)
        throw std::runtime_error("cannot load the UDUNITS-2 unit database (status " + std::to_string(ut_get_status()) +
                                 ")");
    for (const auto& [symbol, definition] : kEngineeringSpellings) {
        UnitPtr unit(ut_parse(system, definition, UT_ASCII));
        // A database that already defines the symbol keeps its own meaning.
        if (unit) ut_map_symbol_to_unit(symbol, UT_ASCII, unit.get());
    }
    return system;
}

// UDUNITS's parser stops at NUL, copies newlines to standard output and accepts one unmatched
// trailing ')', so those are refused before it sees the text. Its other leniency, dropping stray
// bytes at the end of the input ("m\xff" reads as "m"), is met by parsing the text in parentheses.
std::string textProblem(std::string_view unitText) {
    int depth = 0;
    for (char c : unitText) {
        if (isControl(c)) return "control character in unit " + quoted(unitText);
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) break;
    }
    if (depth != 0) return "unbalanced parenthesis in unit " + quoted(unitText);
    return {};
}

// Log units and the like cannot be held as a scale and an offset.
bool isAffine(const cv_converter* converter, double scale, double offset) {
    if (!std::isfinite(scale) || !std::isfinite(offset) || scale == 0.0) return false;
    for (double x : {-1e3, 1e3}) {
        double expected = offset + scale * x;
        double actual = cv_convert_double(converter, x);
        double size = std::max({std::abs(expected), std::abs(actual), std::abs(offset)});
        if (!(std::abs(actual - expected) <= 1e-9 * size)) return false;
    }
    return true;
}

Conversion computeConversion(const char* siSymbol, std::string_view unitText) {
    if (std::string problem = textProblem(unitText); !problem.empty()) return failure(std::move(problem));
    const std::string text(unitText);
    const std::string enclosed = '(' + text + ')';
    std::lock_guard lock(udunitsMutex());
    ut_system* system = unitSystem();
    UnitPtr from(ut_parse(system, enclosed.c_str(), UT_UTF8));
    if (!from) return failure((ut_get_status() == UT_UNKNOWN ? "unknown unit " : "malformed unit ") + quoted(text));
    UnitPtr to(ut_parse(system, siSymbol, UT_UTF8));
    if (!to) return failure("the unit database does not know " + quoted(siSymbol));
    ConverterPtr converter(ut_get_converter(from.get(), to.get()));
    if (!converter) return failure(quoted(text) + " does not convert to " + siSymbol);
    // The ratio of the units ignores their origins, so its scale is exact where
    // convert(1) - convert(0) would round ("degF"). Log units have no ratio.
    UnitPtr ratio(ut_divide(from.get(), to.get()));
    ConverterPtr scaleOf(ratio ? ut_get_converter(ratio.get(), ut_get_dimensionless_unit_one(system)) : nullptr);
    if (!scaleOf) return failure(quoted(text) + " is not a linear unit");
    double scale = cv_convert_double(scaleOf.get(), 1.0);
    double offset = cv_convert_double(converter.get(), 0.0);
    if (!isAffine(converter.get(), scale, offset)) return failure(quoted(text) + " is not a linear unit");
    return {scale, offset, {}};
}

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};
using UnitCache = std::unordered_map<std::string, Conversion, TextHash, std::equal_to<>>;

// Each distinct unit text goes through UDUNITS once per SI unit; refusals are kept too.
Conversion conversionTo(const char* siSymbol, std::string_view unitText) {
    static std::shared_mutex mutex;
    static std::map<std::string, UnitCache, std::less<>> bySiSymbol;
    {
        std::shared_lock lock(mutex);
        if (auto units = bySiSymbol.find(siSymbol); units != bySiSymbol.end()) {
            if (auto found = units->second.find(unitText); found != units->second.end()) return found->second;
        }
    }
    Conversion conversion = computeConversion(siSymbol, unitText);
    std::unique_lock lock(mutex);
    auto units = bySiSymbol.find(siSymbol);
    if (units == bySiSymbol.end()) units = bySiSymbol.emplace(siSymbol, UnitCache{}).first;
    if (units->second.size() < kCachedUnitsPerQuantity) units->second.try_emplace(std::string(unitText), conversion);
    return conversion;
}

}  // namespace

double jsParseQuantity(std::string_view text, const jsUnitDescriptor& unit) {
    std::string_view body = trim(text);
    if (body.empty()) refuse(text, unit, "no number");
    const char* first = body.data();
    const char* last = first + body.size();
    // from_chars refuses a leading '+', which XML numbers allow.
    if (*first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+') ++first;
    double number = 0.0;
    auto [end, error] = mfFromChars(first, last, number);
    if (error == std::errc::result_out_of_range) refuse(text, unit, "number out of range");
    if (error != std::errc()) refuse(text, unit, "malformed number");
    std::string_view unitText(end, static_cast<std::size_t>(last - end));
    // A unit may follow the number directly ("30°", "10kN"), a stray number character may not.
    if (!unitText.empty() && !isBlank(unitText.front()) &&
        (!std::isfinite(number) ||
         std::string_view("0123456789.,+-eE").find(unitText.front()) != std::string_view::npos))
        refuse(text, unit, "malformed number");
    unitText = trimLeft(unitText);
    if (unitText.empty() || unitText == unit.siSymbol) return number;

    Conversion conversion = conversionTo(unit.siSymbol, unitText);
    if (!conversion.error.empty()) refuse(text, unit, conversion.error);
    // Adding a zero offset would turn -0 into +0.
    double value = unit.scaleOnly || conversion.offset == 0.0 ? number * conversion.scale
                                                              : number * conversion.scale + conversion.offset;
    if ((std::isfinite(number) && !std::isfinite(value)) || (number != 0.0 && value == 0.0))
        refuse(text, unit, std::string("value out of range in ") + unit.siSymbol);
    return value;
}

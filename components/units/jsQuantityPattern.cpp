#include "kestrel/components/units/jsQuantityPattern.h"

#include <map>
#include <stdexcept>
#include <vector>

namespace {
// Common unit spellings of every quantity the library reads. Those that do not convert to a
// quantity are what its pattern refuses; nothing else can be told apart by a pattern.
constexpr const char* kCommonUnits[] = {
    "m",      "mm",   "cm",    "dm",     "km",     "um",   "µm",       "ft",        "in",       "inch",
    "yd",     "mi",   "N",     "kN",     "MN",     "GN",   "mN",       "daN",       "lbf",      "kip",
    "kgf",    "tf",   "Pa",    "kPa",    "MPa",    "GPa",  "hPa",      "bar",       "mbar",     "psi",
    "ksi",    "psf",  "ksf",   "N/m",    "kN/m",   "N/mm", "MN/m",     "plf",       "klf",      "lbf/ft",
    "kip/ft", "N/m2", "kN/m2", "N/mm2",  "MN/m2",  "N/m3", "kN/m3",    "N.m",       "kN.m",     "MN.m",
    "Nm",     "kNm",  "MNm",   "lbf.ft", "kip.ft", "rad",  "mrad",     "deg",       "degree",   "degrees",
    "°",      "K",    "degC",  "degF",   "°C",     "°F",   "N/m2/rad", "kN/m2/rad", "N/m2/deg", "kN/m2/deg",
    "s",      "kg",   "g",     "t",      "J",      "kJ",   "W",        "kW",        "Hz",       "%",
};

// A trie of the refused spellings, by character.
struct Node {
    std::map<std::string, Node> children;
    bool refused = false;
};

// The UTF-8 characters of a text.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        result.push_back(text.substr(i, n));
        i += n;
    }
    return result;
}

std::string escaped(const std::string& character) {
    if (character.size() == 1 && std::string_view("\\|.?*+(){}-[]^").find(character[0]) != std::string_view::npos)
        return "\\" + character;
    return character;
}

// Every text that, appended to the path of `node`, does not complete a refused spelling. A
// unit's first character may not be one of `first` (the root's extra exclusions); a refused
// spelling followed by blanks alone is still refused.
std::string complement(const Node& node, bool root, const std::string& first) {
    std::string excluded;
    for (const auto& [character, child] : node.children) excluded += escaped(character);
    std::vector<std::string> branches;
    if (!root && !node.refused) branches.emplace_back();
    const std::string extra = root ? first : node.refused ? "\\s" : "";
    if (excluded.empty() && extra.empty())
        branches.push_back("[\\s\\S]+");
    else
        branches.push_back("[^" + excluded + extra + "][\\s\\S]*");
    if (node.refused && !root) branches.push_back("\\s+[^\\s][\\s\\S]*");
    for (const auto& [character, child] : node.children)
        branches.push_back(escaped(character) + complement(child, false, first));
    std::string regex = "(";
    for (std::size_t i = 0; i < branches.size(); ++i) regex += (i ? "|" : "") + branches[i];
    return regex + ")";
}
}  // namespace

std::string jsQuantityPattern(const jsUnitDescriptor& unit) {
    Node refused;
    for (const char* spelling : kCommonUnits) {
        try {
            jsParseQuantity(std::string("1 ") + spelling, unit);
            continue;
        } catch (const std::invalid_argument&) {
        }
        Node* node = &refused;
        for (const std::string& character : characters(spelling)) node = &node->children[character];
        node->refused = true;
    }
    // The number as the parser reads it: no infinity or NaN, which documents never carry; a unit
    // may follow directly, unless it starts like more of the number.
    const std::string number = "[+\\-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][+\\-]?[0-9]+)?";
    return "\\s*" + number + "(" + complement(refused, true, "0-9.,+\\-eE\\s") + "|\\s+" +
           complement(refused, true, "\\s") + ")?\\s*";
}

std::string jsQuantityTypeName(const jsUnitDescriptor& unit) {
    std::string name;
    bool upper = false;
    for (const char* c = unit.quantityName; *c; ++c) {
        if (*c == ' ') {
            upper = true;
            continue;
        }
        name += upper && *c >= 'a' && *c <= 'z' ? char(*c - 32) : *c;
        upper = false;
    }
    return name + "Quantity";
}

#pragma once

// The hand-written pugixml reader and writer the library's reading and writing are measured
// against: what a program that knows only pugixml and the unit cache would do with a document.
// Numbers go through the same fast exact parser as the library's, so that the ratios measure the
// bindings, not the number parser.

#include <pugixml.hpp>

#include <charconv>
#include <cstddef>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kestrel/components/framework/mfFromChars.h"
#include "kestrel/components/units/jsQuantity.h"

namespace baseline {

// What a read produced, so that nothing can be optimised away.
struct Tally {
    std::size_t elements = 0;
    std::size_t attributes = 0;
    std::size_t texts = 0;
    double sum = 0.0;
};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>{}(text); }
};

// Scale of a unit text to its SI unit, found once per text through the units parser (trying
// each quantity in turn); later texts are one hash lookup.
class UnitScales {
public:
    double scale(std::string_view unit) {
        if (auto found = m_scales.find(unit); found != m_scales.end()) return found->second;
        double scale = 0.0;
        const std::string one = "1 " + std::string(unit);
        const jsUnitDescriptor* quantities[] = {&jsLength::descriptor(),
                                                &jsPressure::descriptor(),
                                                &jsForce::descriptor(),
                                                &jsMomentOfForce::descriptor(),
                                                &jsForcePerUnitLength::descriptor(),
                                                &jsForcePerUnitArea::descriptor(),
                                                &jsForcePerUnitVolume::descriptor(),
                                                &jsForcePerUnitAreaPerAngle::descriptor(),
                                                &jsAngle::descriptor(),
                                                &jsTemperatureDifference::descriptor()};
        bool found = false;
        for (const jsUnitDescriptor* d : quantities)
            if (unit == d->siSymbol) found = true, scale = 1.0;
        for (std::size_t i = 0; i < std::size(quantities) && !found; ++i) {
            try {
                scale = jsParseQuantity(one, *quantities[i]);
                found = true;
            } catch (const std::invalid_argument&) {
            }
        }
        m_scales.emplace(std::string(unit), scale);
        return scale;
    }

private:
    std::unordered_map<std::string, double, TextHash, std::equal_to<>> m_scales;
};

inline bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A number with an optional unit ("12.5 kN/m2"); false for a text that is no number.
inline bool convert(std::string_view text, UnitScales& units, double& value) {
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+') ++first;
    auto [end, error] = mfFromChars(first, last, value);
    if (error != std::errc()) return false;
    std::string_view unit(end, std::size_t(last - end));
    while (!unit.empty() && blank(unit.front())) unit.remove_prefix(1);
    if (!unit.empty()) value *= units.scale(unit);
    return true;
}

// Visits every element, converts every attribute that holds a number (with its unit) and
// touches every text.
inline void visit(pugi::xml_node element, UnitScales& units, Tally& tally) {
    ++tally.elements;
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        ++tally.attributes;
        double value = 0.0;
        if (convert(a.value(), units, value))
            tally.sum += value;
        else
            tally.texts += std::string_view(a.value()).size();
    }
    for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element)
            visit(c, units, tally);
        else if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            tally.texts += std::string_view(c.value()).size();
    }
}

inline Tally read(pugi::xml_node root) {
    UnitScales units;
    Tally tally;
    visit(root, units, tally);
    return tally;
}

// A document as a hand-written writer holds it before writing: element names, attribute names,
// numbers with the SI symbol they are written with, and texts.
struct Item {
    enum Kind { open, close, number, text, cdata } kind;
    std::string name;
    double value = 0.0;
    std::string unit;  // for a number: the symbol after it, empty for a plain number
};
using Script = std::vector<Item>;

inline void record(pugi::xml_node element, UnitScales& units, Script& script) {
    script.push_back({Item::open, element.name(), 0.0, {}});
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        std::string_view text = a.value();
        double value = 0.0;
        if (convert(text, units, value)) {
            std::size_t space = text.find(' ');
            script.push_back({Item::number, a.name(), value,
                              space == std::string_view::npos ? std::string() : std::string(text.substr(space + 1))});
        } else {
            script.push_back({Item::text, a.name(), 0.0, std::string(text)});
        }
    }
    for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element) record(c, units, script);
        if (c.type() == pugi::node_cdata || c.type() == pugi::node_pcdata)
            script.push_back({Item::cdata, {}, 0.0, c.value()});
    }
    script.push_back({Item::close, {}, 0.0, {}});
}

// Builds the document from the script, numbers written as the shortest text that reads back,
// and saves it as the library does (two-blank indent, UTF-8 declaration).
inline std::string write(const Script& script) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node current = doc;
    char buffer[64];
    for (const Item& item : script) {
        switch (item.kind) {
            case Item::open:
                current = current.append_child(item.name.c_str());
                break;
            case Item::close:
                current = current.parent();
                break;
            case Item::number: {
                char* end = std::to_chars(buffer, buffer + 32, item.value).ptr;
                if (!item.unit.empty()) {
                    *end++ = ' ';
                    end = std::copy(item.unit.begin(), item.unit.end(), end);
                }
                *end = '\0';
                current.append_attribute(item.name.c_str()).set_value(buffer);
                break;
            }
            case Item::text:
                current.append_attribute(item.name.c_str()).set_value(item.unit.c_str());
                break;
            case Item::cdata:
                current.append_child(pugi::node_cdata).set_value(item.unit.c_str());
                break;
        }
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

}  // namespace baseline

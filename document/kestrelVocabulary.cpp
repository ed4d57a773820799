#include "kestrel/document/kestrelVocabulary.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

#include "kestrel/document/kestrelLoads.h"

namespace kestrel {
namespace {
// What each name of the vocabulary means; one entry per name, wherever it stands.
const std::map<std::string, std::string>& elementMeanings() {
    static const std::map<std::string, std::string> meanings{
        {"loads", "The document: the loads, in any number."},
        {"load", "One load: where it acts (footprint), how strong it is (intensity) and its local system."},
        {"local_system",
         "A local coordinate system: origin and two axes (the third is their cross product); in "
         "footprint_box, the box's own system."},
        {"origin", "Origin of the local system, a position."},
        {"x_axis", "Direction of the local x axis, plain numbers (normalised on reading)."},
        {"y_axis", "Direction of the local y axis, plain numbers; must not be parallel to x_axis."},
        {"footprint", "Where the load acts: exactly one footprint element."},
        {"footprint_point", "A footprint at one point."},
        {"footprint_line", "A footprint along a straight line."},
        {"footprint_polygon",
         "A plane polygonal footprint: at least three corners apart by the length tolerance "
         "(1e-6 m), not all on one line."},
        {"footprint_box", "A box-shaped footprint, given by two opposite corners in its local system."},
        {"point", "A position: a point footprint's point, or one polygon corner (in order)."},
        {"points", "The polygon's corners, one point each, in order."},
        {"line", "The line of a line footprint: two position elements, end 1 and end 2, in either order."},
        {"position",
         "A position (lengths); in a line, one end; in a three-point function, where the "
         "intensity beside it applies."},
        {"lower_corner", "The box corner with the smallest coordinates in the box's system."},
        {"upper_corner", "The box corner with the largest coordinates in the box's system."},
        {"local_system_origin", "The global position of the box system's origin."},
        {"intensity",
         "Under load: how strong the load is, exactly one intensity function element. Inside a "
         "function: an intensity value (a quantity); in linear functions along a line, one per "
         "end."},
        {"pressure2d_constant", "Pressure on a surface, the same everywhere."},
        {"component2d_constant", "Force per area (three components) on a surface, the same everywhere."},
        {"traction2d_constant", "Traction (a force per area along direction) on a surface, the same everywhere."},
        {"component0d_constant", "A force and a moment at a point."},
        {"displacement_constant", "An imposed translation and rotation."},
        {"pressure2d_3point_varying",
         "Pressure varying linearly in the plane through three positions with their "
         "values; extrapolated beyond them."},
        {"component2d_3point_varying", "Force per area varying linearly through three positions with their values."},
        {"traction2d_3point_varying", "Traction varying linearly through three positions with their values."},
        {"intensity1", "First of three positions with their intensity."},
        {"intensity2", "Second of three positions with their intensity."},
        {"intensity3", "Third of three positions with their intensity; not on the line through the other two."},
        {"pressure2d_linear_function",
         "Pressure k1*c1 + k2*c2 + k3*c3 + k4 of the position coordinates c (x, y, z; "
         "or r, theta, z in cylindrical coordinates)."},
        {"traction2d_linear_function", "Traction k1*c1 + k2*c2 + k3*c3 + k4 of the position coordinates."},
        {"k1",
         "Factor of the first position coordinate; its unit says whether that coordinate is a length or an "
         "angle."},
        {"k2", "Factor of the second position coordinate."},
        {"k3", "Factor of the third position coordinate."},
        {"k4", "The constant term, a force per area."},
        {"component1d_linear",
         "Force per length varying linearly along a line footprint, from end 1 to end 2; "
         "extended beyond the ends."},
        {"temperature1d_linear",
         "Temperature difference varying linearly along a line footprint, from end 1 to "
         "end 2."},
        {"pressure2d_javascript", "Pressure computed by a script: function intensity(x, y, z) returns pascals."},
        {"component2d_javascript",
         "Force per area computed by a script: intensity(x, y, z) returns [fx, fy, fz] "
         "in N/m2."},
        {"traction2d_javascript", "Traction computed by a script: intensity(x, y, z) returns N/m2."},
        {"component1d_javascript",
         "Force per length computed by a script: intensity(t), t from 0 at the line's "
         "start to 1 at its end, returns [fx, fy, fz] in N/m."},
        {"temperature1d_javascript", "Temperature difference computed by a script: intensity(t) returns kelvin."},
        {"function", "The script text in Base64."},
        {"pressure2d_grid",
         "Pressure given at the nodes of a rectilinear grid, interpolated trilinearly between "
         "them; the outermost cells extend linearly."},
        {"grid", "The grid's axes: x_values, y_values and z_values."},
        {"x_values", "The grid's x coordinates, one x_value each, ascending, apart by more than 1e-6 m."},
        {"y_values", "The grid's y coordinates, one y_value each."},
        {"z_values", "The grid's z coordinates, one z_value each."},
        {"x_value", "One grid coordinate along x."},
        {"y_value", "One grid coordinate along y."},
        {"z_value", "One grid coordinate along z."},
        {"pressure_points", "Pressures at grid nodes; an unlisted node holds zero."},
        {"pressure_point",
         "The pressure at one grid node, at its position; a point on no node is reported and "
         "left out."},
        {"limit_function", "How the pressure is clipped: exactly one limit function element."},
        {"limit_function_liquid_pressure", "A liquid presses, never pulls: negative pressures become zero."},
        {"limit_function_range", "Pressures are kept within lower_limit and upper_limit, as range_type says."},
        {"lower_limit", "The lowest pressure kept."},
        {"upper_limit", "The highest pressure kept."},
        {"direction", "Direction of a traction, plain numbers."},
        {"force", "The force part: fx, fy, fz."},
        {"moment", "The moment part: mx, my, mz."},
        {"translation", "The imposed translation: dx, dy, dz."},
        {"rotation", "The imposed rotation: rx, ry, rz."},
    };
    return meanings;
}

const std::map<std::string, std::string>& attributeMeanings() {
    static const std::map<std::string, std::string> meanings{
        {"name", "The load's name."},
        {"coordinates",
         "How the load's local positions are measured: cartesian (x, y, z) or cylindrical (r, "
         "theta, z about the local z axis); cartesian when absent."},
        {"intensity_system", "The system the intensity's components are given in; local when absent."},
        {"position_system", "The system the function's positions are given in; local when absent."},
        {"x", "x coordinate: a length in positions, a plain number in axes and directions."},
        {"y", "y coordinate: a length in positions, a plain number in axes and directions."},
        {"z", "z coordinate: a length in positions, a plain number in axes and directions."},
        {"end", "Which end of the line: 1 (start) or 2 (end)."},
        {"pressure", "A pressure, positive pressing onto the surface."},
        {"traction", "A traction, a force per area along the direction."},
        {"temperature", "A temperature difference from the unloaded state: 20 degC reads as 20 K."},
        {"fx", "Force component along x (per area or per length where the element says so)."},
        {"fy", "Force component along y."},
        {"fz", "Force component along z."},
        {"mx", "Moment component about x."},
        {"my", "Moment component about y."},
        {"mz", "Moment component about z."},
        {"dx", "Translation along x."},
        {"dy", "Translation along y."},
        {"dz", "Translation along z."},
        {"rx", "Rotation about x."},
        {"ry", "Rotation about y."},
        {"rz", "Rotation about z."},
        {"encoding", "How the script text is encoded: base64."},
        {"refinement", "Edge length of the mesh the script is sampled on."},
        {"range_type",
         "Which limits of the range are kept themselves (inclusive) or only approached "
         "(exclusive), and which apply."},
        {"unit",
         "What the position coordinate is: length, angle or unknown; the value is then a force per area "
         "per length, per angle, or a plain number."},
        {"value",
         "In x_value, y_value, z_value: a length. In k1 to k4: the factor, in the unit kind that unit "
         "names (k4: a force per area)."},
    };
    return meanings;
}

const std::string kXs = "xs:";

// "forcePerUnitAreaQuantity" -> "force per unit area".
std::string unitKind(const std::string& type) {
    if (type == "xs:string") return "text";
    if (type == "xs:int" || type == "xs:integer") return "integer";
    if (type == "finiteDouble" || type == "xs:double") return "number";
    const std::string suffix = "Quantity";
    if (type.size() <= suffix.size() || type.compare(type.size() - suffix.size(), suffix.size(), suffix) != 0)
        return type;
    std::string words;
    for (char c : type.substr(0, type.size() - suffix.size())) {
        if (std::isupper(static_cast<unsigned char>(c))) {
            words += ' ';
            words += char(std::tolower(static_cast<unsigned char>(c)));
        } else {
            words += c;
        }
    }
    return words;
}

// The names of the elements a node stands in: its nearest named xs:element, else the elements
// whose type is the named complex type it belongs to.
std::set<std::string> placesOf(pugi::xml_node node, const std::map<std::string, std::set<std::string>>& typeUsers) {
    for (pugi::xml_node up = node.parent(); up; up = up.parent()) {
        if (std::string(up.name()) == "xs:element" && up.attribute("name")) return {up.attribute("name").value()};
        if (std::string(up.name()) == "xs:complexType" && up.attribute("name")) {
            auto found = typeUsers.find(up.attribute("name").value());
            return found == typeUsers.end() ? std::set<std::string>{} : found->second;
        }
    }
    return {};
}

struct Entry {
    std::set<std::string> places;
    std::set<std::string> kinds;
    std::set<std::string> values;
};

// Walks every xs:element and xs:attribute with a name.
template <class Visit>
void forEachName(pugi::xml_node node, Visit&& visit) {
    for (pugi::xml_node child : node.children()) {
        const std::string tag = child.name();
        if ((tag == "xs:element" || tag == "xs:attribute") && child.attribute("name"))
            visit(child, tag == "xs:element");
        forEachName(child, visit);
    }
}

const std::string* meaningOf(const std::string& name, bool element) {
    const auto& table = element ? elementMeanings() : attributeMeanings();
    auto found = table.find(name);
    return found == table.end() ? nullptr : &found->second;
}

std::string joined(const std::set<std::string>& items, const char* quote = "`") {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + (quote + item + quote);
    return text;
}
}  // namespace

std::string documentedSchema(const std::string& schema) {
    pugi::xml_document dom;
    if (!dom.load_string(schema.c_str())) return schema;
    forEachName(dom.document_element(), [](pugi::xml_node node, bool element) {
        const std::string* meaning = meaningOf(node.attribute("name").value(), element);
        if (!meaning) return;
        pugi::xml_node annotation = node.prepend_child("xs:annotation");
        annotation.append_child("xs:documentation").text().set(meaning->c_str());
    });
    std::ostringstream out;
    dom.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

std::vector<std::string> undocumentedVocabulary() {
    pugi::xml_document dom;
    dom.load_string(loadsSchema().c_str());
    std::vector<std::string> missing;
    forEachName(dom.document_element(), [&](pugi::xml_node node, bool element) {
        const std::string name = node.attribute("name").value();
        const std::string entry = (element ? "element " : "attribute ") + name;
        if (!meaningOf(name, element) && std::find(missing.begin(), missing.end(), entry) == missing.end())
            missing.push_back(entry);
    });
    return missing;
}

std::string vocabularyReference() {
    pugi::xml_document dom;
    dom.load_string(loadsSchema().c_str());
    std::map<std::string, std::set<std::string>> typeUsers;
    forEachName(dom.document_element(), [&](pugi::xml_node node, bool) {
        if (node.attribute("type")) typeUsers[node.attribute("type").value()].insert(node.attribute("name").value());
    });
    std::map<std::string, Entry> elements;
    std::map<std::string, Entry> attributes;
    forEachName(dom.document_element(), [&](pugi::xml_node node, bool element) {
        Entry& entry = (element ? elements : attributes)[node.attribute("name").value()];
        const std::set<std::string> places = placesOf(node, typeUsers);
        entry.places.insert(places.begin(), places.end());
        if (element) return;
        if (node.attribute("type")) entry.kinds.insert(unitKind(node.attribute("type").value()));
        for (pugi::xpath_node value : node.select_nodes(".//xs:enumeration"))
            entry.values.insert(value.node().attribute("value").value());
    });
    std::ostringstream out;
    out << "# Vocabulary of load documents\n\n"
           "Every element and attribute of the documents that `kestrel::readLoads` reads, once, with where it\n"
           "stands. Generated from the schema (`kestrel schema`, whose `xs:documentation` holds the same\n"
           "meanings) by `kestrel_vocabulary > docs/vocabulary.md`; a test keeps the two in step.\n\n"
           "Quantities are a number and an optional unit (`300 mm`, `2.5 MPa`, `30 deg`): a bare number is\n"
           "the SI unit, any unit that converts to the unit kind is accepted, and values are written in SI.\n\n"
           "## Elements\n\n| element | inside | meaning |\n|---|---|---|\n";
    for (const auto& [name, entry] : elements) {
        const std::string* meaning = meaningOf(name, true);
        out << "| `" << name << "` | " << joined(entry.places) << " | " << (meaning ? *meaning : "") << " |\n";
    }
    out << "\n## Attributes\n\n| attribute | on | meaning | unit kind | allowed values |\n|---|---|---|---|---|\n";
    for (const auto& [name, entry] : attributes) {
        const std::string* meaning = meaningOf(name, false);
        out << "| `" << name << "` | " << joined(entry.places) << " | " << (meaning ? *meaning : "") << " | "
            << joined(entry.kinds, "") << " | " << (entry.values.empty() ? "" : joined(entry.values)) << " |\n";
    }
    return out.str();
}

}  // namespace kestrel

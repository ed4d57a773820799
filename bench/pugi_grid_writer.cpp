// Baseline for writing a grid: pugixml builds the grid document of bench_documents (the same
// elements, attributes and numbers) and saves it to standard output.
//
//   pugi_grid_writer N
#include <pugixml.hpp>

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {
std::string quantity(double value, const char* unit) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end) + " " + unit;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: pugi_grid_writer N\n";
        return 2;
    }
    const int n = std::atoi(argv[1]);
    pugi::xml_document dom;
    pugi::xml_node declaration = dom.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node load = dom.append_child("loads").append_child("load");
    load.append_attribute("name") = "pressure grid";
    load.append_attribute("coordinates") = "cartesian";
    pugi::xml_node points = load.append_child("footprint").append_child("footprint_polygon").append_child("points");
    for (auto [x, z] : {std::pair{0, 0}, {12, 0}, {12, 7}, {0, 7}}) {
        pugi::xml_node point = points.append_child("point");
        point.append_attribute("x") = quantity(x, "m").c_str();
        point.append_attribute("y") = "0 m";
        point.append_attribute("z") = quantity(z, "m").c_str();
    }
    pugi::xml_node grid = load.append_child("intensity").append_child("pressure2d_grid");
    grid.append_attribute("intensity_system") = "local";
    grid.append_attribute("position_system") = "local";
    const double steps[3] = {0.25, 0.5, 0.125};
    const char* names[3][2] = {{"x_values", "x_value"}, {"y_values", "y_value"}, {"z_values", "z_value"}};
    pugi::xml_node axes = grid.append_child("grid");
    for (int k = 0; k < 3; ++k) {
        pugi::xml_node axis = axes.append_child(names[k][0]);
        for (int i = 0; i < n; ++i)
            axis.append_child(names[k][1]).append_attribute("value") = quantity(i * steps[k], "m").c_str();
    }
    pugi::xml_node pressures = grid.append_child("pressure_points");
    for (int ix = 0; ix < n; ++ix)
        for (int iy = 0; iy < n; ++iy)
            for (int iz = 0; iz < n; ++iz) {
                pugi::xml_node point = pressures.append_child("pressure_point");
                point.append_attribute("x") = quantity(ix * 0.25, "m").c_str();
                point.append_attribute("y") = quantity(iy * 0.5, "m").c_str();
                point.append_attribute("z") = quantity(iz * 0.125, "m").c_str();
                point.append_attribute("pressure") = quantity(1000 + ix + 0.5 * iy - 0.25 * iz, "Pa").c_str();
            }
    dom.save(std::cout, "  ", pugi::format_default, pugi::encoding_utf8);
    return 0;
}

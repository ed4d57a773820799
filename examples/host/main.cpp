// A host of Kestrel: builds a load in code, writes its document, reads it back and evaluates it.
#include <kestrel/kestrel.h>

#include <iostream>

int main() {
    using Pressure = laPressure<double>;
    // Wind on a 12 m x 7 m facade: 600 Pa at the foot rising to 1100 Pa at the top.
    kestrel::Load wind;
    wind.name = "wind on facade";
    wind.footprint = kestrel::make<laFootprintPolygon>(List<pos3d>{{0, 0, 0}, {12, 0, 0}, {12, 0, 7}, {0, 0, 7}});
    auto pressure = kestrel::make<laIntensityThreePointVarying<Pressure>>(
        pos3d(0, 0, 0), Pressure(600), pos3d(12, 0, 0), Pressure(600), pos3d(0, 0, 7), Pressure(1100));
    pressure->positionSystem = lcLoad::global;
    wind.intensity = pressure;

    const kestrel::WriteResult written = kestrel::writeLoads({wind});
    if (!written.ok()) return 1;
    std::cout << written.text;

    const kestrel::ReadResult read = kestrel::readLoads(written.text);
    for (const kestrel::Diagnostic& e : read.errors)
        std::cerr << "<text>:" << e.line << ':' << e.column << ": error: " << e.path << ": " << e.message << '\n';
    if (!read.ok() || read.loads.size() != 1 || !(read.loads.front() == wind)) return 1;

    const kestrel::Evaluation at = kestrel::evaluate(read.loads.front(), pos3d(4, 0, 3.5));
    if (!at.has_value()) return 1;
    std::cout << "kestrel " << kestrel::version() << ": \"" << wind.name << "\" at (4, 0, 3.5): " << at.value[0]
              << " Pa\n";
    return 0;
}

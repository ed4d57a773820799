#pragma once

#include "kestrel/components/geometry/line3d.h"
#include "kestrel/components/geometry/locsys3d.h"
#include "kestrel/components/loadcase/lcFootprint.h"

// A load acting along a straight segment; positions along it have a parameter, 0 at the first
// end and 1 at the second.
class KESTREL_API laFootprintLine : public lcFootprint_1d {
public:
    explicit laFootprintLine(const line3d& line) : m_line(line) {}

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laFootprintLine, lcFootprint_1d>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laFootprintLine, lcFootprint_1d>(type);
    }
    std::string description() const override;
    void getPoints(List<pos3d>& points) const override;
    lcFootprint* clone() const override;
    bool within(const pos3d& position) const override;

    // The parameter of a position on the line (beyond the ends too). False when the position
    // is farther than the length tolerance from the line, or the line has no length.
    bool parameter(const pos3d& position, double& t) const override;
    // The position at a parameter; false when the line has no length.
    bool position(const double& t, pos3d& position) const override;
    virtual double length() const { return m_line.length(); }
    virtual const line3d& geometry() const { return m_line; }
    // A system at parameter t with its x axis along the line; false when the line has no length.
    virtual bool orientation(const double& t, locsys3d& system) const;
    // The part between two parameters, allocated like clone(); null for a line without length.
    virtual laFootprintLine* footprintSubset(const double& from, const double& to) const;

private:
    line3d m_line;
};

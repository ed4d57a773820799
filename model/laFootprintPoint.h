#pragma once

#include "kestrel/components/loadcase/lcFootprint.h"

// A load acting at one position.
class KESTREL_API laFootprintPoint : public lcFootprint_0d {
public:
    explicit laFootprintPoint(const pos3d& position) : m_position(position) {}

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laFootprintPoint, lcFootprint_0d>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laFootprintPoint, lcFootprint_0d>(type);
    }
    std::string description() const override;
    void getPoints(List<pos3d>& points) const override;
    lcFootprint* clone() const override;
    bool within(const pos3d& position) const override;

    virtual const pos3d& position() const { return m_position; }
    virtual pos3d geometry() const { return m_position; }

private:
    pos3d m_position;
};

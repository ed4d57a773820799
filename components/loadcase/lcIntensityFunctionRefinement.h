#pragma once

// What a surface intensity function that is evaluated point by point adds: the edge length to
// which the triangles of its surface are refined before it is evaluated on them. Owners delete
// through this base too, so its destructor is virtual.
class lcIntensityFunctionRefinement {
public:
    explicit lcIntensityFunctionRefinement(double refinement = 0.0) : m_refinement(refinement) {}
    lcIntensityFunctionRefinement(const lcIntensityFunctionRefinement&) = default;
    lcIntensityFunctionRefinement& operator=(const lcIntensityFunctionRefinement&) = default;
    virtual ~lcIntensityFunctionRefinement() = default;

    // A length in metres.
    const double& refinement() const { return m_refinement; }
    void setRefinement(double refinement) { m_refinement = refinement; }

private:
    double m_refinement;
};

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kestrel/components/loadcase/lcLoad.h"
#include "kestrel/document/kestrelLoad.h"
#include "tools/view/viewQuantity.h"

template <class T>
class laIntensityFunction;

// What a load does at one position.
struct viewEvaluation {
    // The function's components (real parts); empty where it gives no value.
    std::optional<std::vector<double>> value;
    // The same after the pressure's limit function, equal to `value` where there is none; empty
    // where there is no value or the limit function leaves none.
    std::optional<std::vector<double>> limited;
    // Whether the position lies on the footprint; empty for a load without one.
    std::optional<bool> onFootprint;
    // Why a script function gave no value (its error, naming where in the script); empty otherwise.
    std::string error;
};

// Evaluates one load at many positions. The load must outlive the evaluator and have an
// intensity function.
class viewEvaluator {
public:
    explicit viewEvaluator(const hostLoad& load);

    // The load at a global position, with values in `system`. The model's value is kept as it
    // is; the limit function is applied here.
    viewEvaluation at(const pos3d& position, lcLoad::lcCoordinateSystem system = lcLoad::global) const;
    // The same value (limited or not) in global components into out[0, width), NaN where there is
    // none, without the footprint test and the optional vectors of at(): for many positions at
    // once. False where there is no value; `error` then holds a script's reason, if asked.
    bool valuesAt(const pos3d& position, bool limited, double* out, std::size_t width,
                  std::string* error = nullptr) const;
    // Empty for a value type no element knows.
    const std::optional<viewQuantity>& quantity() const { return m_quantity; }
    bool hasLimit() const;
    // What the limit function does, in words with units; empty without one.
    std::string limitText() const;

private:
    const hostLoad& m_load;
    lcLoad m_model;
    const laIntensityFunction<laPressure<double>>* m_pressure;
    std::optional<viewQuantity> m_quantity;
};

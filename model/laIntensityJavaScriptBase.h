#pragma once

#include <array>
#include <complex>
#include <concepts>
#include <span>
#include <string>
#include <vector>

#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laIntensityFunction.h"
#include "kestrel/model/laScriptFunction.h"
#include "kestrel/model/laTemperature.h"

// What the script functions of every quantity share: the script function they own, evaluated
// through it. Surface quantities call `intensity(x, y, z)` with the position in metres in the
// function's position system; line quantities call `intensity(t)` with the parameter along the
// load's line footprint (0 at its start, 1 at its end). The script answers in SI units, a number
// for one component and an array for more. Derived is the concrete script function, which clone
// copies.
template <class T, class Derived>
class laIntensityJavaScriptBase : public laIntensityFunction<T>, public laScriptFunction {
public:
    static constexpr bool onLine = std::same_as<T, laForcePerLength<double>> || std::same_as<T, laTemperature<double>>;

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityJavaScriptBase, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityJavaScriptBase, laIntensityFunction<T>>(type);
    }

    jmfFunctionObject* function() const override { return m_function; }
    const std::string& evaluationError() const override { return m_error; }
    // The script's source text; empty without a function.
    std::string script() const { return m_function ? m_function->toString() : std::string(); }

    // Empty where the script gives no value (evaluationError() then says why) and, for line
    // quantities, without a line footprint or off its line.
    lcIntensity getIntensity(const lcLoad* load, const pos3d& position, lcLoad::lcCoordinateSystem system,
                             const std::complex<double>& factor) const override {
        m_error.clear();
        if (!m_function) {
            m_error = "the function has no script";
            return {};
        }
        std::array<double, 3> arguments{};
        std::span<const double> given;
        if constexpr (onLine) {
            const lcFootprint_1d* line = load ? load->footprint1d() : nullptr;
            if (!line || !line->parameter(position, arguments[0])) return {};
            given = std::span<const double>(arguments.data(), 1);
        } else {
            const pos3d own = this->toPositionSystem(load, position);
            arguments = {own.x, own.y, own.z};
            given = arguments;
        }
        T value;
        if (!m_function->call(given, value.size(), m_values)) {
            m_error = m_function->error();
            return {};
        }
        for (std::size_t i = 0; i < m_values.size(); ++i) value.set_complex(i, m_values[i]);
        return this->scaled(this->transformIntensity(load, position, value, system), factor);
    }
    bool hasConstantIntensity() const override { return false; }
    using laIntensityFunction<T>::description;
    // The label and what the script is: its first line that is not blank, shortened.
    std::string description(const lcLoad*) const override {
        return "Script " + laIntensityLabel<T>() + "\n" + summary(script());
    }
    lcIntensity getConstantIntensity(const lcLoad*, lcLoad::lcCoordinateSystem,
                                     const std::complex<double>&) const override {
        return {};
    }
    lcIntensityFunction* clone(lcBasicLoadCase*) const override {
        Derived* copy = mfCreate<Derived>(static_cast<const Derived&>(*this));
        // A copy without memory for its own function object would silently have lost the script.
        if (copy && m_function && !copy->function()) {
            delete copy;
            return nullptr;
        }
        return copy;
    }

protected:
    // Takes `function` over; it may be null.
    explicit laIntensityJavaScriptBase(jmfFunctionObject* function) : m_function(function) {}
    // Each function deletes its own function object, so a copy gets a copy of it (none when the
    // storage strategy has no memory for one).
    laIntensityJavaScriptBase(const laIntensityJavaScriptBase& other)
        : laIntensityFunction<T>(other),
          laScriptFunction(other),
          m_function(other.m_function ? mfCreate<jmfFunctionObject>(*other.m_function) : nullptr) {}
    laIntensityJavaScriptBase& operator=(const laIntensityJavaScriptBase&) = delete;
    ~laIntensityJavaScriptBase() override { delete m_function; }

private:
    // The first line that is not blank, trimmed and cut to a length a listing can show.
    static std::string summary(const std::string& text) {
        constexpr std::size_t kLongest = 60;
        std::size_t start = 0;
        std::string line;
        while (start <= text.size() && line.empty()) {
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string::npos) end = text.size();
            line = text.substr(start, end - start);
            const std::size_t first = line.find_first_not_of(" \t");
            line = first == std::string::npos ? std::string()
                                              : line.substr(first, line.find_last_not_of(" \t") - first + 1);
            start = end + 1;
        }
        if (line.size() <= kLongest) return line;
        std::size_t cut = kLongest - 3;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xc0) == 0x80) --cut;  // not inside a character
        return line.substr(0, cut) + "...";
    }

    jmfFunctionObject* m_function;
    // What the last evaluation left behind: its error, and its values to reuse.
    mutable std::string m_error;
    mutable std::vector<double> m_values;
};

#pragma once

#include <complex>
#include <string>

#include "components/framework/jmfFunctionObject.h"
#include "components/framework/mfProgram.h"
#include "model/laIntensityFunction.h"

// What the script functions of every quantity share: the script function they own. Derived is
// the concrete script function, which clone copies.
//
// This library hosts no script engine, so nothing runs the script: the function gives no value
// anywhere (the empty intensity) and only holds its script for exchange.
template <class T, class Derived>
class laIntensityJavaScriptBase : public laIntensityFunction<T> {
public:
    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityJavaScriptBase, laIntensityFunction<T>>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return mfOffersStep<laIntensityJavaScriptBase, laIntensityFunction<T>>(type);
    }

    // Null when the function was given none.
    jmfFunctionObject* function() const { return m_function; }
    // The script's source text; empty without a function.
    std::string script() const { return m_function ? m_function->toString() : std::string(); }

    lcIntensity getIntensity(const lcLoad*, const pos3d&, lcLoad::lcCoordinateSystem,
                             const std::complex<double>&) const override {
        return {};
    }
    bool hasConstantIntensity() const override { return false; }
    using laIntensityFunction<T>::description;
    std::string description(const lcLoad*) const override {
        return "Script " + laIntensityLabel<T>() + "\n" + script();
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
          m_function(other.m_function ? mfCreate<jmfFunctionObject>(*other.m_function) : nullptr) {}
    laIntensityJavaScriptBase& operator=(const laIntensityJavaScriptBase&) = delete;
    ~laIntensityJavaScriptBase() override { delete m_function; }

private:
    jmfFunctionObject* m_function;
};

#pragma once

#include <concepts>

#include "kestrel/components/framework/kestrelApi.h"
#include "kestrel/components/loadcase/lcIntensityFunctionRefinement.h"
#include "kestrel/model/laForcePerArea.h"
#include "kestrel/model/laForcePerLength.h"
#include "kestrel/model/laIntensityJavaScriptBase.h"
#include "kestrel/model/laPressure.h"
#include "kestrel/model/laQuantityTraits.h"
#include "kestrel/model/laTemperature.h"
#include "kestrel/model/laTraction.h"

// A value computed by a user's script at each position: line loads and temperatures. Surface
// quantities (laSurfaceQuantity) also keep a refinement, below.
template <class T>
class laIntensityJavaScript : public laIntensityJavaScriptBase<T, laIntensityJavaScript<T>> {
    static_assert(laLineQuantity<T>,
                  "Kestrel: script functions exist for pressure, force per area, traction, force per length and "
                  "temperature");
    using Base = laIntensityJavaScriptBase<T, laIntensityJavaScript<T>>;

public:
    // Takes `function` over.
    explicit laIntensityJavaScript(jmfFunctionObject* function) : Base(function) {}
    laIntensityJavaScript(const laIntensityJavaScript&) = default;
    ~laIntensityJavaScript() override { this->handOverToFactory(); }

    void* getInterface(const std::type_info& type) override {
        return mfInterfaceStep<laIntensityJavaScript, Base>(this, type);
    }
    static bool offersInterface(const std::type_info& type) { return mfOffersStep<laIntensityJavaScript, Base>(type); }
};

// The surface quantities: besides the script, the edge length their surfaces are refined to.
template <class T>
requires laSurfaceQuantity<T>
class laIntensityJavaScript<T> : public laIntensityJavaScriptBase<T, laIntensityJavaScript<T>>,
                                 public lcIntensityFunctionRefinement {
    using Base = laIntensityJavaScriptBase<T, laIntensityJavaScript<T>>;

public:
    // Takes `function` over; `refinement` is a length in metres.
    laIntensityJavaScript(jmfFunctionObject* function, double refinement)
        : Base(function), lcIntensityFunctionRefinement(refinement) {}
    laIntensityJavaScript(const laIntensityJavaScript&) = default;
    ~laIntensityJavaScript() override { this->handOverToFactory(); }

    // The refinement is a base of its own, not part of the function's chain.
    void* getInterface(const std::type_info& type) override {
        if (type == typeid(lcIntensityFunctionRefinement)) return static_cast<lcIntensityFunctionRefinement*>(this);
        return mfInterfaceStep<laIntensityJavaScript, Base>(this, type);
    }
    static bool offersInterface(const std::type_info& type) {
        return type == typeid(lcIntensityFunctionRefinement) || mfOffersStep<laIntensityJavaScript, Base>(type);
    }
};

// Compiled once, in the module (the .cpp beside this header), for every quantity this kind takes.
extern template class KESTREL_API laIntensityJavaScript<laPressure<double>>;
extern template class KESTREL_API laIntensityJavaScript<laForcePerArea<double>>;
extern template class KESTREL_API laIntensityJavaScript<laTraction<double>>;
extern template class KESTREL_API laIntensityJavaScript<laForcePerLength<double>>;
extern template class KESTREL_API laIntensityJavaScript<laTemperature<double>>;

#pragma once

#include <string>

#include "kestrel/components/framework/jmfFunctionObject.h"
#include "kestrel/components/framework/kestrelApi.h"

// What the script functions of every quantity answer besides their values, so that a caller
// can tell "no value here" from "the script failed here" without knowing the quantity.
class KESTREL_API laScriptFunction {
public:
    // Null when the function was given none.
    virtual jmfFunctionObject* function() const = 0;
    // Why the last getIntensity gave no value where the function applies (the script did not
    // compile, threw, ran out of time or memory, or returned what its quantity cannot take);
    // empty after a value, and after a position off the load's line.
    virtual const std::string& evaluationError() const = 0;

protected:
    laScriptFunction() = default;
    laScriptFunction(const laScriptFunction&) = default;
    laScriptFunction& operator=(const laScriptFunction&) = default;
    ~laScriptFunction() = default;
};

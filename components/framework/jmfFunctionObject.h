#pragma once

#include <string>

#include "components/framework/bosStrategyInterface.h"

// A user's script function as the framework keeps it: its source text. Allocated through the
// program's storage strategy, like the model objects that hold it.
class jmfFunctionObject : public bosObject {
public:
    explicit jmfFunctionObject(const std::string& text) : m_text(text) {}
    jmfFunctionObject(const jmfFunctionObject&) = default;
    jmfFunctionObject& operator=(const jmfFunctionObject&) = default;
    ~jmfFunctionObject() override = default;

    // The source text, as given.
    const std::string& toString() const { return m_text; }

private:
    std::string m_text;
};

#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <typeinfo>

#include "kestrel/components/framework/mfScriptContext.h"

// Demangled name of a type, computed once per type and kept for the process lifetime.
const std::string& mfDemangledName(const std::type_info& type);

// Text forms of values for documents and messages.
class mfTextFormatter {
public:
    // Shortest text that reads back to the same double; "INF", "-INF" and "NaN" for the rest.
    static std::string format_impl(double value, const mfScriptContext& = {});
    // The same text written into `buffer`, of at least kDoubleChars; returns its end.
    static constexpr std::size_t kDoubleChars = 32;
    static char* format_to(char* buffer, double value);
    static std::string format_impl(int value, const mfScriptContext& = {});
    static std::string format_impl(const std::string& value, const mfScriptContext& = {});
    // Stable, blank-free display name of a type that is also a valid XML name.
    static std::string format_impl(const std::type_info& type, const mfScriptContext& = {});

    // Values of other types: their own mf_format overload when they have one, else their type name.
    template <class T>
    requires(!std::is_arithmetic_v<T>) static std::string
        format_impl(const T& value, const mfScriptContext& context = {}) {
        if constexpr (requires { mf_format(value); })
            return mf_format(value);
        else
            return "<" + format_impl(typeid(T), context) + ">";
    }
};

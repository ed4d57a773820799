#pragma once

#include <string>
#include <string_view>

// What a quantity class measures: its name for messages, the SI symbol written in documents,
// and whether values convert by scale only (a temperature difference: 5 Celsius is 5 K).
struct jsUnitDescriptor {
    const char* quantityName;
    const char* siSymbol;
    bool scaleOnly;
};

// A value held in SI units. Unit text appears only when the value is formatted or parsed.
class jsQuantity {
public:
    explicit jsQuantity(double value = 0.0) : m_value(value) {}
    virtual ~jsQuantity() = default;

    operator const double&() const { return m_value; }
    double value() const { return m_value; }

    // The number in its shortest exact form, one blank, the SI symbol ("1000 Pa"). The arguments
    // are those of the platform formatter; the text always reads back to the same double.
    std::string format(int precision, int flags, int formatFlags, int unitType) const;

    virtual const jsUnitDescriptor& unit() const = 0;

protected:
    double m_value;
};

// The text of a quantity for messages and descriptions, as format gives it; lets
// mfTextFormatter::format_impl take quantities.
inline std::string mf_format(const jsQuantity& quantity) {
    return quantity.format(0, 0, 0, 0);
}

// Parses "number [unit]" into the SI value of the given quantity. A bare number means the SI
// unit. Throws std::invalid_argument naming the text and the quantity for a malformed number,
// an unknown unit, stray characters or a unit of another dimension, and std::runtime_error when
// the unit database cannot be loaded. Thread-safe.
double jsParseQuantity(std::string_view text, const jsUnitDescriptor& unit);

#define KESTREL_JS_QUANTITY(Name)                                                                   \
    class Name : public jsQuantity {                                                                \
    public:                                                                                         \
        /* unitType 0: the value is in internal (SI) units. */                                      \
        explicit Name(double value = 0.0, int unitType = 0) : jsQuantity(value) { (void)unitType; } \
        static const jsUnitDescriptor& descriptor();                                                \
        const jsUnitDescriptor& unit() const override { return descriptor(); }                      \
    };

KESTREL_JS_QUANTITY(jsPressure)
KESTREL_JS_QUANTITY(jsTemperatureDifference)
KESTREL_JS_QUANTITY(jsForcePerUnitLength)
KESTREL_JS_QUANTITY(jsForcePerUnitArea)
KESTREL_JS_QUANTITY(jsForcePerUnitVolume)
KESTREL_JS_QUANTITY(jsForcePerUnitAreaPerAngle)
KESTREL_JS_QUANTITY(jsForce)
KESTREL_JS_QUANTITY(jsMomentOfForce)
KESTREL_JS_QUANTITY(jsLength)
KESTREL_JS_QUANTITY(jsAngle)

#undef KESTREL_JS_QUANTITY

// A quantity read from its document text.
template <class U>
class jsTQuantity : public U {
public:
    explicit jsTQuantity(const std::string& text) : U(jsParseQuantity(text, U::descriptor())) {}
};

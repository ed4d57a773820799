#include "kestrel/components/framework/mfProgram.h"
#include "kestrel/elements/detail/kestrelRegisterKinds.h"
#include "kestrel/elements/xlaLimitFunctionLiquidPressure.h"
#include "kestrel/elements/xlaLimitFunctionRange.h"

// --- liquid pressure ------------------------------------------------------------------------

xlaLimitFunctionLiquidPressure::xlaLimitFunctionLiquidPressure() = default;

xlaLimitFunctionLiquidPressure::xlaLimitFunctionLiquidPressure(const xlaLimitFunctionLiquidPressure& other)
    : xlaLimitFunctionLiquidPressure() {
    *this = other;
}

xlaLimitFunctionLiquidPressure& xlaLimitFunctionLiquidPressure::operator=(const xlaLimitFunctionLiquidPressure& other) {
    xpFutureElement::operator=(other);
    return *this;
}

xlaLimitFunctionLiquidPressure::~xlaLimitFunctionLiquidPressure() = default;

bool xlaLimitFunctionLiquidPressure::export_(laLimitFunctionLiquidPressure*) {
    return true;
}

laLimitFunctionLiquidPressure* xlaLimitFunctionLiquidPressure::import() {
    return mfCreate<laLimitFunctionLiquidPressure>();
}

// --- range ----------------------------------------------------------------------------------

const std::map<std::string, laLimitFunctionRange::lcRangeType>& xlaLimitFunctionRange::rangeTypes() {
    using R = laLimitFunctionRange;
    static const std::map<std::string, R::lcRangeType> table{
        {"lower_exclusive", R::lower_exclusive},
        {"lower_inclusive", R::lower_inclusive},
        {"upper_exclusive", R::upper_exclusive},
        {"upper_inclusive", R::upper_inclusive},
        {"both_exclusive", R::both_exclusive},
        {"both_inclusive", R::both_inclusive},
        {"lower_exclusive_upper_inclusive", R::lower_exclusive_upper_inclusive},
        {"lower_inclusive_upper_exclusive", R::lower_inclusive_upper_exclusive}};
    return table;
}

xlaLimitFunctionRange::xlaLimitFunctionRange() {
    xpAttributeDeclaration<laLimitFunctionRange::lcRangeType xlaLimitFunctionRange::*> rangeType{
        true, "range_type", "", &xlaLimitFunctionRange::m_rangeType};
    xpNode* attribute = xpCreateMappingAttribute(rangeType, rangeTypes(), this);
    attribute->set_required(true);
    add(attribute);
    for (auto [name, member] : {std::pair{"lower_limit", &xlaLimitFunctionRange::m_lowerLimit},
                                std::pair{"upper_limit", &xlaLimitFunctionRange::m_upperLimit}}) {
        xpMemberDeclaration<laPressure<double> xlaLimitFunctionRange::*> limit;
        limit.name = name;
        limit.member = member;
        xpNode* node = xpCreateMemberNode(limit, this);
        node->set_required(true);
        add(node);
    }
}

xlaLimitFunctionRange::xlaLimitFunctionRange(const xlaLimitFunctionRange& other) : xlaLimitFunctionRange() {
    *this = other;
}

xlaLimitFunctionRange& xlaLimitFunctionRange::operator=(const xlaLimitFunctionRange& other) {
    xpFutureElement::operator=(other);
    m_rangeType = other.m_rangeType;
    m_lowerLimit = other.m_lowerLimit;
    m_upperLimit = other.m_upperLimit;
    return *this;
}

xlaLimitFunctionRange::~xlaLimitFunctionRange() = default;

bool xlaLimitFunctionRange::export_(laLimitFunctionRange* function) {
    m_rangeType = function->getRangeType();
    m_lowerLimit = function->getLowerLimit();
    m_upperLimit = function->getUpperLimit();
    return true;
}

laLimitFunctionRange* xlaLimitFunctionRange::import() {
    return mfCreate<laLimitFunctionRange>(m_lowerLimit, m_upperLimit, m_rangeType);
}

void kestrelRegisterLimitFunctions() {
    kestrelRegisterEach(kestrelKindsOf<kestrelBaseFamily<kestrelTypes<laLimitFunctionPressure>>>{});
}

// The bases the headers declare extern.
template class xpFutureElement<xlaLimitFunctionLiquidPressure, laLimitFunctionPressure, xpElement>;
template class xpFutureElement<xlaLimitFunctionRange, laLimitFunctionPressure, xpElement>;

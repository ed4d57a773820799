#include "kestrel/components/framework/mfProgram.h"

mfProgram& mfProgram::program() {
    static mfProgram instance;
    return instance;
}

bosStrategyInterface* mfProgram::setStrategy(bosStrategyInterface* strategy) noexcept {
    bosStrategyInterface* previous = m_strategy;
    m_strategy = strategy ? strategy : &m_default;
    return previous;
}

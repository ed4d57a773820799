#pragma once

#include "components/framework/bosStrategyInterface.h"

// The program object: holds the storage strategy through which model objects are allocated.
class mfProgram {
public:
    static mfProgram& program();

    // The strategy in force; the counting default unless a caller installed another.
    bosStrategyInterface* strategy() const noexcept { return m_strategy; }
    // Installs a strategy (null restores the default) and returns the previous one.
    bosStrategyInterface* setStrategy(bosStrategyInterface* strategy) noexcept;
    bosCountingStrategy& defaultStrategy() noexcept { return m_default; }

private:
    mfProgram() = default;
    bosCountingStrategy m_default;
    bosStrategyInterface* m_strategy = &m_default;
};

#pragma once

#include <typeinfo>
#include <utility>

#include "kestrel/components/framework/bosStrategyInterface.h"

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

// A new model object of class T from the program's storage strategy; null when the strategy has
// no memory left.
template <class T, class... Args>
T* mfCreate(Args&&... args) {
    return new (mfProgram::program().strategy(), typeid(T)) T(std::forward<Args>(args)...);
}

#pragma once

#include <atomic>
#include <cstddef>
#include <typeinfo>

// Where model objects get their memory. allocate may yield null; nothing is constructed then.
class bosStrategyInterface {
public:
    virtual ~bosStrategyInterface() = default;
    virtual void* allocate(std::size_t size, const std::type_info& type) noexcept = 0;
    virtual void release(void* block) noexcept = 0;
};

// The default strategy: the global heap, with a count of the blocks it has handed out and not
// yet taken back.
class bosCountingStrategy : public bosStrategyInterface {
public:
    void* allocate(std::size_t size, const std::type_info& type) noexcept override;
    void release(void* block) noexcept override;
    long live() const noexcept { return m_live.load(); }

private:
    std::atomic<long> m_live{0};
};

// A strategy that has no memory to give: every allocation yields null.
class bosNullStrategy : public bosStrategyInterface {
public:
    void* allocate(std::size_t, const std::type_info&) noexcept override { return nullptr; }
    void release(void*) noexcept override {}
};

// Base of every object allocated through a storage strategy. The block remembers its strategy,
// so `delete` returns it to the one that gave it.
class bosObject {
public:
    virtual ~bosObject() = default;

    // Non-throwing, so a null block makes the new-expression yield null and construct nothing.
    static void* operator new(std::size_t size, bosStrategyInterface* strategy, const std::type_info& type) noexcept;
    static void operator delete(void* object) noexcept;
    // Called only when a constructor throws after a successful allocation.
    static void operator delete(void* object, bosStrategyInterface*, const std::type_info&) noexcept;

    // Plain heap allocation would bypass the strategy: model objects always name one.
    static void* operator new(std::size_t) = delete;
};

#include "kestrel/components/framework/bosStrategyInterface.h"

#include <new>

namespace {
// Room before each object for the strategy that owns the block, keeping the object aligned.
constexpr std::size_t kHeader = alignof(std::max_align_t) > sizeof(void*) ? alignof(std::max_align_t) : sizeof(void*);
}  // namespace

void* bosCountingStrategy::allocate(std::size_t size, const std::type_info&) noexcept {
    void* block = ::operator new(size, std::nothrow);
    if (block) ++m_live;
    return block;
}

void bosCountingStrategy::release(void* block) noexcept {
    if (!block) return;
    --m_live;
    ::operator delete(block);
}

void* bosObject::operator new(std::size_t size, bosStrategyInterface* strategy, const std::type_info& type) noexcept {
    if (!strategy) return nullptr;
    auto* block = static_cast<unsigned char*>(strategy->allocate(size + kHeader, type));
    if (!block) return nullptr;
    *reinterpret_cast<bosStrategyInterface**>(block) = strategy;
    return block + kHeader;
}

void bosObject::operator delete(void* object) noexcept {
    if (!object) return;
    auto* block = static_cast<unsigned char*>(object) - kHeader;
    (*reinterpret_cast<bosStrategyInterface**>(block))->release(block);
}

void bosObject::operator delete(void* object, bosStrategyInterface*, const std::type_info&) noexcept {
    operator delete(object);
}

#include "detail/jmfEngineAllocations.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

#if defined(__linux__) && (defined(__x86_64__) || defined(__aarch64__))
#include <elf.h>
#include <link.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#define KESTREL_JMF_GUARD 1
#endif

namespace jmf_detail {

namespace {

thread_local const std::size_t* t_blockLimit = nullptr;

#ifdef KESTREL_JMF_GUARD

bool refused(std::size_t size) {
    const std::size_t* limit = t_blockLimit;
    return limit && size > *limit;
}

void* guardedMalloc(std::size_t size) {
    if (refused(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return std::malloc(size);
}

void* guardedCalloc(std::size_t count, std::size_t size) {
    if (size != 0 && count > kNoBlockLimit / size) {
        errno = ENOMEM;
        return nullptr;
    }
    if (refused(count * size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return std::calloc(count, size);
}

// A refused reallocation leaves the old block in place, as a failed one does.
void* guardedRealloc(void* block, std::size_t size) {
    if (refused(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return std::realloc(block, size);
}

void* guardedMemalign(std::size_t alignment, std::size_t size) {
    if (refused(size)) {
        errno = ENOMEM;
        return nullptr;
    }
    return memalign(alignment, size);
}

struct Entry {
    const char* name;
    void* guard;
};

const Entry kEntries[] = {
    {"malloc", reinterpret_cast<void*>(&guardedMalloc)},
    {"calloc", reinterpret_cast<void*>(&guardedCalloc)},
    {"realloc", reinterpret_cast<void*>(&guardedRealloc)},
    {"memalign", reinterpret_cast<void*>(&guardedMemalign)},
};

#if defined(__x86_64__)
constexpr std::uint32_t kGlobalData = R_X86_64_GLOB_DAT, kJumpSlot = R_X86_64_JUMP_SLOT;
#else
constexpr std::uint32_t kGlobalData = R_AARCH64_GLOB_DAT, kJumpSlot = R_AARCH64_JUMP_SLOT;
#endif

// Sets the library's import slots of the allocator to the guards. The loader has resolved them all
// (global data at load; jump slots either already bound or bound through their stub, which a slot
// set here no longer calls). Slots in the read-only-after-relocation range go back to read-only.
int patch(dl_phdr_info* info, std::size_t, void* found) {
    if (!info->dlpi_name || !std::strstr(info->dlpi_name, "libmozjs-102")) return 0;
    const ElfW(Addr) base = info->dlpi_addr;
    const ElfW(Dyn)* dynamic = nullptr;
    ElfW(Addr) relroStart = 0, relroEnd = 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type == PT_DYNAMIC) dynamic = reinterpret_cast<const ElfW(Dyn)*>(base + header.p_vaddr);
        if (header.p_type == PT_GNU_RELRO) {
            relroStart = base + header.p_vaddr;
            relroEnd = relroStart + header.p_memsz;
        }
    }
    if (!dynamic) return 0;
    // The loader rebases these addresses in place on most platforms; an unrebased one is an offset.
    auto address = [base](ElfW(Addr) value) { return value < base ? value + base : value; };
    const ElfW(Sym)* symbols = nullptr;
    const char* names = nullptr;
    const ElfW(Rela) * tables[2] = {nullptr, nullptr};
    std::size_t sizes[2] = {0, 0};
    for (const ElfW(Dyn)* d = dynamic; d->d_tag != DT_NULL; ++d) {
        switch (d->d_tag) {
            case DT_SYMTAB:
                symbols = reinterpret_cast<const ElfW(Sym)*>(address(d->d_un.d_ptr));
                break;
            case DT_STRTAB:
                names = reinterpret_cast<const char*>(address(d->d_un.d_ptr));
                break;
            case DT_RELA:
                tables[0] = reinterpret_cast<const ElfW(Rela)*>(address(d->d_un.d_ptr));
                break;
            case DT_RELASZ:
                sizes[0] = d->d_un.d_val;
                break;
            case DT_JMPREL:
                tables[1] = reinterpret_cast<const ElfW(Rela)*>(address(d->d_un.d_ptr));
                break;
            case DT_PLTRELSZ:
                sizes[1] = d->d_un.d_val;
                break;
            default:
                break;
        }
    }
    if (!symbols || !names) return 0;
    const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
    int patched = 0;
    for (int t = 0; t < 2; ++t) {
        if (!tables[t]) continue;
        for (std::size_t i = 0; i < sizes[t] / sizeof(ElfW(Rela)); ++i) {
            const ElfW(Rela)& r = tables[t][i];
            const std::uint32_t type = ELF64_R_TYPE(r.r_info);
            if (type != kGlobalData && type != kJumpSlot) continue;
            const char* name = names + symbols[ELF64_R_SYM(r.r_info)].st_name;
            for (const Entry& entry : kEntries) {
                if (std::strcmp(name, entry.name) != 0) continue;
                const ElfW(Addr) slot = base + r.r_offset;
                void* start = reinterpret_cast<void*>(slot & ~(page - 1));
                if (mprotect(start, page, PROT_READ | PROT_WRITE) != 0) continue;
                *reinterpret_cast<void**>(slot) = entry.guard;
                if (slot >= relroStart && slot < relroEnd) mprotect(start, page, PROT_READ);
                ++patched;
            }
        }
    }
    *static_cast<int*>(found) = patched;
    return 1;
}

#endif

}  // namespace

bool guardEngineAllocations() {
#ifdef KESTREL_JMF_GUARD
    static const bool guarded = [] {
        int patched = 0;
        dl_iterate_phdr(patch, &patched);
        return patched > 0;
    }();
    return guarded;
#else
    return false;
#endif
}

void setEngineBlockLimit(const std::size_t* limit) noexcept {
    t_blockLimit = limit;
}

}  // namespace jmf_detail

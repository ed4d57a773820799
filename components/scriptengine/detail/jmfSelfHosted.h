#pragma once

#include <elf.h>
#include <link.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace jmf_detail {

// The engine's own library code (its built-ins written in JavaScript) is parsed by every engine
// that starts, which costs more than reading most documents. The build parses it once and keeps
// the result (kSelfHostedCache, made by jmfSelfHostedGen.cpp); an engine takes it only when the
// engine library loaded is the very file it was made with, named by the build's identity.

// The identity of the engine library the process loaded: its GNU build-id with the engine's
// version; empty when the library carries none, so that nothing kept is ever taken for it.
inline std::string engineIdentity() {
    std::string id;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) -> int {
            if (!info->dlpi_name || !std::strstr(info->dlpi_name, "libmozjs")) return 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& header = info->dlpi_phdr[i];
                if (header.p_type != PT_NOTE) continue;
                const char* at = reinterpret_cast<const char*>(info->dlpi_addr + header.p_vaddr);
                const char* end = at + header.p_memsz;
                while (at + sizeof(ElfW(Nhdr)) <= end) {
                    const auto* note = reinterpret_cast<const ElfW(Nhdr)*>(at);
                    const char* name = at + sizeof(ElfW(Nhdr));
                    const char* desc = name + ((note->n_namesz + 3) & ~3u);
                    if (desc + note->n_descsz > end) break;
                    if (note->n_type == NT_GNU_BUILD_ID && note->n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
                        auto& out = *static_cast<std::string*>(data);
                        constexpr char kHex[] = "0123456789abcdef";
                        for (std::size_t k = 0; k < note->n_descsz; ++k) {
                            const auto byte = static_cast<unsigned char>(desc[k]);
                            out += kHex[byte >> 4];
                            out += kHex[byte & 15];
                        }
                        return 1;
                    }
                    at = desc + ((note->n_descsz + 3) & ~3u);
                }
            }
            return 0;
        },
        &id);
    return id.empty() ? id : "kestrel-1:" + id;
}

// What the build kept (jmfSelfHostedData.cpp): empty where it could not be made.
extern const char kSelfHostedIdentity[];
extern const std::size_t kSelfHostedCacheSize;
extern const unsigned char kSelfHostedCache[];

}  // namespace jmf_detail

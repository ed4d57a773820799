// Base64 of script texts: any bytes encode to text that decodes to the same bytes, and any text
// the decoder accepts stands for bytes whose encoding decodes to them again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "kestrel/components/framework/Base64.h"

namespace {
[[noreturn]] void fail(std::string_view input, const std::string& written, const char* what) {
    std::fprintf(stderr, "==== base64 harness: %s\n---- input: \"%.*s\"\n---- written: \"%s\"\n", what,
                 static_cast<int>(input.size()), input.data(), written.c_str());
    std::abort();
}

std::string decodeWritten(std::string_view input, const std::string& written) {
    try {
        return Base64::decode(written);
    } catch (const std::invalid_argument&) {
        fail(input, written, "encoded text does not decode");
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string encoded = Base64::encode(input);
    if (decodeWritten(input, encoded) != input) fail(input, encoded, "bytes do not survive encoding");
    std::string bytes;
    try {
        bytes = Base64::decode(input);
    } catch (const std::invalid_argument&) {
        return 0;
    }
    const std::string written = Base64::encode(bytes);
    if (decodeWritten(input, written) != bytes) fail(input, written, "decoded bytes do not survive encoding");
    return 0;
}

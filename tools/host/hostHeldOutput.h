#pragma once

#include <cstddef>
#include <cstdio>
#include <iosfwd>
#include <string>
#include <string_view>

// Output that may go out only once a document proved readable: held in memory up to a block and
// past it in an unnamed temporary file, so that the report on a document of any size holds
// little memory. Where no temporary file can be made it all stays in memory.
class hostHeldOutput {
public:
    hostHeldOutput() = default;
    ~hostHeldOutput();
    hostHeldOutput(const hostHeldOutput&) = delete;
    hostHeldOutput& operator=(const hostHeldOutput&) = delete;

    void append(std::string_view text);
    // Writes everything held to `out`, in order; false, with the system's reason in `failure`,
    // when the temporary file failed, since the report would then be incomplete.
    bool writeTo(std::ostream& out, std::string& failure);

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 20;
    std::string m_text;
    std::FILE* m_spill = nullptr;
    bool m_noSpill = false;
    int m_error = 0;
};

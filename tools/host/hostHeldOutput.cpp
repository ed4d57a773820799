#include "tools/host/hostHeldOutput.h"

#include <cerrno>
#include <cstring>
#include <ostream>

hostHeldOutput::~hostHeldOutput() {
    if (m_spill) std::fclose(m_spill);
}

void hostHeldOutput::append(std::string_view text) {
    m_text += text;
    if (m_text.size() < kBlock || m_noSpill || m_error) return;
    if (!m_spill) {
        m_spill = std::tmpfile();
        m_noSpill = !m_spill;
        if (m_noSpill) return;
    }
    errno = 0;
    // A short write is remembered and reported when the output is given: nothing is dropped silently.
    if (std::fwrite(m_text.data(), 1, m_text.size(), m_spill) != m_text.size()) {
        m_error = errno ? errno : EIO;
        return;
    }
    m_text.clear();
}

bool hostHeldOutput::writeTo(std::ostream& out, std::string& failure) {
    if (m_spill && !m_error) {
        errno = 0;
        if (std::fflush(m_spill) != 0 || std::fseek(m_spill, 0, SEEK_SET) != 0) m_error = errno ? errno : EIO;
    }
    if (m_spill && !m_error) {
        char block[1 << 16];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, m_spill)) > 0) out.write(block, std::streamsize(n));
        if (std::ferror(m_spill)) m_error = errno ? errno : EIO;
    }
    if (m_error) {
        failure = std::strerror(m_error);
        return false;
    }
    out << m_text;
    return true;
}

#include "StderrCapture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace cli {

StderrCapture::StderrCapture() {
    m_buffer = ::memfd_create("lumtrace-validate-stderr", MFD_CLOEXEC);
}

StderrCapture::~StderrCapture() {
    if (m_saved >= 0) end();
    if (m_buffer >= 0) ::close(m_buffer);
}

bool StderrCapture::begin() {
    if (m_buffer < 0 || m_saved >= 0) return false;
    std::fflush(stderr);
    m_saved = ::dup(STDERR_FILENO);
    if (m_saved < 0) return false;
    if (::dup2(m_buffer, STDERR_FILENO) < 0) {
        ::close(m_saved);
        m_saved = -1;
        return false;
    }
    return true;
}

std::vector<std::string> StderrCapture::end() {
    std::vector<std::string> lines;
    if (m_saved < 0) return lines;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
    m_saved = -1;
    const off_t size = ::lseek(m_buffer, 0, SEEK_CUR);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n =
            ::pread(m_buffer, text.data() + got, text.size() - got, static_cast<off_t>(got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    if (::ftruncate(m_buffer, 0) != 0 || ::lseek(m_buffer, 0, SEEK_SET) != 0) {
        ::close(m_buffer);
        m_buffer = ::memfd_create("lumtrace-validate-stderr", MFD_CLOEXEC);
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lineEnd = text.find('\n', start);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        lines.push_back(text.substr(start, lineEnd - start));
        start = lineEnd + 1;
    }
    return lines;
}

}  // namespace cli

#pragma once
// Collects what is written on file descriptor 2 while a file is validated. The plug-in carries
// its own copy of the diagnostics code and writes straight to stderr, so nothing short of the
// descriptor itself catches its lines.

#include <string>
#include <vector>

namespace cli {

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Points descriptor 2 at an in-memory file; false (and nothing captured) when impossible.
    bool begin();
    // Restores descriptor 2 and returns the lines written since Begin, without line ends.
    std::vector<std::string> end();

private:
    int m_buffer = -1;  // a memory file, not a pipe: a pipe would fill and block the writer
    int m_saved = -1;
};

}  // namespace cli

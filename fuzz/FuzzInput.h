#pragma once
// What the targets share: the input as a file the readers can open by name, and the code page
// an input byte picks.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/CodePageList.h"

namespace fuzzinput {

// One in-memory file per process, rewritten for every input: no disk traffic per execution.
inline const std::string& writeAsFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("fuzz.stl", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    return path;
}

// The system pages 0-2, then every page of the list.
inline std::uint16_t codePageFor(unsigned selector) {
    const unsigned choices = 3 + static_cast<unsigned>(platform::codepage::kPageCount);
    selector %= choices;
    return selector < 3 ? static_cast<std::uint16_t>(selector)
                        : platform::codepage::kPages[selector - 3].codePage;
}

// A byte the readers never look at, so a real file stays a real file: the last one of the
// header's user area, or the last byte of a shorter input.
inline std::uint8_t selectorByte(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    return data[size > 1024 ? 1023 : size - 1];
}

}  // namespace fuzzinput

// Two versions of a file compared: the input holds both, cut at "@@B@", or, without the mark,
// is the first and a copy edited by the selector byte (times shifted, a block dropped or doubled)
// is the second, so the real files of the corpus make useful pairs. Checks: a file against
// itself differs in nothing; every subtitle of either side is placed once by the alignment; the
// JSON report parses.

#include <sys/mman.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "compare/Alignment.h"
#include "compare/Comparison.h"
#include "compare/Reports.h"

namespace {

const std::string& writeSecond(std::string_view bytes) {
    static const int fd = memfd_create("fuzz-b.stl", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0) std::abort();
    if (!bytes.empty() &&
        pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    return path;
}

// The input's second version when it carries none: Selector picks the edits.
std::string edited(std::string bytes, std::uint8_t selector) {
    const std::size_t blocks = bytes.size() > 1024 ? (bytes.size() - 1024) / 128 : 0;
    if (blocks == 0) return bytes;
    const std::size_t pick = 1024 + 128 * (selector % blocks);
    const int shift = (selector >> 3) % 5;
    for (std::size_t at = 1024; at + 128 <= bytes.size(); at += 128)
        for (const std::size_t frames : {at + 8, at + 12})
            bytes[frames] = static_cast<char>(static_cast<std::uint8_t>(bytes[frames]) + shift);
    if (selector & 1)
        bytes.erase(pick, 128);
    else if (selector & 2)
        bytes.insert(pick, bytes.substr(pick, 128));
    return bytes;
}

void checkAlignment(const compare::Comparison& c) {
    std::vector<int> seenA(c.a.entries.size()), seenB(c.b.entries.size());
    for (const compare::Match& m : compare::align(c.a.entries, c.b.entries)) {
        for (const int i : {m.a, m.secondA})
            if (i >= 0) ++seenA.at(static_cast<std::size_t>(i));
        for (const int j : {m.b, m.secondB})
            if (j >= 0) ++seenB.at(static_cast<std::size_t>(j));
    }
    for (const int n : seenA)
        if (n != 1) std::abort();
    for (const int n : seenB)
        if (n != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t mark = input.find("@@B@");
    const std::string_view first = mark == std::string_view::npos ? input : input.substr(0, mark);
    const std::string second = mark == std::string_view::npos
                                   ? edited(std::string(input), fuzzinput::selectorByte(data, size))
                                   : std::string(input.substr(mark + 4));
    const std::string& pathA =
        fuzzinput::writeAsFile(reinterpret_cast<const std::uint8_t*>(first.data()), first.size());
    const std::string& pathB = writeSecond(second);

    std::string error;
    const auto a = compare::loadSide(pathA, error);
    const auto b = compare::loadSide(pathB, error);
    if (a) {
        const compare::Comparison self = compare::compareSides(*a, *a, {});
        if (self.differs()) std::abort();
    }
    if (!a || !b) return 0;
    const std::uint8_t selector = fuzzinput::selectorByte(data, size);
    const compare::Comparison c =
        compare::compareSides(*a, *b, {selector % 3, (selector & 4) == 0});
    checkAlignment(c);
    const std::string json = compare::jsonReport(c);
    if (!nlohmann::json::accept(json)) std::abort();
    if (compare::textReport(c).size() + compare::htmlReport(c).size() == 0) std::abort();
    return 0;
}

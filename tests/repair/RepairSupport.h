#pragma once
// Repairs of files built in code: the proposal, and the bytes with every change written.

#include <ostream>
#include <string>
#include <vector>

#include "repair/Repair.h"
#include "repair/RepairFile.h"
#include "subtitle/Timeline.h"
#include "tests/support/StlFileBuilder.h"

namespace repairtest {

using Block = testsupport::StlFileBuilder::Block;

inline std::string bytesOf(const testsupport::StlFileBuilder& file) {
    const std::vector<std::uint8_t> bytes = file.bytes();
    return {bytes.begin(), bytes.end()};
}

inline repair::Options fixes(std::initializer_list<repair::Fix> chosen) {
    repair::Options options;
    for (const repair::Fix fix : chosen) repair::add(options.fixes, fix);
    options.parameters.revisionDate = "240131";
    return options;
}

struct Repaired {
    repair::Proposal proposal;
    std::string bytes;
};

inline Repaired repaired(const std::string& bytes, const repair::Options& options) {
    Repaired result{repair::propose(repair::documentOfBytes(bytes), options), bytes};
    repair::applyChanges(result.bytes, result.proposal, repair::chooseAll(result.proposal));
    return result;
}

inline std::string field(const std::string& bytes, std::size_t offset, std::size_t length) {
    return bytes.substr(offset, length);
}
inline std::string gsiField(const std::string& bytes, const StlField& f) {
    return field(bytes, f.offset, f.length);
}
inline std::string blockField(const std::string& bytes, std::uint32_t block, const StlField& f) {
    return field(bytes, ttiBlockOffset(block) + f.offset, f.length);
}

// A one-block subtitle from In to Out (frames at 25 fps), with text Text.
inline Block subtitleBlock(std::uint16_t number, int in, int out, std::string_view text = "Hi") {
    Block b;
    b.number = number;
    const auto put = [](std::uint8_t* tc, int frames) {
        tc[0] = static_cast<std::uint8_t>(frames / 90000);
        tc[1] = static_cast<std::uint8_t>(frames / 1500 % 60);
        tc[2] = static_cast<std::uint8_t>(frames / 25 % 60);
        tc[3] = static_cast<std::uint8_t>(frames % 25);
    };
    put(b.in, in);
    put(b.out, out);
    b.text = testsupport::StlFileBuilder::text(text);
    return b;
}

// Frames at 25 fps of 10:MM:SS:FF.
constexpr int at(int m, int s, int f) {
    return ((10 * 60 + m) * 60 + s) * 25 + f;
}

// Time code bytes h, m, s, f.
inline std::string tc(int h, int m, int s, int f) {
    return {static_cast<char>(h), static_cast<char>(m), static_cast<char>(s), static_cast<char>(f)};
}

}  // namespace repairtest

namespace repairtest {

// A subtitle of a timing case: times in frames at 25 fps.
struct Timed {
    int in, out;
    std::uint8_t cumulative = 0;
    bool comment = false;
};

inline std::string timedFile(const std::vector<Timed>& subtitles) {
    testsupport::StlFileBuilder file;
    std::uint16_t number = 1;
    for (const Timed& t : subtitles) {
        Block b = subtitleBlock(number++, t.in, t.out);
        b.cumulative = t.cumulative;
        b.comment = t.comment ? 1 : 0;
        file.addBlock(b);
    }
    file.announce(static_cast<int>(subtitles.size()));
    file.gsi(gsi::totalNumberOfSubtitles, std::to_string(100000 + subtitles.size()).substr(1));
    return bytesOf(file);
}

// In- and out-times of the file's subtitles, in frames.
inline std::vector<Timed> timesOf(const std::string& bytes) {
    std::vector<Timed> times;
    for (const subtitle::Subtitle& s : repair::documentOfBytes(bytes).subtitles)
        times.push_back({static_cast<int>(subtitle::frameOf(s.in, 25)),
                         static_cast<int>(subtitle::frameOf(s.out, 25)), s.cumulative, s.comment});
    return times;
}

inline bool operator==(const Timed& a, const Timed& b) {
    return a.in == b.in && a.out == b.out;
}
inline std::ostream& operator<<(std::ostream& out, const Timed& t) {
    return out << t.in << "-" << t.out;
}

}  // namespace repairtest

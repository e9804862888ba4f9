#pragma once
// What is on screen when: each subtitle from its in-time to its own out-time. The parts of a
// cumulative set add to what is still shown, so the screen changes at every in- and out-time of
// the set; each stretch is one display listing the parts shown, oldest first.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "Assembly.h"

namespace subtitle {

// The parts of a display: one in nearly every display, so one is kept without an allocation
// (a file of 99,999 subtitles has as many displays).
class PartList {
public:
    PartList() = default;
    PartList(std::initializer_list<std::size_t> parts) {
        for (const std::size_t p : parts) push_back(p);
    }
    PartList(const PartList& other) { *this = other; }
    PartList& operator=(const PartList& other) {
        if (this == &other) return *this;
        m_first = other.m_first;
        m_count = other.m_count;
        m_more = other.m_more ? std::make_unique<std::vector<std::size_t>>(*other.m_more) : nullptr;
        return *this;
    }
    PartList(PartList&&) = default;
    PartList& operator=(PartList&&) = default;

    void push_back(std::size_t part) {
        if (m_count == 0) {
            m_first = part;
        } else {
            if (!m_more) m_more = std::make_unique<std::vector<std::size_t>>(1, m_first);
            m_more->push_back(part);
        }
        ++m_count;
    }
    const std::size_t* begin() const { return m_more ? m_more->data() : &m_first; }
    const std::size_t* end() const { return begin() + m_count; }
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::size_t front() const { return *begin(); }
    std::size_t back() const { return *(end() - 1); }

private:
    std::size_t m_first = 0;
    std::size_t m_count = 0;
    std::unique_ptr<std::vector<std::size_t>> m_more;  // all parts, once there are two
};

struct Display {
    std::int64_t start = 0;  // frames
    std::int64_t end = 0;
    PartList parts;  // indices into the subtitles
};

struct TimelineSettings {
    int framesPerSecond = 25;  // the grid the time codes count on
    bool includeComments = false;
};

// Displays in file order of their first part; a subtitle whose out-time is not after its in-time
// still gives one (with End <= Start) so that callers can say what they leave out.
std::vector<Display> timeline(const std::vector<Subtitle>& subtitles,
                              const TimelineSettings& settings);

std::int64_t frameOf(const TimeCode& tc, int framesPerSecond);
// A header time code field (HHMMSSFF) as frames; nullopt unless its bytes are eight digits.
std::optional<std::int64_t> headerFrames(const GeneralSubtitleInformation& gsi,
                                         const StlField& field, int framesPerSecond);

}  // namespace subtitle

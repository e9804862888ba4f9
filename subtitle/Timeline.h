#pragma once
// What is on screen when: each subtitle from its in-time to its own out-time. The parts of a
// cumulative set add to what is still shown, so the screen changes at every in- and out-time of
// the set; each stretch is one display listing the parts shown, oldest first.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "Assembly.h"

namespace subtitle {

// The parts of a display: one in nearly every display, so a few are kept without an allocation
// (a file of 99,999 subtitles has as many displays).
class PartList {
public:
    PartList() = default;
    PartList(std::initializer_list<std::size_t> parts) {
        for (const std::size_t p : parts) push_back(p);
    }
    void push_back(std::size_t part) {
        if (m_more.empty() && m_count < inline_) {
            m_inline[m_count++] = part;
            return;
        }
        if (m_more.empty()) m_more.assign(m_inline, m_inline + m_count);
        m_more.push_back(part);
        ++m_count;
    }
    const std::size_t* begin() const { return m_more.empty() ? m_inline : m_more.data(); }
    const std::size_t* end() const { return begin() + m_count; }
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::size_t front() const { return *begin(); }
    std::size_t back() const { return *(end() - 1); }

private:
    static constexpr std::size_t inline_ = 2;
    std::size_t m_inline[inline_] = {};
    std::size_t m_count = 0;
    std::vector<std::size_t> m_more;
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

}  // namespace subtitle

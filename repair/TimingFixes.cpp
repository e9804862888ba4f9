#include <algorithm>
#include <optional>

#include "FixSteps.h"
#include "TimeText.h"

namespace repair {
namespace {

// Parts of one cumulative set share their out-time by design: no gap is wanted between them.
bool sameSet(std::uint8_t earlier, std::uint8_t later) {
    return (earlier == 1 || earlier == 2) && (later == 2 || later == 3);
}

std::string frames(std::int64_t count) {
    return std::to_string(count) + (count == 1 || count == -1 ? " frame" : " frames");
}

class TimingFixes {
public:
    explicit TimingFixes(RepairWork& work) : m_work(work), m_p(work.parameters()) {
        for (std::size_t i = 0; i < work.size(); ++i)
            if (!work.subtitle(i).comment) m_shown.push_back(i);
        // Frames counts as given by code rather than typed: none below 0, and a minimum above
        // the maximum gives way to it, so a second repair does not undo the first.
        const auto frames = [](std::int64_t n) { return std::max<std::int64_t>(n, 0); };
        m_p.gapFrames = frames(m_p.gapFrames);
        m_p.maxDurationFrames = frames(m_p.maxDurationFrames);
        m_p.minDurationFrames = frames(m_p.minDurationFrames);
        if (work.chosen(Fix::MaxDuration))
            m_p.minDurationFrames = std::min(m_p.minDurationFrames, m_p.maxDurationFrames);
    }

    void run() {
        if (m_work.chosen(Fix::Shift) && m_p.shiftFrames != 0) shift();
        if (m_work.chosen(Fix::OutBeforeIn)) outBeforeIn();
        if (m_work.chosen(Fix::MaxDuration)) maxDuration();
        if (m_work.chosen(Fix::Overlap) || m_work.chosen(Fix::Gap)) gaps();
        if (m_work.chosen(Fix::MinDuration)) minDuration();
    }

private:
    std::uint8_t cumulative(std::size_t i) const { return m_work.subtitle(i).cumulative; }
    std::string name(std::size_t i) const {
        return "subtitle " + std::to_string(m_work.placeOf(i).number) + " (" +
               formatFrames(m_work.in(i), m_work.fps()) + ")";
    }

    void shift() {
        const std::int64_t by = m_p.shiftFrames;
        const std::int64_t day = dayFrames(m_work.fps());
        const auto inDay = [day](std::int64_t t) { return t >= 0 && t < day; };
        // All or nothing: a shift that moved some times and not others would reorder them.
        bool fits = true;
        for (std::size_t i = 0; i < m_work.size(); ++i)
            if (!inDay(m_work.in(i) + by) || !inDay(m_work.out(i) + by)) {
                m_work.notFixed(Fix::Shift, m_work.placeOf(i), tti::timeCodeIn.name,
                                "shifted by " + frames(by) + " it would leave the day");
                fits = false;
            }
        const auto tcp = headerTimeCode(m_work.gsi(), gsi::timeCodeStartOfProgramme, m_work.fps());
        const auto tcf = headerTimeCode(m_work.gsi(), gsi::timeCodeFirstInCue, m_work.fps());
        for (const auto& [value, field] :
             {std::pair{tcp, &gsi::timeCodeStartOfProgramme}, {tcf, &gsi::timeCodeFirstInCue}})
            if (value && !inDay(*value + by)) {
                m_work.notFixed(Fix::Shift, {}, field->name,
                                "shifted by " + frames(by) + " it would leave the day");
                fits = false;
            }
        if (!fits) return;
        const std::string why = "shifted by " + (by > 0 ? "+" : std::string()) + frames(by);
        for (std::size_t i = 0; i < m_work.size(); ++i) {
            m_work.setIn(Fix::Shift, i, m_work.in(i) + by, why);
            m_work.setOut(Fix::Shift, i, m_work.out(i) + by, why);
        }
        if (tcp) m_work.setHeaderTime(Fix::Shift, gsi::timeCodeStartOfProgramme, *tcp + by, why);
        if (tcf) m_work.setHeaderTime(Fix::Shift, gsi::timeCodeFirstInCue, *tcf + by, why);
    }

    void outBeforeIn() {
        for (const std::size_t i : m_shown)
            if (m_work.out(i) <= m_work.in(i))
                m_work.setOut(Fix::OutBeforeIn, i,
                              m_work.in(i) + std::max<std::int64_t>(m_p.minDurationFrames, 1),
                              "out-time " + formatFrames(m_work.out(i), m_work.fps()) +
                                  " not after the in-time");
    }

    // The subtitles shown, each alone or with the other parts of its cumulative set.
    std::vector<std::vector<std::size_t>> units() const {
        std::vector<std::vector<std::size_t>> units;
        for (const std::size_t i : m_shown) {
            if (!units.empty() && cumulative(units.back().front()) == 1 &&
                sameSet(cumulative(units.back().back()), cumulative(i)))
                units.back().push_back(i);
            else
                units.push_back({i});
        }
        return units;
    }

    // The parts of a cumulative set share their out-time, so they are cut together, to an end
    // every one of them comes in before, or not at all.
    void maxDuration() {
        const std::int64_t longest = m_p.maxDurationFrames;
        for (const std::vector<std::size_t>& parts : units()) {
            std::optional<std::int64_t> end;
            for (const std::size_t p : parts) {
                const std::int64_t duration = m_work.out(p) - m_work.in(p);
                if (duration > longest && duration > 0)
                    end = std::min(end.value_or(m_work.in(p) + longest), m_work.in(p) + longest);
            }
            if (!end) continue;
            const auto why = [&](std::size_t p) {
                const std::int64_t duration = m_work.out(p) - m_work.in(p);
                return duration > longest
                           ? "duration of " + frames(duration) + ", more than " +
                                 std::to_string(longest)
                           : std::string("ends with the other parts of its cumulative set");
            };
            const bool cuttable = std::all_of(parts.begin(), parts.end(), [&](std::size_t p) {
                return m_work.out(p) <= *end || *end > m_work.in(p);
            });
            for (const std::size_t p : parts) {
                if (m_work.out(p) <= *end) continue;
                if (cuttable)
                    m_work.setOut(Fix::MaxDuration, p, *end, why(p));
                else if (m_work.out(p) - m_work.in(p) > longest)
                    m_work.notFixed(
                        Fix::MaxDuration, m_work.placeOf(p), tti::timeCodeOut.name,
                        why(p) + ": " +
                            (parts.size() > 1 ? "a part of its cumulative set comes in at " +
                                                    formatFrames(*end, m_work.fps()) + " or later"
                                              : std::string("it would end as it comes in")));
            }
        }
    }

    // Each subtitle against the one shown before it in the file, as the checks compare them.
    void gaps() {
        std::vector<std::size_t> set;  // the cumulative set the previous subtitle belongs to
        for (std::size_t k = 0; k < m_shown.size(); ++k) {
            const std::size_t later = m_shown[k];
            if (k > 0) checkGap(m_shown[k - 1], later, set);
            const std::uint8_t status = cumulative(later);
            if (status == 1)
                set.assign(1, later);
            else if (!set.empty() && sameSet(cumulative(set.back()), status))
                set.push_back(later);
            else
                set.clear();
        }
    }

    void checkGap(std::size_t earlier, std::size_t later, const std::vector<std::size_t>& set) {
        if (sameSet(cumulative(earlier), cumulative(later))) return;
        const std::int64_t gap = m_work.in(later)-m_work.out(earlier);
        const bool overlap = gap < 0 && m_work.chosen(Fix::Overlap);
        const bool tooShort = gap >= 0 && gap < m_p.gapFrames && m_work.chosen(Fix::Gap);
        if (!overlap && !tooShort) return;
        const Fix fix = overlap ? Fix::Overlap : Fix::Gap;
        const std::string why = overlap ? "overlaps " + name(later) + " by " + frames(-gap)
                                        : "gap of " + frames(gap) + " to " + name(later) +
                                              ", less than " + std::to_string(m_p.gapFrames);
        const std::int64_t end = m_work.in(later)-m_p.gapFrames;
        // The parts of the earlier subtitle's set still shown at the new end go with it.
        std::vector<std::size_t> cut{earlier};
        if (!set.empty() && set.back() == earlier)
            for (const std::size_t part : set)
                if (part != earlier && m_work.out(part) > end) cut.push_back(part);
        const bool cuttable = std::all_of(cut.begin(), cut.end(),
                                          [&](std::size_t part) { return end > m_work.in(part); });
        if (cuttable) {
            for (const std::size_t part : cut) m_work.setOut(fix, part, end, why);
            return;
        }
        // The earlier one starts too late to end sooner (the file is out of time order, or it
        // is very short): the later one comes in after it instead, if it still ends after that.
        const std::int64_t start = m_work.out(earlier) + m_p.gapFrames;
        if (start < m_work.out(later))
            m_work.setIn(fix, later, start,
                         "comes in at " + formatFrames(m_work.in(later), m_work.fps()) +
                             ", before " + name(earlier) + " ends at " +
                             formatFrames(m_work.out(earlier), m_work.fps()) +
                             ", which cannot end sooner");
        else
            m_work.notFixed(fix, m_work.placeOf(earlier), tti::timeCodeOut.name,
                            why + ": neither can give way without ending before it starts");
    }

    void minDuration() {
        const std::int64_t day = dayFrames(m_work.fps());
        for (std::size_t k = 0; k < m_shown.size(); ++k) {
            const std::size_t i = m_shown[k];
            const std::int64_t in = m_work.in(i), out = m_work.out(i);
            const std::int64_t wanted = in + m_p.minDurationFrames;
            if (out <= in || out >= wanted) continue;
            const std::string why = "duration of " + frames(out - in) + ", less than " +
                                    std::to_string(m_p.minDurationFrames);
            if (cumulative(i) != 0) {
                m_work.notFixed(Fix::MinDuration, m_work.placeOf(i), tti::timeCodeOut.name,
                                why + ": its cumulative set shares one out-time");
                continue;
            }
            const bool last = k + 1 == m_shown.size();
            const std::int64_t free = last ? day - 1 : m_work.in(m_shown[k + 1]) - m_p.gapFrames;
            const std::int64_t end = std::min(wanted, std::max(out, free));
            if (end > out) m_work.setOut(Fix::MinDuration, i, end, why);
            if (end < wanted)
                m_work.notFixed(
                    Fix::MinDuration, m_work.placeOf(i), tti::timeCodeOut.name,
                    why + ": " +
                        (last ? "the day ends" : name(m_shown[k + 1]) + " follows too soon"));
        }
    }

    RepairWork& m_work;
    Parameters m_p;
    std::vector<std::size_t> m_shown;  // subtitles not flagged as comments, in file order
};

}  // namespace

void fixTiming(RepairWork& work) {
    TimingFixes(work).run();
}

}  // namespace repair

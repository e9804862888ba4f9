#include <algorithm>
#include <bitset>

#include "FixSteps.h"
#include "TimeText.h"
#include "platform/LocalTime.h"
#include "subtitle/CodeFacts.h"

namespace repair {
namespace {

std::string zeroPadded(std::int64_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

// A count field set to Count when it says anything else. One and Many name what is counted.
void fixCount(RepairWork& work, Fix fix, const StlField& field, std::int64_t count, const char* one,
              const char* many) {
    const std::string counted = count == 1 ? one : many;
    const auto value = fieldToInt32(work.gsi().bytes, field);
    if (value && *value == count) return;
    const std::string text = fieldText(work.gsi().bytes, field);
    const std::string said = text.empty() ? "blank" : text;
    if (zeroPadded(count, 0).size() > field.length) {
        work.notFixed(fix, {}, field.name,
                      counted + " " + std::to_string(count) + " do not fit the field");
        return;
    }
    work.setHeader(
        fix, field, zeroPadded(count, field.length),
        std::string(field.name) + " is " + said + ", " + std::to_string(count) + " " + counted);
}

void fixBlockCount(RepairWork& work) {
    const subtitle::Document& document = work.document();
    fixCount(work, Fix::BlockCount, gsi::totalNumberOfTti, document.blocksPresent, "block present",
             "blocks present");
}

void fixSubtitleCount(RepairWork& work) {
    // Counted as the checks count them: a chain once, comments too, user data not.
    fixCount(work, Fix::SubtitleCount, gsi::totalNumberOfSubtitles,
             static_cast<std::int64_t>(work.size()), "subtitle counted", "subtitles counted");
}

void fixGroupCount(RepairWork& work) {
    std::bitset<256> groups;
    for (std::size_t i = 0; i < work.size(); ++i) groups.set(work.subtitle(i).group);
    fixCount(work, Fix::GroupCount, gsi::totalNumberOfSubtitleGroups,
             static_cast<std::int64_t>(groups.count()), "subtitle group used",
             "subtitle groups used");
}

// The first subtitle shown, in file order; Size when there is none.
std::size_t firstShown(const RepairWork& work) {
    for (std::size_t i = 0; i < work.size(); ++i)
        if (!work.subtitle(i).comment) return i;
    return work.size();
}

void fixFirstInCue(RepairWork& work) {
    const std::size_t first = firstShown(work);
    if (first == work.size()) return;
    const std::int64_t in = work.in(first);
    const auto tcf = headerTimeCode(work.gsi(), gsi::timeCodeFirstInCue, work.fps());
    if (tcf && *tcf == in) return;
    if (!timeCodeOfFrames(in, work.fps())) return;
    work.setHeaderTime(Fix::FirstInCue, gsi::timeCodeFirstInCue, in,
                       "the first subtitle comes in at " + formatFrames(in, work.fps()));
}

void fixStartOfProgramme(RepairWork& work) {
    const int fps = work.fps();
    const auto tcp = headerTimeCode(work.gsi(), gsi::timeCodeStartOfProgramme, fps);
    if (const auto& given = work.parameters().startOfProgrammeFrames) {
        if (!timeCodeOfFrames(*given, fps))
            work.notFixed(Fix::StartOfProgramme, {}, gsi::timeCodeStartOfProgramme.name,
                          "the time code asked for lies outside the day");
        else if (!tcp || *tcp != *given)
            work.setHeaderTime(Fix::StartOfProgramme, gsi::timeCodeStartOfProgramme, *given,
                               "set as asked");
        return;
    }
    std::int64_t earliest = dayFrames(fps);
    for (std::size_t i = 0; i < work.size(); ++i)
        if (!work.subtitle(i).comment) earliest = std::min(earliest, work.in(i));
    if (earliest >= dayFrames(fps) || earliest < 0 || (tcp && *tcp <= earliest)) return;
    const std::int64_t hour = std::int64_t{3600} * fps;
    work.setHeaderTime(Fix::StartOfProgramme, gsi::timeCodeStartOfProgramme, earliest / hour * hour,
                       (tcp ? "after the first in-cue " : "not a time code; the first in-cue is ") +
                           formatFrames(earliest, fps));
}

void fixDisplayStandard(RepairWork& work) {
    const subtitle::Standard standard = subtitle::standardOf(work.gsi());
    // Level 2 is a teletext of its own; which level a file needs is not told by its codes.
    if (standard == subtitle::Standard::Teletext2) return;
    bool teletext = false, open = false;
    for (std::size_t i = 0; i < work.size(); ++i) {
        const subtitle::Subtitle& s = work.subtitle(i);
        if (s.comment) continue;
        subtitle::CodeFacts facts;
        subtitle::scanCodes(s.text, false, facts);
        teletext = teletext || facts.firstTeletextCode >= 0;
        open = open || facts.firstOpenCode >= 0;
    }
    const bool contradicted = (standard == subtitle::Standard::Open && teletext) ||
                              (standard == subtitle::Standard::Teletext1 && open);
    if (teletext == open) {
        if (contradicted)
            work.notFixed(Fix::DisplayStandard, {}, gsi::displayStandardCode.name,
                          "the text uses both teletext and open subtitle codes");
        return;
    }
    const subtitle::Standard wanted =
        teletext ? subtitle::Standard::Teletext1 : subtitle::Standard::Open;
    if (standard == wanted) return;
    work.setHeader(Fix::DisplayStandard, gsi::displayStandardCode, teletext ? "1" : "0",
                   teletext ? "the text uses teletext codes and no open subtitle codes"
                            : "the text uses open subtitle codes and no teletext codes");
}

std::string today() {
    return platform::localTimeNow("%y%m%d");
}

}  // namespace

void fixHeader(RepairWork& work) {
    if (work.chosen(Fix::BlockCount)) fixBlockCount(work);
    if (work.chosen(Fix::SubtitleCount)) fixSubtitleCount(work);
    if (work.chosen(Fix::GroupCount)) fixGroupCount(work);
    if (work.chosen(Fix::FirstInCue)) fixFirstInCue(work);
    if (work.chosen(Fix::StartOfProgramme)) fixStartOfProgramme(work);
    if (work.chosen(Fix::DisplayStandard)) fixDisplayStandard(work);
}

void fixRevision(RepairWork& work) {
    work.dropUnchanged();
    if (!work.chosen(Fix::Revision) || !work.hasChanges()) return;
    const std::string& given = work.parameters().revisionDate;
    work.setHeader(Fix::Revision, gsi::revisionDate, given.empty() ? today() : given,
                   "the file is changed");
    // Two digits: a revision past 99 stays 99 rather than look older than the one before.
    const auto number = fieldToInt32(work.gsi().bytes, gsi::revisionNumber);
    const std::int32_t next = number && *number >= 0 && *number < 99 ? *number + 1 : 99;
    const bool valid = number && *number >= 0 && *number <= 99;
    work.setHeader(Fix::Revision, gsi::revisionNumber, zeroPadded(valid ? next : 1, 2),
                   "the file is changed");
}

}  // namespace repair

#pragma once
// Where in the file a finding is: the block and the subtitle it belongs to, or the bytes of the
// header it is about, so that a report can point at them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ReportList.h"
#include "stl/StlUtils.h"

namespace validationhost {

struct FindingPlace {
    std::int32_t block = -1;           // 0-based; -1: not about a block
    std::int32_t subtitleNumber = -1;  // -1: the block is not in the file
    TimeCode in{}, out{};              // of the subtitle's first block
    // Bytes of the file the finding is about; ByteLength 0 when it names none.
    std::uint32_t byteOffset = 0;
    std::uint32_t byteLength = 0;

    bool hasSubtitle() const { return subtitleNumber >= 0; }
};

// Places of Reports in File, Blocks as the host read them from the texts. A block inside an
// extension chain gets its chain's subtitle: the number and times of the chain's first block.
// The file is read only when a finding names a block.
std::vector<FindingPlace> locateFindings(const std::string& file,
                                         const std::vector<CustomReport>& reports,
                                         const std::vector<std::int32_t>& blocks);

// HH:MM:SS:FF as formatTimeCode writes it, without its cost per call: reports write two for
// each of hundreds of thousands of findings.
void appendTimeCode(std::string& out, const TimeCode& time);

// Rule of a finding: the number in square brackets that starts its message ("[425] ..."),
// 0 when there is none.
int ruleId(std::string_view message);

// "Subtitle 677 (10:48:53:16)", empty without a subtitle.
std::string subtitleText(const FindingPlace& place);
// Message with its subtitle after it, unless it names it already.
std::string placedMessage(const std::string& message, const FindingPlace& place);

}  // namespace validationhost

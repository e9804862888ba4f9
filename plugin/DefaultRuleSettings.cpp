// The fixed table of the 79 rules the plug-in object starts from.

#include <iterator>

#include "RuleSettings.h"
#include "stl/ReportFunction.h"

namespace {

struct DefaultRule {
    std::int32_t id;
    const char* name;
};

constexpr DefaultRule DEFAULT_RULES[] = {
    {101, "Start validation information"},
    {102, "Loading file information"},
    {103, "Unloading file information"},
    {104, "Loading timeout"},
    {105, "Unloading timeout"},
    {106, "Play timeout"},
    {107, "Stop timeout"},
    {201, "STL file loading check"},
    {202, "Data reading General Subtitle Information block check"},
    {203, "STL file Disk Format Code check"},
    {301, "GSI - Code Page Number information"},
    {302, "GSI - Disk Format Code information"},
    {303, "GSI - Display Standard Code information"},
    {304, "GSI - Character Code Table Number information"},
    {305, "GSI - Language Code information"},
    {306, "GSI - Original Programme Title information"},
    {307, "GSI - Original Episode Title information"},
    {308, "GSI - Translated Programme Title information"},
    {309, "GSI - Translated Episode Title information"},
    {310, "GSI - Translator's Name information"},
    {311, "GSI - Translator's Contact Details information"},
    {312, "GSI - Subtitle List Reference Code information"},
    {313, "GSI - Creation Date information"},
    {314, "GSI - Revision Date information"},
    {315, "GSI - Revision Number information"},
    {316, "GSI - Total Number Of TTI blocks information"},
    {317, "GSI - Total Number Of Subtitles information"},
    {318, "GSI - Total Number Of Subtitle Groups information"},
    {319, "GSI - Maximum Number Of Displayable Characters information"},
    {320, "GSI - Maximum Number Of Displayable Rows information"},
    {321, "GSI - Time Code Status information"},
    {322, "GSI - Time Code Start Of Programme information"},
    {323, "GSI - Time Code First In Cue information"},
    {324, "GSI - Total Number Of Disks information"},
    {325, "GSI - Disk Sequence Number information"},
    {326, "GSI - Country Of Origin information"},
    {327, "GSI - Publisher information"},
    {328, "GSI - Editor's Name information"},
    {329, "GSI - Editor's Contact Details information"},
    {401, "STL file size and Text And Timing Information blocks count check"},
    {402, "GSI - Code Page Number check"},
    {403, "GSI - Data Format Code check"},
    {404, "GSI - Display Standard Code check"},
    {405, "GSI - Character Code Table Number check"},
    {406, "GSI - Language Code check"},
    {407, "GSI - Creation Date check"},
    {408, "GSI - Revision Date check"},
    {409, "GSI - Revision Number check"},
    {410, "GSI - Total Number of TTI Blocks check"},
    {411, "GSI - Total Number of Subtitles check"},
    {412, "GSI - TNS and TNB check"},
    {413, "GSI - Total Number of Subtitle Groups check"},
    {414, "GSI - Maximum Number of Displayable Characters check"},
    {415, "GSI - Maximum Number of Displayable Rows check"},
    {416, "GSI - Time Code Status check"},
    {417, "GSI - Time Code Start-of-Programme check"},
    {418, "GSI - Time Code First in-cue check"},
    {419, "GSI - Total Number of Disks check"},
    {420, "GSI - Disk Sequence Number check"},
    {421, "GSI - DSN and TND check"},
    {422, "STL file size smaller than the announced TTI blocks count check"},
    {423, "STL file size bigger than the announced TTI blocks count check"},
    {424, "TTI blocks completeness check"},
    {425, "TTI - Dublicate Subtitle Number check"},
    {426, "TTI - Equal or Subsequent Subtitle Number check"},
    {427, "TTI - Cumulative Status check"},
    {428, "TTI - Time Code In - Hours check"},
    {429, "TTI - Time Code In - Minutes check"},
    {430, "TTI - Time Code In - Seconds check"},
    {431, "TTI - Time Code In - Frames check"},
    {432, "TTI - Time Code Out - Hours check"},
    {433, "TTI - Time Code Out - Minutes check"},
    {434, "TTI - Time Code Out - Seconds check"},
    {435, "TTI - Time Code Out - Frames check"},
    {436, "TTI - Time Code In value is equal to the Time Code Out check"},
    {437, "TTI - Time Code In value is greater than the Time Code Out check"},
    {438, "TTI - Vertical Position check"},
    {439, "TTI - Justification Code check"},
    {440, "TTI - Comment Flag check"},
};
static_assert(std::size(DEFAULT_RULES) == 79);

// The information rules (start, load, unload and the GSI lines of the reader) are always Info.
constexpr bool isInformationRule(std::int32_t id) {
    return (id >= 101 && id <= 103) || (id >= 301 && id <= 329);
}

}  // namespace

void addDefaultValidationSettings(RuleSettings& list) {
    for (const DefaultRule& rule : DEFAULT_RULES) {
        RuleSetting setting;
        setting.id = rule.id;
        setting.name = rule.name;
        setting.description = rule.name;
        setting.enabled = true;
        setting.enabledEditable = true;
        setting.reserved = 0;
        const bool information = isInformationRule(rule.id);
        setting.reportType = information ? REPORT_TYPE_INFO : REPORT_TYPE_ERROR;
        setting.reportTypeEditable = !information;
        list.addItem(setting);
    }
}

#include "CodePage.h"

#include "StlUtils.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"

std::u16string codePageToUnicode(std::string_view text, std::uint16_t codePage) {
    return platform::guarded("CodePageToUnicode", std::u16string(), [&]() -> std::u16string {
        if (text.empty()) return {};
        // A refused code page shows as empty text, without any message.
        return platform::multiByteToWideChar(codePage, text).value_or(std::u16string());
    });
}

std::u16string gsiFieldToDisplayString(const GeneralSubtitleInformation& gsi, const StlField& field,
                                       std::uint16_t codePage) {
    return platform::guarded("GSIFieldToDisplayString", std::u16string(), [&]() {
        const std::string bytes =
            stlTextToString(gsi.bytes + field.offset, field.length, StlVariant::Viewer);
        return std::u16string(trimControl(codePageToUnicode(bytes, codePage)));
    });
}

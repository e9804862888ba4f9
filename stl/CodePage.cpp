#include "CodePage.h"

#include "STLUtils.h"
#include "platform/CodePage.h"
#include "platform/Guarded.h"

std::u16string CodePageToUnicode(std::string_view Text, std::uint16_t CodePage) {
    return platform::guarded("CodePageToUnicode", std::u16string(), [&]() -> std::u16string {
        if (Text.empty()) return {};
        // A refused code page shows as empty text, without any message.
        return platform::multiByteToWideChar(CodePage, Text).value_or(std::u16string());
    });
}

std::u16string GSIFieldToDisplayString(const TGeneralSubtitleInformation& Gsi,
                                       const STLField& Field) {
    return platform::guarded("GSIFieldToDisplayString", std::u16string(), [&]() {
        const std::string bytes =
            STLTextToString(Gsi.Bytes + Field.Offset, Field.Length, TSTLVariant::Viewer);
        return std::u16string(TrimControl(CodePageToUnicode(bytes, 0)));
    });
}

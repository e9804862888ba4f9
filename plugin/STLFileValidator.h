#pragma once
// Checks an STL file that the plug-in's reader has opened: the GSI fields, the file size against
// the announced TTI count, then every TTI block. Every finding is proposed as an Error of module
// 7 under its rule (402-440); the settings list decides what reaches the host.

#include <bitset>
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"
#include "stl/ReportFunction.h"

class TSTLReader;

class TSTLFileValidator {
public:
    TSTLFileValidator();
    ~TSTLFileValidator();
    TSTLFileValidator(const TSTLFileValidator&) = delete;
    TSTLFileValidator& operator=(const TSTLFileValidator&) = delete;

    HRESULT SetReportFunction(TReportFunction Callback);
    // E_FAIL without a callback (the finding is lost); otherwise the callback's result.
    HRESULT Report(std::int32_t Module, std::int32_t ReportType, const std::string& ReportMessage,
                   std::int32_t ValidationID);
    void ClearSubtitleNumbers();
    // S_OK when every check ran; E_FAIL without a reader, without a GSI block or on a failure.
    // Runs on the calling thread to its end; not interruptible.
    HRESULT ValidateSTL(TSTLReader* Reader);

private:
    void ValidateGSI(const std::uint8_t* Gsi, std::int32_t& AnnouncedCount);
    void ValidateFileSize(TSTLReader& Reader, std::int32_t AnnouncedCount);
    void ValidateTTIs(TSTLReader& Reader, std::int32_t AnnouncedCount);

    TReportFunction FReportFunction;
    std::bitset<65536> FSubtitleNumbers;  // one flag per possible subtitle number
};

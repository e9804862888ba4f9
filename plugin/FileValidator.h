#pragma once
// Checks an STL file that the plug-in's reader has opened: the GSI fields, the file size against
// the announced TTI count, then every TTI block. Every finding is proposed as an Error of module
// 7 under its rule (402-440); the settings list decides what reaches the host.

#include <bitset>
#include <cstdint>
#include <string>

#include "platform/WinTypes.h"
#include "stl/ReportFunction.h"

class StlReader;
class DeliverySettings;
class DeliveryChecks;

class FileValidator {
public:
    FileValidator();
    ~FileValidator();
    FileValidator(const FileValidator&) = delete;
    FileValidator& operator=(const FileValidator&) = delete;

    HRESULT setReportFunction(ReportFunction callback);
    // E_FAIL without a callback (the finding is lost); otherwise the callback's result.
    HRESULT report(std::int32_t module, std::int32_t reportType, const std::string& reportMessage,
                   std::int32_t validationId);
    void clearSubtitleNumbers();
    // S_OK when every check ran; E_FAIL without a reader, without a GSI block or on a failure.
    // Runs on the calling thread to its end; not interruptible.
    HRESULT validateStl(StlReader* reader);
    // The delivery rules to run in the same walk as the others; none when null. Not owned.
    void setDeliverySettings(const DeliverySettings* settings) { m_deliverySettings = settings; }

private:
    void validateGsi(const std::uint8_t* gsi, std::int32_t& announcedCount);
    void validateFileSize(StlReader& reader, std::int32_t announcedCount);
    // The number of blocks walked: the announced count, or where a block could not be read.
    std::int32_t validateTtIs(StlReader& reader, std::int32_t announcedCount,
                              DeliveryChecks* delivery);
    void feedBlocksPastAnnounced(StlReader& reader, std::int32_t from, DeliveryChecks& delivery);

    ReportFunction m_reportFunction;
    const DeliverySettings* m_deliverySettings = nullptr;
    std::bitset<65536> m_subtitleNumbers;  // one flag per possible subtitle number
};

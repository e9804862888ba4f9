#include "QuorvexControlInterface.h"

const char* reportTypeName(std::int32_t ReportType) {
    switch (ReportType) {
        case REPORT_TYPE_NONE:
            return "None";
        case REPORT_TYPE_INFO:
            return "Info";
        case REPORT_TYPE_WARNING:
            return "Warning";
        case REPORT_TYPE_ERROR:
            return "Error";
        default:
            return "Unknown";
    }
}

const char* moduleDisplayName(std::int32_t Module) {
    switch (Module) {
        case 0:
            return "None";
        case 1:
            return "Demuxer";
        case 2:
            return "Video";
        case 3:
            return "Audio";
        case 4:
            return "Timecode";
        case 5:
            return "Closed Captions";
        case 6:
            return "Teletext";
        case MODULE_SIEVRA:
            return "Sievra";
        case 99:
            return "Host";
        case 101:
            return "User Script";
        default:
            return "Unknown";
    }
}

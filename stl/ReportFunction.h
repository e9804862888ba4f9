#pragma once
// The report callback inside the plug-in: a function bound to an object.

#include <cstdint>

#include "platform/WinTypes.h"

using TReportCallback = HRESULT(QVX_STDCALL*)(void* Context, std::int32_t Module,
                                              std::int32_t ReportType, const char* ReportMessage,
                                              std::int32_t ValidationID);

struct TReportFunction {
    void* Context = nullptr;
    TReportCallback Function = nullptr;

    explicit operator bool() const { return Function != nullptr; }
};

// Report types.
constexpr std::int32_t REPORT_TYPE_NONE = 0;
constexpr std::int32_t REPORT_TYPE_INFO = 1;
constexpr std::int32_t REPORT_TYPE_WARNING = 2;
constexpr std::int32_t REPORT_TYPE_ERROR = 3;

// Module identifier of the subtitle validator plug-in.
constexpr std::int32_t MODULE_SIEVRA = 7;

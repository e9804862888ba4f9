#pragma once
// The report callback inside the plug-in: a function bound to an object.

#include <cstdint>

#include "platform/WinTypes.h"

using ReportCallback = HRESULT(QVX_STDCALL*)(void* context, std::int32_t module,
                                             std::int32_t reportType, const char* reportMessage,
                                             std::int32_t validationId);

struct ReportFunction {
    void* context = nullptr;
    ReportCallback function = nullptr;

    explicit operator bool() const { return function != nullptr; }
};

// Report types.
constexpr std::int32_t REPORT_TYPE_NONE = 0;
constexpr std::int32_t REPORT_TYPE_INFO = 1;
constexpr std::int32_t REPORT_TYPE_WARNING = 2;
constexpr std::int32_t REPORT_TYPE_ERROR = 3;

// Module identifier of the subtitle validator plug-in.
constexpr std::int32_t MODULE_SIEVRA = 7;

#include "RefusalReason.h"

#include "stl/StlReader.h"

namespace validationhost {
namespace {

HRESULT QVX_STDCALL keepError(void* context, std::int32_t, std::int32_t reportType,
                              const char* reportMessage, std::int32_t) {
    if (reportType == REPORT_TYPE_ERROR && reportMessage)
        *static_cast<std::string*>(context) = reportMessage;
    return S_OK;
}

}  // namespace

std::string refusalReason(const std::string& path) {
    std::string reason;
    StlReader reader(StlVariant::Plugin);
    reader.setReportFunction(ReportFunction{&reason, &keepError});
    // The same test the plug-in runs before it loads a file: size check on.
    if (reader.openFile(path, true) == S_OK) return {};
    return reason;
}

}  // namespace validationhost

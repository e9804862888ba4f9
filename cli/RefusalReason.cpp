#include "RefusalReason.h"

#include "stl/STLReader.h"

namespace cli {
namespace {

HRESULT QVX_STDCALL KeepError(void* Context, std::int32_t, std::int32_t ReportType,
                              const char* ReportMessage, std::int32_t) {
    if (ReportType == REPORT_TYPE_ERROR && ReportMessage)
        *static_cast<std::string*>(Context) = ReportMessage;
    return S_OK;
}

}  // namespace

std::string RefusalReason(const std::string& Path) {
    std::string reason;
    TSTLReader reader(TSTLVariant::Plugin);
    reader.SetReportFunction(TReportFunction{&reason, &KeepError});
    // The same test the plug-in runs before it loads a file: size check on.
    if (reader.OpenFile(Path, true) == S_OK) return {};
    return reason;
}

}  // namespace cli

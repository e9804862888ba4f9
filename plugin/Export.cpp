// The plug-in's only export.

#include "SievraControl.h"
#include "platform/Guarded.h"

extern "C" __attribute__((visibility("default"))) std::int32_t QVX_STDCALL
GetQuorvexControl(IQuorvexControl** control) {
    if (!control) return -1;
    try {
        *control = nullptr;
        *control = new SievraControl();  // the caller holds its one reference
        return 0;
    } catch (...) {
        platform::reportError("GetQuorvexControl", "cannot load Sievra module.");
        return -1;
    }
}

// Checked at compile time against the host's view of the export.
static_assert(std::is_same_v<decltype(&GetQuorvexControl), GetQuorvexControlFunction>);

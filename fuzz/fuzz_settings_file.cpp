// The settings file parser on arbitrary text: whatever it accepts, the writer's text of that
// store must parse back to the same store, and writing that again must give the same text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/RegistryStore.h"

namespace {

using platform::registry::Store;

bool sameStore(const Store& a, const Store& b) {
    if (a.keys.size() != b.keys.size()) return false;
    for (auto i = a.keys.begin(), j = b.keys.begin(); i != a.keys.end(); ++i, ++j) {
        if (i->first != j->first || i->second.names != j->second.names ||
            i->second.values != j->second.values)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    // The file handling's two encodings: regedit's UTF-16LE with its mark, or UTF-8.
    if (text.starts_with("\xFF\xFE")) text = platform::registry::utf16LeToUtf8(text.substr(2));

    Store store;
    if (platform::registry::parse(text, store)) return 0;
    const std::string written = platform::registry::serialize(store);
    Store again;
    if (platform::registry::parse(written, again)) std::abort();
    if (!sameStore(store, again)) std::abort();
    if (platform::registry::serialize(again) != written) std::abort();
    return 0;
}

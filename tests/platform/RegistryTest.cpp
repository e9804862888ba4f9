#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RegistryStore.h"

namespace {

using platform::registry::Store;

std::vector<std::vector<std::string>> spellings(const Store& store) {
    std::vector<std::vector<std::string>> out;
    for (const auto& [id, key] : store.keys) out.push_back(key.names);
    return out;
}

// The store as written must read back as the same keys, spelt the same way, whatever order and
// case the keys came in: a key named again with other case keeps the first spelling.
TEST(RegistryStoreText, WrittenStoreReadsBackSpeltAsFirstSeen) {
    struct Case {
        const char* what;
        const char* keys;
        std::vector<std::vector<std::string>> expected;
    };
    const Case cases[] = {
        {"parent after its child, other case",
         "[HKEY_CURRENT_USER\\3]\n[HKEY_CuRRENT_USER]\n",
         {{"HKEY_CURRENT_USER"}, {"HKEY_CURRENT_USER", "3"}}},
        {"middle key after its child, other case",
         "[HKEY_CURRENT_USER\\Soft\\Lum]\n[hkey_current_user\\SOFT]\n",
         {{"HKEY_CURRENT_USER", "Soft"}, {"HKEY_CURRENT_USER", "Soft", "Lum"}}},
        {"child after its parent, other case",
         "[HKEY_CURRENT_USER\\Soft]\n[HKEY_CURRENT_USER\\SOFT\\a]\n",
         {{"HKEY_CURRENT_USER", "Soft"}, {"HKEY_CURRENT_USER", "Soft", "a"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Store store;
        ASSERT_FALSE(platform::registry::parse(
            std::string("Windows Registry Editor Version 5.00\r\n\r\n") + c.keys, store));
        EXPECT_EQ(spellings(store), c.expected);
        const std::string written = platform::registry::serialize(store);
        Store again;
        ASSERT_FALSE(platform::registry::parse(written, again));
        EXPECT_EQ(spellings(again), c.expected);
        EXPECT_EQ(platform::registry::serialize(again), written);
    }
}

}  // namespace

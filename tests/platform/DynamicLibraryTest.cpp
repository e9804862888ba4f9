#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "platform/DynamicLibrary.h"
#include "tests/support/TestEnvironment.h"

namespace {

using CosFunction = double (*)(double);

TEST(DynamicLibrary, LoadsSharedObjectAndFindsExport) {
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.load("libm.so.6")) << library.lastError();
    EXPECT_TRUE(library.isLoaded());
    auto cosine = reinterpret_cast<CosFunction>(library.symbol("cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);

    EXPECT_EQ(library.symbol("no_such_function_here"), nullptr);
    EXPECT_FALSE(library.lastError().empty());
}

TEST(DynamicLibrary, FailuresLeaveItUnloadedWithAReason) {
    testsupport::TempDir dir;
    const std::string notALibrary = dir.file("Sievra.zkx");
    std::ofstream(notALibrary) << "this is not an ELF file";

    for (const std::string& path : {notALibrary, dir.file("missing.zkx"), std::string()}) {
        platform::DynamicLibrary library;
        EXPECT_FALSE(library.load(path)) << path;
        EXPECT_FALSE(library.isLoaded());
        EXPECT_FALSE(library.lastError().empty()) << path;
        EXPECT_EQ(library.symbol("cos"), nullptr);
    }
}

TEST(DynamicLibrary, MoveTransfersOwnership) {
    platform::DynamicLibrary first;
    ASSERT_TRUE(first.load("libm.so.6"));
    platform::DynamicLibrary second(std::move(first));
    EXPECT_FALSE(first.isLoaded());
    ASSERT_TRUE(second.isLoaded());
    EXPECT_NE(second.symbol("cos"), nullptr);

    platform::DynamicLibrary third;
    third = std::move(second);
    EXPECT_FALSE(second.isLoaded());
    EXPECT_NE(third.symbol("sin"), nullptr);
    third.unload();
    EXPECT_FALSE(third.isLoaded());
    EXPECT_EQ(third.symbol("sin"), nullptr);
}

}  // namespace

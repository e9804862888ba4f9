// The binary contract of Sievra.zkx, driven only through dlopen, the export and the vtables.

#include <filesystem>
#include <fstream>
#include <functional>

#include "PluginTestSupport.h"
#include "platform/Registry.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

using namespace plugintest;

namespace {

constexpr const char* SIEVRA_KEY = "SOFTWARE\\Vantorel\\Quorvex\\Modules\\Sievra";

class ContractTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.ok()) << module.error(); }

    std::string validFile(int blocks = 3) {
        return testsupport::StlFileBuilder().addBlocks(blocks).writeTo(dir.file("ok.stl"));
    }

    testsupport::ScopedConfigHome config;
    testsupport::TempDir dir;
    SievraModule module;
};

TEST_F(ContractTest, ExportWithNullOutputFailsAndCreatesNothing) {
    EXPECT_EQ(module.call(nullptr), -1);
    // An object would have read (and so created) its registry key.
    EXPECT_FALSE(std::filesystem::exists(platform::registryFilePath()));
}

TEST_F(ContractTest, ExportHandsOutOneReferenceToAFreshObject) {
    IQuorvexControl* control = reinterpret_cast<IQuorvexControl*>(0x1);
    ASSERT_EQ(module.call(&control), 0);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->AddRef(), 2u);
    EXPECT_EQ(control->Release(), 1u);
    EXPECT_EQ(control->Release(), 0u);
}

TEST_F(ContractTest, QueryInterfaceAnswersTheThreeInterfacesAndIUnknownOnly) {
    auto control = module.create();
    void* identity = nullptr;
    ASSERT_EQ(control->QueryInterface(iidIUnknown, &identity), S_OK);
    static_cast<IUnknown*>(identity)->Release();

    struct Case {
        const char* name;
        GUID iid;
        HRESULT expected;
    };
    const GUID random = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    const Case cases[] = {
        {"IUnknown", iidIUnknown, S_OK},
        {"IQuorvexControl", iidIQuorvexControl, S_OK},
        {"IQuorvexVideoControl", iidIQuorvexVideoControl, S_OK},
        {"IQuorvexReportSet", iidIQuorvexReportSet, S_OK},
        {"IQuorvexReport", iidIQuorvexReport, E_NOINTERFACE},
        {"unknown", random, E_NOINTERFACE},
    };
    // Every interface of the object answers the same way, and every answer leads back to the
    // same object.
    auto video = query<IQuorvexVideoControl>(control.get(), iidIQuorvexVideoControl);
    auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
    ASSERT_TRUE(video && reportSet);
    IUnknown* askers[] = {control.get(), video.get(), reportSet.get()};
    for (IUnknown* asker : askers) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            void* out = reinterpret_cast<void*>(0x1);
            EXPECT_EQ(asker->QueryInterface(c.iid, &out), c.expected);
            if (c.expected != S_OK) {
                EXPECT_EQ(out, nullptr);
                continue;
            }
            ASSERT_NE(out, nullptr);
            auto* unknown = static_cast<IUnknown*>(out);
            void* back = nullptr;
            ASSERT_EQ(unknown->QueryInterface(iidIUnknown, &back), S_OK);
            EXPECT_EQ(back, identity);
            static_cast<IUnknown*>(back)->Release();
            unknown->Release();
        }
    }
    EXPECT_EQ(control->QueryInterface(iidIQuorvexControl, nullptr), E_POINTER);
}

// QueryInterface as a C host calls it: slot 0 with the identifier passed by pointer.
HRESULT rawQueryInterface(IUnknown* object, const GUID* iid, void** out) {
    using Slot = HRESULT(QVX_STDCALL*)(IUnknown*, const GUID*, void**);
    return (*reinterpret_cast<Slot* const*>(object))[0](object, iid, out);
}

TEST_F(ContractTest, QueryInterfaceWithANullArgumentFailsAndChangesNothing) {
    auto control = module.create();
    auto video = query<IQuorvexVideoControl>(control.get(), iidIQuorvexVideoControl);
    auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
    ASSERT_TRUE(video && reportSet);
    const std::uint32_t refs = control->AddRef() - 1;
    control->Release();

    IUnknown* askers[] = {control.get(), video.get(), reportSet.get()};
    for (IUnknown* asker : askers) {
        void* sentinel = reinterpret_cast<void*>(0x1);
        void* out = sentinel;
        EXPECT_EQ(rawQueryInterface(asker, nullptr, &out), E_POINTER);
        EXPECT_EQ(out, sentinel);
        EXPECT_EQ(rawQueryInterface(asker, nullptr, nullptr), E_POINTER);
        EXPECT_EQ(rawQueryInterface(asker, &iidIQuorvexControl, nullptr), E_POINTER);
    }
    EXPECT_EQ(control->AddRef() - 1, refs);
    control->Release();

    // The object still answers normally afterwards.
    void* out = nullptr;
    ASSERT_EQ(rawQueryInterface(control.get(), &iidIQuorvexReportSet, &out), S_OK);
    EXPECT_EQ(out, reportSet.get());
    static_cast<IUnknown*>(out)->Release();
}

TEST_F(ContractTest, NullOutputsFailCleanlyWithAFileLoaded) {
    ReportRecorder sink;  // outlives the object, which releases it when it goes
    auto control = module.create();
    auto video = query<IQuorvexVideoControl>(control.get(), iidIQuorvexVideoControl);
    auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
    ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);
    ASSERT_EQ(control->LoadFile(validFile().c_str()), S_OK);
    struct Case {
        const char* name;
        std::function<HRESULT()> call;
        HRESULT expected;
    };
    const Case cases[] = {
        {"GetModuleName", [&] { return control->GetModuleName(nullptr); }, E_FAIL},
        {"GetMediaDuration", [&] { return control->GetMediaDuration(nullptr); }, E_FAIL},
        {"GetMediaPosition", [&] { return control->GetMediaPosition(nullptr); }, E_FAIL},
        {"GetProgress", [&] { return control->GetProgress(nullptr); }, E_FAIL},
        {"QueryVideoValue", [&] { return video->QueryVideoValue(nullptr); }, E_NOTIMPL},
        {"QueryVideoValueAt", [&] { return video->QueryVideoValueAt(0, nullptr); }, E_NOTIMPL},
        {"SetQuorvexReport", [&] { return reportSet->SetQuorvexReport(nullptr); }, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.call(), c.expected);
    }
    // The loaded file is still there to validate and to unload.
    std::int64_t duration = -1;
    EXPECT_EQ(control->GetMediaDuration(&duration), S_OK);
    EXPECT_EQ(control->UnloadFile(), S_OK);
}

TEST_F(ContractTest, ModuleNameAndVideoControl) {
    auto control = module.create();
    const char* name = nullptr;
    EXPECT_EQ(control->GetModuleName(&name), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "Sievra");
    EXPECT_EQ(control->GetModuleName(nullptr), E_FAIL);

    auto video = query<IQuorvexVideoControl>(control.get(), iidIQuorvexVideoControl);
    ASSERT_TRUE(video);
    std::int32_t value = 42;
    EXPECT_EQ(video->QueryVideoValue(&value), E_NOTIMPL);
    EXPECT_EQ(value, 0);
    value = 42;
    EXPECT_EQ(video->QueryVideoValueAt(3, &value), E_NOTIMPL);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(video->QueryVideoValueAt(-1, nullptr), E_NOTIMPL);
    EXPECT_EQ(video->QueryVideoValue(nullptr), E_NOTIMPL);
}

TEST_F(ContractTest, WorkerBoundCallsFailWithoutALoadedFile) {
    // The sink outlives the object, which gives its reference back when it goes.
    ReportRecorder sink;
    auto control = module.create();
    std::int64_t i64 = 7;
    double progress = 7;
    struct Case {
        const char* name;
        std::function<HRESULT()> call;
    };
    const Case cases[] = {
        {"UnloadFile", [&] { return control->UnloadFile(); }},
        {"Play", [&] { return control->Play(); }},
        {"Stop", [&] { return control->Stop(); }},
        {"GetProgress", [&] { return control->GetProgress(&progress); }},
        {"GetMediaDuration", [&] { return control->GetMediaDuration(&i64); }},
        {"GetMediaPosition", [&] { return control->GetMediaPosition(&i64); }},
    };
    auto check = [&](const char* when) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " " + when);
            EXPECT_EQ(c.call(), E_FAIL);
        }
    };
    check("before any load");

    // A file that fails the quick test creates no worker either.
    auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
    ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);
    std::ofstream(dir.file("short.stl")) << "not an stl file";
    EXPECT_EQ(control->LoadFile(dir.file("short.stl").c_str()), E_FAIL);
    EXPECT_EQ(control->LoadFile(dir.file("missing.stl").c_str()), E_FAIL);
    EXPECT_EQ(control->LoadFile(nullptr), E_FAIL);
    EXPECT_TRUE(sink.findings().empty());
    check("after a refused load");

    // And after a completed unload there is none again.
    ASSERT_EQ(control->LoadFile(validFile().c_str()), S_OK);
    ASSERT_EQ(control->UnloadFile(), S_OK);
    check("after unload");
    EXPECT_EQ(progress, 7);
    EXPECT_EQ(i64, 7);
}

TEST_F(ContractTest, SetQuorvexReportNullKeepsThePreviousSink) {
    ReportRecorder first, second;  // declared first, so they outlive the object
    auto control = module.create();
    auto reportSet = query<IQuorvexReportSet>(control.get(), iidIQuorvexReportSet);
    ASSERT_EQ(reportSet->SetQuorvexReport(&first), S_OK);
    {
        StderrCapture err;
        EXPECT_EQ(reportSet->SetQuorvexReport(nullptr), E_INVALIDARG);
        EXPECT_TRUE(err.contains("vyr: Error in TSievra.SetQuorvexReport call..."));
    }
    ASSERT_EQ(control->LoadFile(validFile().c_str()), S_OK);
    ASSERT_FALSE(first.findings().empty());
    EXPECT_EQ(first.findings().front().rule(), 101);

    // A new sink replaces the old one, and the old one gets its references back.
    ASSERT_EQ(reportSet->SetQuorvexReport(&second), S_OK);
    EXPECT_EQ(first.refs(), 0);
    EXPECT_EQ(control->UnloadFile(), S_OK);
    EXPECT_EQ(second.rules(), std::vector<int>{103});
}

// The host may release its interfaces in any order; the object lives until the last one goes,
// then gives back every reference it took on the sink; its registry keys exist from creation on.
class ReleaseOrderTest : public ContractTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ReleaseOrderTest, ObjectLivesUntilTheLastReference) {
    const bool controlFirst = GetParam();
    ReportRecorder sink;
    IQuorvexControl* control = nullptr;
    ASSERT_EQ(module.call(&control), 0);
    void* out = nullptr;
    ASSERT_EQ(control->QueryInterface(iidIQuorvexReportSet, &out), S_OK);
    auto* reportSet = static_cast<IQuorvexReportSet*>(out);
    ASSERT_EQ(control->QueryInterface(iidIQuorvexVideoControl, &out), S_OK);
    auto* video = static_cast<IQuorvexVideoControl*>(out);
    ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);
    ASSERT_EQ(control->LoadFile(validFile().c_str()), S_OK);
    ASSERT_GT(sink.refs(), 0);

    EXPECT_EQ(video->Release(), 2u);
    if (controlFirst) {
        EXPECT_EQ(control->Release(), 1u);
        ASSERT_EQ(reportSet->SetQuorvexReport(&sink), S_OK);  // still alive
        EXPECT_EQ(reportSet->Release(), 0u);
    } else {
        EXPECT_EQ(reportSet->Release(), 1u);
        const char* name = nullptr;
        EXPECT_EQ(control->GetModuleName(&name), S_OK);
        EXPECT_EQ(control->Release(), 0u);
    }
    EXPECT_EQ(sink.refs(), 0);
    auto key = platform::RegistryKey::open(SIEVRA_KEY, false);
    ASSERT_TRUE(key);
    std::uint32_t value = 0;
    EXPECT_TRUE(key->readDWord("PLAY_TIMEOUT_MS", value));
    EXPECT_TRUE(platform::RegistryKey::exists(std::string(SIEVRA_KEY) + "\\ValidationSettings"));
}

INSTANTIATE_TEST_SUITE_P(Contract, ReleaseOrderTest, ::testing::Bool(), [](const auto& info) {
    return info.param ? "ControlFirst" : "ReportSetFirst";
});

TEST_F(ContractTest, TwoObjectsKeepSeparateStateAndShareTheRegistry) {
    auto key = platform::RegistryKey::open(SIEVRA_KEY, true);
    ASSERT_TRUE(key && key->writeDWord("PLAY_TIMEOUT_MS", 0));
    ReportRecorder sinkA, sinkB;  // declared first, so they outlive the objects
    auto a = module.create();
    auto b = module.create();
    ASSERT_NE(a.get(), b.get());
    query<IQuorvexReportSet>(a.get(), iidIQuorvexReportSet)->SetQuorvexReport(&sinkA);
    query<IQuorvexReportSet>(b.get(), iidIQuorvexReportSet)->SetQuorvexReport(&sinkB);

    ASSERT_EQ(a->LoadFile(validFile().c_str()), S_OK);
    EXPECT_EQ(b->Play(), E_FAIL);  // b has no file
    EXPECT_TRUE(sinkB.findings().empty());

    // Both read the zero play time-out.
    ASSERT_EQ(b->LoadFile(validFile().c_str()), S_OK);
    sinkA.clear();
    sinkB.clear();
    EXPECT_EQ(a->Play(), E_FAIL);
    EXPECT_EQ(b->Play(), E_FAIL);
    EXPECT_EQ(sinkA.findings().front().rule(), 106);
    EXPECT_EQ(sinkB.findings().front().rule(), 106);
}

}  // namespace

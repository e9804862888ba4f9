#pragma once
// What the reader tests share: a report sink that records every report, the reader's
// diagnostics, and a fixture with a temporary folder and captured debug output.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "stl/StlReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace stlreadertest {

using testsupport::StlFileBuilder;

struct ReportLog {
    struct Entry {
        std::int32_t module, type;
        std::string text;
        std::int32_t id;
    };
    std::vector<Entry> entries;
    HRESULT result = S_OK;

    static HRESULT QVX_STDCALL callback(void* context, std::int32_t module, std::int32_t type,
                                        const char* message, std::int32_t id) {
        auto* log = static_cast<ReportLog*>(context);
        log->entries.push_back({module, type, message, id});
        return log->result;
    }
    ReportFunction function() { return {this, &ReportLog::callback}; }

    std::vector<std::int32_t> ids() const {
        std::vector<std::int32_t> all;
        for (const auto& e : entries) all.push_back(e.id);
        return all;
    }
    std::string textOf(std::int32_t id) const {
        for (const auto& e : entries)
            if (e.id == id) return e.text;
        return "<missing>";
    }
};

inline std::vector<std::int32_t> gsiLineIds() {
    std::vector<std::int32_t> ids;
    for (int id = 301; id <= 329; ++id) ids.push_back(id);
    return ids;
}

inline std::vector<std::int32_t> append(std::vector<std::int32_t> ids, std::int32_t id) {
    ids.push_back(id);
    return ids;
}

inline const std::string kFileNotFound = "vyr: Error in TSTLReader.OpenFile - file not found.";
inline const std::string kOpenFailed = "vyr: Error in TSTLReader.OpenFile call...";
inline const std::string kInvalidSize =
    "vyr: Error in TSTLReader.OpenFile - invalid STL file size.";
inline const std::string kInvalidIndex =
    "vyr: Error in TSTLReader.GetTextAndTimingInformation - invalid index.";
inline const std::string kCannotRead =
    "vyr: Error in TSTLReader.GetTextAndTimingInformation - cannot read Text And Timing "
    "Information.";

class ReaderTest : public ::testing::Test {
protected:
    std::string write(const StlFileBuilder& builder, const std::string& name = "file.stl") {
        return builder.writeTo(dir.file(name));
    }
    std::string writeBytes(std::size_t size) {
        const std::string path = dir.file("raw.stl");
        std::ofstream(path, std::ios::binary) << std::string(size, ' ');
        return path;
    }
    HRESULT open(StlReader& reader, const std::string& path, bool checkSize = true) {
        reader.setReportFunction(log.function());
        return reader.openFile(path, checkSize);
    }

    testsupport::TempDir dir;
    testsupport::DebugCapture debug;
    ReportLog log;
};

}  // namespace stlreadertest

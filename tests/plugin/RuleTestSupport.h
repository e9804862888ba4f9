#pragma once
// What the file validator tests share: a report sink that records findings, a run of the
// validator over a built file, and builders for the files the rules look at.

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/FileValidator.h"
#include "stl/StlReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace ruletest {

using testsupport::StlFileBuilder;

struct Finding {
    std::int32_t id;
    std::string message;
    bool operator==(const Finding&) const = default;
};

inline void PrintTo(const Finding& f, std::ostream* out) {
    *out << f.id << " \"" << f.message << "\"";
}

struct FindingSink {
    std::vector<Finding> findings;
    int wrongModuleOrType = 0;

    ReportFunction function() { return {this, &FindingSink::callback}; }

    static HRESULT QVX_STDCALL callback(void* context, std::int32_t module, std::int32_t reportType,
                                        const char* message, std::int32_t validationId) {
        auto* self = static_cast<FindingSink*>(context);
        if (module != MODULE_SIEVRA || reportType != REPORT_TYPE_ERROR) ++self->wrongModuleOrType;
        self->findings.push_back({validationId, message});
        return S_OK;
    }
};

// Writes a GSI field into a GSI copy, blank padded, as a file would hold it.
inline void putField(GeneralSubtitleInformation& gsi, const StlField& field,
                     std::string_view text) {
    for (std::size_t i = 0; i < field.length; ++i)
        gsi.bytes[field.offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0x20;
}

struct RunResult {
    HRESULT result;
    std::vector<Finding> findings;
    int wrongModuleOrType;
};

// Opens the file with the plug-in's reader (without its size check, so short files still open),
// optionally changes the reader's GSI copy (fields the reader itself refuses to open with), and
// validates it.
inline RunResult validate(const StlFileBuilder& file,
                          const std::function<void(GeneralSubtitleInformation&)>& patchGsi = {}) {
    testsupport::TempDir dir;
    const std::string path = file.writeTo(dir.file("test.stl"));
    StlReader reader(StlVariant::Plugin);
    EXPECT_EQ(reader.openFile(path, false), S_OK);
    if (patchGsi) {
        PGeneralSubtitleInformation gsi = nullptr;
        EXPECT_EQ(reader.getGeneralSubtitleInformation(&gsi), S_OK);
        patchGsi(*gsi);
    }
    FindingSink sink;
    FileValidator validator;
    validator.setReportFunction(sink.function());
    const HRESULT result = validator.validateStl(&reader);
    return {result, sink.findings, sink.wrongModuleOrType};
}

inline StlFileBuilder twoBlocks() {
    StlFileBuilder file;
    file.addBlocks(2);
    return file;
}

// Block 0 with its time codes set; block 1 as addBlocks made it.
inline StlFileBuilder withTimes(std::vector<std::uint8_t> in, std::vector<std::uint8_t> out,
                                const char* diskFormat = "STL25.01") {
    StlFileBuilder file = twoBlocks();
    file.gsi(gsi::diskFormatCode, diskFormat);
    file.blockBytes(0, tti::timeCodeIn.offset, std::move(in));
    file.blockBytes(0, tti::timeCodeOut.offset, std::move(out));
    return file;
}

inline StlFileBuilder withNumbers(std::vector<std::uint16_t> numbers) {
    StlFileBuilder file;
    for (std::uint16_t number : numbers) {
        StlFileBuilder::Block block;
        block.number = number;
        file.addBlock(block);
    }
    file.announce(static_cast<int>(numbers.size()));
    return file;
}

inline StlFileBuilder withGsi(const StlField& field, std::string_view text) {
    StlFileBuilder file = twoBlocks();
    file.gsi(field, text);
    return file;
}

inline StlFileBuilder withByte(int block, const StlField& field, std::uint8_t value) {
    StlFileBuilder file = twoBlocks();
    file.blockBytes(block, field.offset, {value});
    return file;
}

struct RuleCase {
    const char* name;
    std::function<StlFileBuilder()> file;
    std::function<void(GeneralSubtitleInformation&)> patchGsi;
    std::vector<Finding> expected;
};

inline void PrintTo(const RuleCase& ruleCase, std::ostream* out) {
    *out << ruleCase.name;
}

}  // namespace ruletest

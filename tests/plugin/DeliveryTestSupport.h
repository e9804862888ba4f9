#pragma once
// Runs the file validator with chosen delivery rules switched on, on files built from short
// subtitle descriptions.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "plugin/FileValidator.h"
#include "plugin/delivery/DeliveryRules.h"
#include "stl/StlReader.h"
#include "tests/support/StlFileBuilder.h"
#include "tests/support/TestEnvironment.h"

namespace deliverytest {

using testsupport::StlFileBuilder;

struct Finding {
    std::int32_t id;
    std::int32_t type;
    std::string message;
    bool operator==(const Finding&) const = default;
};

inline void PrintTo(const Finding& f, std::ostream* out) {
    *out << f.id << "/" << f.type << " \"" << f.message << "\"";
}

struct Sink {
    std::vector<Finding> findings;
    static HRESULT QVX_STDCALL callback(void* context, std::int32_t, std::int32_t type,
                                        const char* message, std::int32_t id) {
        static_cast<Sink*>(context)->findings.push_back({id, type, message});
        return S_OK;
    }
};

// A subtitle at 10:00:00:00 plus In and Out frames (25 fps).
inline StlFileBuilder::Block subtitle(std::uint16_t number, int in, int out,
                                      std::string_view text = "Text") {
    StlFileBuilder::Block b;
    b.number = number;
    auto put = [](std::uint8_t* tc, int frames) {
        frames += 36000 * 25;
        tc[0] = static_cast<std::uint8_t>(frames / (3600 * 25));
        tc[1] = static_cast<std::uint8_t>(frames / (60 * 25) % 60);
        tc[2] = static_cast<std::uint8_t>(frames / 25 % 60);
        tc[3] = static_cast<std::uint8_t>(frames % 25);
    };
    put(b.in, in);
    put(b.out, out);
    b.text = StlFileBuilder::text(text);
    return b;
}

inline StlFileBuilder fileOf(std::initializer_list<StlFileBuilder::Block> blocks) {
    StlFileBuilder file;
    for (const auto& b : blocks) file.addBlock(b);
    file.announce(static_cast<int>(blocks.size()));
    return file;
}

struct Switch {
    std::int32_t id;
    std::int32_t threshold = -1;   // -1: the default
    std::int32_t hundredths = -1;  // a threshold with decimals, in hundredths
};

inline std::vector<Finding> validate(const StlFileBuilder& file, const DeliverySettings* settings) {
    testsupport::TempDir dir;
    const std::string path = file.writeTo(dir.file("test.stl"));
    StlReader reader(StlVariant::Plugin);
    EXPECT_EQ(reader.openFile(path, false), S_OK);
    Sink sink;
    FileValidator validator;
    validator.setReportFunction({&sink, &Sink::callback});
    validator.setDeliverySettings(settings);
    EXPECT_EQ(validator.validateStl(&reader), S_OK);
    return sink.findings;
}

// Only the delivery findings, with the given rules switched on.
inline std::vector<Finding> deliveryFindings(const StlFileBuilder& file,
                                             const std::vector<Switch>& switches) {
    DeliverySettings settings;
    for (const Switch& s : switches) {
        DeliveryRule* rule = settings.find(s.id);
        rule->enabled = true;
        if (s.threshold >= 0) rule->threshold = s.threshold;
        if (s.hundredths >= 0) setThresholdHundredths(*rule, s.hundredths);
    }
    std::vector<Finding> findings;
    for (auto& f : validate(file, &settings))
        if (f.id >= 501) findings.push_back(std::move(f));
    return findings;
}

struct Case {
    const char* name;
    std::vector<Switch> switches;
    std::function<StlFileBuilder()> file;
    std::vector<Finding> expected;
};

inline void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

}  // namespace deliverytest

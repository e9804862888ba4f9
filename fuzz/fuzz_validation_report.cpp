// Runs every validation rule over arbitrary bytes opened as an STL file (the delivery rules too,
// all switched on, for half the inputs), writes the findings as the report file's XML and reads
// it back: it must parse and hold one REPORT per finding.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "host/HostText.h"
#include "host/ValidationReportXml.h"
#include "plugin/FileValidator.h"
#include "plugin/delivery/DeliveryRules.h"
#include "stl/StlReader.h"

namespace {

HRESULT QVX_STDCALL collect(void* context, std::int32_t module, std::int32_t reportType,
                            const char* message, std::int32_t) {
    // As the host stores a finding: its text read as the plug-in's narrow text.
    static_cast<std::vector<CustomReport>*>(context)->push_back(
        {module, reportType, validationhost::narrowToUtf8(message)});
    return S_OK;
}

const DeliverySettings& everyDeliveryRule() {
    static const DeliverySettings settings = [] {
        DeliverySettings all;
        for (const DeliveryRule& rule : std::vector<DeliveryRule>(all.rules()))
            all.find(rule.id)->enabled = true;
        return all;
    }();
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = fuzzinput::writeAsFile(data, size);
    std::vector<CustomReport> findings;
    const ReportFunction sink{&findings, &collect};

    StlReader reader(StlVariant::Plugin);
    reader.setReportFunction(sink);
    // Kept across inputs: with the numbers seen cleared it is in the state of a new one.
    static FileValidator validator;
    validator.clearSubtitleNumbers();
    validator.setReportFunction(sink);
    const bool delivery = (fuzzinput::selectorByte(data, size) & 1) != 0;
    validator.setDeliverySettings(delivery ? &everyDeliveryRule() : nullptr);
    if (reader.openFile(path, false) == S_OK) validator.validateStl(&reader);
    reader.closeFile();

    // The validated file's name as raw input bytes: whatever they are, the report stays XML.
    const std::string name(reinterpret_cast<const char*>(data), size < 40 ? size : 40);
    const std::string xml = validationhost::buildReportXml(name, findings);
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size())) std::abort();
    const pugi::xml_node root = doc.child("MEDIA_VALIDATION_REPORT");
    std::size_t reports = 0;
    for (const pugi::xml_node report : root.child("REPORT_SECTION").children()) {
        if (std::string(report.name()) != "REPORT") std::abort();
        if (report.attribute("INDEX").as_ullong(~0ull) != reports++) std::abort();
    }
    if (reports != findings.size()) std::abort();
    const auto header = root.child("MEDIA_VALIDATION_REPORT_HEADER_SECTION");
    if (header.child("LIST_ITEMS_COUNT").text().as_ullong(~0ull) != findings.size()) std::abort();
    return 0;
}

// The repair engine on any bytes: the fixes and their parameters come from two bytes of the
// header's user area, so a real file stays a real file. Checks: only bytes inside the listed edits
// change and the file keeps its length; a document repaired holds the same bytes as the file
// repaired; repairing the result again proposes nothing (the shift left out: it shifts again); a
// part of the changes is written without trouble.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "repair/Repair.h"
#include "repair/RepairFile.h"

namespace {

repair::Options optionsFrom(std::uint8_t a, std::uint8_t b) {
    repair::Options options;
    const unsigned bits = a | (unsigned{b} << 8);
    for (std::size_t i = 0; i < repair::FIX_COUNT; ++i)
        if (bits & (1u << i)) options.fixes.set(i);
    repair::Parameters& p = options.parameters;
    p.gapFrames = b % 5;
    p.minDurationFrames = 1 + a % 40;
    p.maxDurationFrames = (b & 0x40) ? a % 30 : 100 + b;
    p.shiftFrames = static_cast<std::int8_t>(a) * 37;
    if (b & 0x80) p.startOfProgrammeFrames = std::int64_t{a} * 9000;
    p.revisionDate = "240101";
    return options;
}

bool insideEdits(const repair::Proposal& proposal, std::uint64_t offset) {
    for (const repair::Change& change : proposal.changes)
        for (const repair::ByteEdit& edit : change.edits)
            if (offset >= edit.offset && offset < edit.offset + edit.bytes.size()) return true;
    return false;
}

std::string documentBytes(const subtitle::Document& document) {
    std::string bytes(reinterpret_cast<const char*>(document.gsi.bytes), GSI_BLOCK_SIZE);
    bytes.append(reinterpret_cast<const char*>(document.blocks.data()),
                 document.blocks.size() * TTI_BLOCK_SIZE);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Anything shorter has no header to repair; the readers refuse it.
    if (size < GSI_BLOCK_SIZE) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    subtitle::Document document = repair::documentOfBytes(input);
    const std::uint8_t second = data[1022];
    repair::Options options = optionsFrom(fuzzinput::selectorByte(data, size), second);
    const repair::Proposal proposal = repair::propose(document, options);

    std::string output = input;
    repair::applyChanges(output, proposal, repair::chooseAll(proposal));
    if (output.size() != input.size()) std::abort();
    for (std::size_t i = 0; i < size; ++i)
        if (output[i] != input[i] && !insideEdits(proposal, i)) std::abort();

    repair::applyChanges(document, proposal, repair::chooseAll(proposal));
    if (output.compare(0, documentBytes(document).size(), documentBytes(document)) != 0)
        std::abort();

    options.fixes.reset(static_cast<std::size_t>(repair::Fix::Shift));
    if (!repair::propose(repair::documentOfBytes(output), options).changes.empty()) std::abort();

    std::vector<bool> some(proposal.changes.size());
    for (std::size_t i = 0; i < some.size(); i += 2) some[i] = true;
    std::string part = input;
    repair::applyChanges(part, proposal, some);
    return 0;
}

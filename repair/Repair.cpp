#include "Repair.h"

#include <cstring>

#include "FixSteps.h"

namespace repair {
namespace {

bool isRevision(const Change& change) {
    return change.fix() == Fix::Revision;
}

// Whether any chosen change, the revision aside, writes a byte that Bytes does not hold already.
template <typename ByteAt>
bool anyChosenAlters(const Proposal& proposal, const std::vector<bool>& chosen, ByteAt byteAt) {
    for (std::size_t i = 0; i < proposal.changes.size(); ++i) {
        if (!chosen[i] || isRevision(proposal.changes[i])) continue;
        for (const ByteEdit& edit : proposal.changes[i].edits)
            for (std::size_t k = 0; k < edit.bytes.size(); ++k) {
                const std::uint8_t* at = byteAt(edit.offset + k);
                if (at && *at != static_cast<std::uint8_t>(edit.bytes[k])) return true;
            }
    }
    return false;
}

template <typename ByteAt>
void write(const Proposal& proposal, const std::vector<bool>& chosen, ByteAt byteAt) {
    const bool revise = anyChosenAlters(proposal, chosen, byteAt);
    for (std::size_t i = 0; i < proposal.changes.size(); ++i) {
        if (!chosen[i] || (isRevision(proposal.changes[i]) && !revise)) continue;
        for (const ByteEdit& edit : proposal.changes[i].edits)
            for (std::size_t k = 0; k < edit.bytes.size(); ++k)
                if (std::uint8_t* at = byteAt(edit.offset + k))
                    *at = static_cast<std::uint8_t>(edit.bytes[k]);
    }
}

// The byte at a file offset within a header and blocks; null past them.
auto documentBytes(GeneralSubtitleInformation& gsi, std::vector<TextAndTimingInformation>& blocks) {
    return [&gsi, &blocks](std::uint64_t offset) -> std::uint8_t* {
        if (offset < GSI_BLOCK_SIZE) return gsi.bytes + offset;
        const std::uint64_t block = (offset - GSI_BLOCK_SIZE) / TTI_BLOCK_SIZE;
        if (block >= blocks.size()) return nullptr;
        return blocks[block].bytes + (offset - GSI_BLOCK_SIZE) % TTI_BLOCK_SIZE;
    };
}

}  // namespace

Proposal propose(const subtitle::Document& document, const Options& options) {
    RepairWork work(document, options);
    if (document.blocks.size() != static_cast<std::size_t>(document.blocksPresent))
        return work.finish();  // read without its blocks: nothing can be written
    fixTiming(work);
    fixText(work);
    fixHeader(work);
    fixRevision(work);
    return work.finish();
}

std::vector<bool> chooseAll(const Proposal& proposal) {
    return std::vector<bool>(proposal.changes.size(), true);
}

void applyChanges(std::string& fileBytes, const Proposal& proposal,
                  const std::vector<bool>& chosen) {
    write(proposal, chosen, [&fileBytes](std::uint64_t offset) -> std::uint8_t* {
        if (offset >= fileBytes.size()) return nullptr;
        return reinterpret_cast<std::uint8_t*>(fileBytes.data()) + offset;
    });
}

void applyChanges(subtitle::Document& document, const Proposal& proposal,
                  const std::vector<bool>& chosen) {
    write(proposal, chosen, documentBytes(document.gsi, document.blocks));
    document = subtitle::assembleDocument(document.gsi, std::move(document.blocks));
}

void applyChange(GeneralSubtitleInformation& gsi, std::vector<TextAndTimingInformation>& blocks,
                 const Change& change) {
    const auto byteAt = documentBytes(gsi, blocks);
    for (const ByteEdit& edit : change.edits)
        for (std::size_t k = 0; k < edit.bytes.size(); ++k)
            if (std::uint8_t* at = byteAt(edit.offset + k))
                *at = static_cast<std::uint8_t>(edit.bytes[k]);
}

}  // namespace repair

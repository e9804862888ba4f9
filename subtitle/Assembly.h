#pragma once
// Which blocks make which subtitle. A subtitle is a chain of extension blocks: from a block to
// the one marked last (FFh), carried on by blocks of the same subtitle number or of the next
// extension number. User data (FEh) and reserved blocks (F0h-FDh) belong to no subtitle. Chains
// that break the rules are reported as facts and still give their subtitle.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "stl/StlTypes.h"
#include "stl/StlUtils.h"

namespace subtitle {

struct Subtitle {
    std::uint32_t firstBlock = 0;  // block index (0-based) of the chain's first block
    std::uint32_t lastBlock = 0;
    std::uint16_t number = 0;  // SN of the first block
    std::uint8_t group = 0;
    std::uint8_t cumulative = 0;  // 0 none, 1 first, 2 intermediate, 3 last part of a set
    std::uint8_t verticalPosition = 0;
    std::uint8_t justification = 0;
    bool comment = false;
    TimeCode in{};
    TimeCode out{};
    // The text fields of its blocks, each up to its first unused-space byte, joined (a character
    // may straddle two blocks).
    std::string text;
};

struct ChainFact {
    enum class Kind {
        NumberChanged,  // a block carries on the extension numbers under another subtitle number
        OutOfOrder,     // extension number Found where Expected was due
        Unterminated,   // the chain starting at Block never reaches an FFh block
    };
    Kind kind;
    std::uint32_t block;
    std::uint8_t found = 0;
    std::uint8_t expected = 0;
};

bool isUserData(const TextAndTimingInformation& block);
// User data or a reserved extension block number: no subtitle text.
bool isNonSubtitleBlock(const TextAndTimingInformation& block);

// Takes blocks in file order and hands on each subtitle once its chain is complete, and each fact
// as soon as it is known.
class Assembler {
public:
    using SubtitleSink = std::function<void(const Subtitle&)>;
    using FactSink = std::function<void(const ChainFact&)>;

    explicit Assembler(SubtitleSink subtitles, FactSink facts = {});
    void take(std::uint32_t index, const TextAndTimingInformation& block);
    // Hands on the last subtitle when its chain was left open.
    void finish();

    // The subtitle being put together; while a fact is handed on, the one it is about.
    const Subtitle& current() const { return m_current; }
    // Whether Block, taken next, would carry on the open chain rather than start one.
    bool continuesChain(const TextAndTimingInformation& block) const;

    std::uint32_t userDataBlocks() const { return m_userData; }
    std::uint32_t reservedBlocks() const { return m_reserved; }

private:
    void start(std::uint32_t index, const TextAndTimingInformation& block);
    void close();
    void fact(ChainFact::Kind kind, std::uint32_t block, std::uint8_t found = 0,
              std::uint8_t expected = 0);

    SubtitleSink m_subtitles;
    FactSink m_facts;
    Subtitle m_current;
    bool m_open = false;  // the current subtitle waits for more extension blocks
    std::uint8_t m_nextExtension = 0;
    std::uint32_t m_userData = 0;
    std::uint32_t m_reserved = 0;
};

// The used part of a block's text field: up to its first unused-space byte.
std::string_view usedText(const TextAndTimingInformation& block);

// A text field with the spaces that end each of its rows taken out, and as much unused space put
// after its text instead. Its used part ends a row only when EndsSubtitle: a row can carry on in
// the next block. Removed gets the number of spaces taken out.
std::string withoutRowEndSpaces(std::string_view field, bool endsSubtitle, std::size_t& removed);

}  // namespace subtitle

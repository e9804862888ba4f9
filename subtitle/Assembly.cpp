#include "Assembly.h"

#include <algorithm>
#include <cstring>

#include "TextCodes.h"

namespace subtitle {

bool isUserData(const TextAndTimingInformation& block) {
    return extensionBlockNumberOf(block) == code::userData;
}

bool isNonSubtitleBlock(const TextAndTimingInformation& block) {
    const std::uint8_t ebn = extensionBlockNumberOf(block);
    return ebn >= code::firstReserved && ebn != code::lastExtension;
}

std::string_view usedText(const TextAndTimingInformation& block) {
    const auto* field = block.bytes + tti::textField.offset;
    const void* end = std::memchr(field, code::unusedSpace, TTI_TEXT_FIELD_SIZE);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - field)
            : TTI_TEXT_FIELD_SIZE;
    return {reinterpret_cast<const char*>(field), length};
}

Assembler::Assembler(SubtitleSink subtitles, FactSink facts)
    : m_subtitles(std::move(subtitles)), m_facts(std::move(facts)) {}

void Assembler::fact(ChainFact::Kind kind, std::uint32_t block, std::uint8_t found,
                     std::uint8_t expected) {
    if (m_facts) m_facts({kind, block, found, expected});
}

void Assembler::take(std::uint32_t index, const TextAndTimingInformation& block) {
    const std::uint8_t extension = extensionBlockNumberOf(block);
    if (isNonSubtitleBlock(block)) {
        ++(extension == code::userData ? m_userData : m_reserved);
        return;
    }
    const std::uint16_t number = subtitleNumberOf(block);
    if (m_open) {
        const bool continues = extension == code::lastExtension || extension == m_nextExtension;
        // A block that carries on the numbering belongs to the chain whatever its number says.
        if (number != m_current.number && extension == m_nextExtension) {
            fact(ChainFact::Kind::NumberChanged, index);
            m_current.number = number;
        }
        if (number == m_current.number) {
            if (!continues) fact(ChainFact::Kind::OutOfOrder, index, extension, m_nextExtension);
            m_nextExtension = static_cast<std::uint8_t>(extension + 1);
            m_current.lastBlock = index;
            m_current.text += usedText(block);
            if (extension == code::lastExtension) close();
            return;
        }
        fact(ChainFact::Kind::Unterminated, m_current.firstBlock);
        close();
    }
    start(index, block);
}

bool Assembler::continuesChain(const TextAndTimingInformation& block) const {
    return m_open && !isNonSubtitleBlock(block) &&
           (subtitleNumberOf(block) == m_current.number ||
            extensionBlockNumberOf(block) == m_nextExtension);
}

void Assembler::start(std::uint32_t index, const TextAndTimingInformation& block) {
    const std::uint8_t* bytes = block.bytes;
    const std::uint8_t extension = extensionBlockNumberOf(block);
    m_current.firstBlock = m_current.lastBlock = index;
    m_current.number = subtitleNumberOf(block);
    m_current.group = bytes[tti::subtitleGroupNumber.offset];
    m_current.cumulative = bytes[tti::cumulativeStatus.offset];
    m_current.verticalPosition = bytes[tti::verticalPosition.offset];
    m_current.justification = bytes[tti::justificationCode.offset];
    m_current.comment = bytes[tti::commentFlag.offset] == 1;
    m_current.in = timeCodeAt(block, tti::timeCodeIn);
    m_current.out = timeCodeAt(block, tti::timeCodeOut);
    m_current.text.assign(usedText(block));
    if (extension != code::lastExtension && extension != 0)
        fact(ChainFact::Kind::OutOfOrder, index, extension, 0);
    m_open = true;
    m_nextExtension = static_cast<std::uint8_t>(extension + 1);
    if (extension == code::lastExtension) close();
}

void Assembler::close() {
    m_open = false;
    m_subtitles(m_current);
}

void Assembler::finish() {
    if (!m_open) return;
    fact(ChainFact::Kind::Unterminated, m_current.firstBlock);
    close();
}

std::string withoutRowEndSpaces(std::string_view field, bool endsSubtitle, std::size_t& removed) {
    const std::size_t used =
        std::min(field.find(static_cast<char>(code::unusedSpace)), field.size());
    std::string text;
    removed = 0;
    const auto endRow = [&] {
        const std::size_t kept = text.find_last_not_of(' ') + 1;  // npos + 1 is 0
        removed += text.size() - kept;
        text.resize(kept);
    };
    for (std::size_t k = 0; k < used; ++k) {
        if (static_cast<std::uint8_t>(field[k]) == code::lineBreak) endRow();
        text += field[k];
    }
    if (endsSubtitle) endRow();
    text.append(removed, static_cast<char>(code::unusedSpace));
    text += field.substr(used);
    return text;
}

}  // namespace subtitle

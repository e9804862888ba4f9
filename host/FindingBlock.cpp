#include "FindingBlock.h"

#include <string_view>

namespace validationhost {
namespace {

constexpr std::string_view BLOCK_MARK = "TTI # ";
constexpr std::string_view DELIVERY_SEPARATOR = " - ";
constexpr std::string_view DELIVERY_FIRST = "[501] ", DELIVERY_LAST = "[520] ";

// Digits at From as a block number, -1 when there are none or too many.
std::int32_t blockAt(const std::string& text, std::size_t from, std::size_t& end) {
    std::int64_t value = 0;
    end = from;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9' && end - from < 10)
        value = value * 10 + (text[end++] - '0');
    if (end == from || value > INT32_MAX) return -1;
    return static_cast<std::int32_t>(value);
}

bool isDeliveryFinding(std::string_view message) {
    if (message.size() < DELIVERY_FIRST.size()) return false;
    const std::string_view prefix = message.substr(0, DELIVERY_FIRST.size());
    return prefix >= DELIVERY_FIRST && prefix <= DELIVERY_LAST;
}

}  // namespace

std::int32_t takeFindingBlock(std::string& message) {
    const std::size_t mark = message.find(BLOCK_MARK);
    if (mark == std::string::npos) return -1;
    std::size_t end = 0;
    const std::int32_t block = blockAt(message, mark + BLOCK_MARK.size(), end);
    if (block >= 0 && mark == DELIVERY_FIRST.size() && isDeliveryFinding(message) &&
        message.compare(end, DELIVERY_SEPARATOR.size(), DELIVERY_SEPARATOR) == 0)
        message.erase(mark, end + DELIVERY_SEPARATOR.size() - mark);
    return block;
}

}  // namespace validationhost

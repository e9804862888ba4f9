#include "VersionResource.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <utility>

namespace versionresource {

namespace {

// --- The block itself: a tree of nodes, each starting on a 4-byte boundary of the block ---

std::size_t align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

std::uint16_t word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Node {
    std::size_t end = 0;
    std::u16string key;
    ValueRef value;
    std::size_t children = 0;
};

std::optional<Node> parseNode(const std::vector<std::uint8_t>& b, std::size_t at,
                              std::size_t limit) {
    if (limit > b.size() || at > limit || limit - at < 6) return std::nullopt;
    const std::size_t length = word(b, at);
    const std::size_t valueLength = word(b, at + 2);
    const bool text = word(b, at + 4) == 1;
    if (length < 6 || length > limit - at) return std::nullopt;
    Node n;
    n.end = at + length;
    std::size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > n.end) return std::nullopt;  // key without its terminator
        const std::uint16_t c = word(b, p);
        if (c == 0) break;
        n.key.push_back(static_cast<char16_t>(c));
    }
    const std::size_t valueAt = std::min(align4(p + 2), n.end);
    const std::size_t wanted = text ? valueLength * 2 : valueLength;
    n.value = {valueAt, std::min(wanted, n.end - valueAt), text};
    n.children = std::min(align4(valueAt + n.value.size), n.end);
    return n;
}

bool sameKey(const std::u16string& key, std::string_view name) {
    const auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return key.size() == name.size() &&
           std::equal(key.begin(), key.end(), name.begin(), [&](char16_t a, char b) {
               return lower(a) == lower(static_cast<unsigned char>(b));
           });
}

}  // namespace

std::optional<ValueRef> queryValue(const std::vector<std::uint8_t>& block, std::string_view path) {
    auto node = parseNode(block, 0, block.size());
    if (!node || !sameKey(node->key, "VS_VERSION_INFO")) return std::nullopt;
    while (!path.empty()) {
        const std::size_t sep = path.find('\\');
        const std::string_view name = path.substr(0, sep);
        path = sep == std::string_view::npos ? std::string_view() : path.substr(sep + 1);
        if (name.empty()) continue;
        std::optional<Node> found;
        // Each child is at least 6 bytes long, so this walk always ends.
        for (std::size_t at = node->children; at < node->end && !found;) {
            auto child = parseNode(block, at, node->end);
            if (!child) return std::nullopt;
            if (sameKey(child->key, name))
                found = std::move(child);
            else
                at = align4(child->end);
        }
        if (!found) return std::nullopt;
        node = std::move(found);
    }
    return node->value;
}

std::string textOf(const std::vector<std::uint8_t>& block, const ValueRef& value) {
    std::string out;
    if (value.offset > block.size() || value.size > block.size() - value.offset) return out;
    const std::size_t end = value.offset + value.size / 2 * 2;
    for (std::size_t p = value.offset; p < end; p += 2) {
        char32_t c = word(block, p);
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00 && p + 4 <= end) {
            const char32_t low = word(block, p + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                p += 2;
            }
        }
        platform::appendUtf8(out, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
    }
    return out;
}

}  // namespace versionresource

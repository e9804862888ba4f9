#include "ReportList.h"

#include <algorithm>

namespace {

constexpr std::size_t CHUNK_SIZE = 64 * 1024;

}  // namespace

void ReportList::add(std::int32_t module, std::int32_t reportType, std::string_view message,
                     std::int32_t block) {
    // Longer messages than a 32-bit length would take are cut; no plug-in sends anything close.
    message = message.substr(0, UINT32_MAX);
    std::lock_guard lock(m_lock);
    if (m_entries.size() >= m_storeLimit) {
        ++m_countedOnly[reportType];
        ++m_countedOnlyTotal;
        return;
    }
    if (m_chunks.empty() || m_chunks.back().capacity() - m_chunks.back().size() < message.size()) {
        m_chunks.emplace_back();
        m_chunks.back().reserve(std::max(CHUNK_SIZE, message.size()));
    }
    std::string& chunk = m_chunks.back();
    m_entries.push_back({static_cast<std::uint32_t>(m_chunks.size() - 1),
                         static_cast<std::uint32_t>(chunk.size()),
                         static_cast<std::uint32_t>(message.size()), module, reportType, block});
    chunk.append(message);
}

void ReportList::setStoreLimit(std::size_t limit) {
    std::lock_guard lock(m_lock);
    m_storeLimit = limit;
}

void ReportList::clear() {
    std::lock_guard lock(m_lock);
    std::deque<Entry>().swap(m_entries);
    std::vector<std::string>().swap(m_chunks);
    m_countedOnly.clear();
    m_countedOnlyTotal = 0;
}

std::size_t ReportList::count() const {
    std::lock_guard lock(m_lock);
    return m_entries.size() + m_countedOnlyTotal;
}

std::map<std::int32_t, std::size_t> ReportList::countByType() const {
    std::lock_guard lock(m_lock);
    std::map<std::int32_t, std::size_t> counts = m_countedOnly;
    for (const Entry& entry : m_entries) ++counts[entry.reportType];
    return counts;
}

CustomReport ReportList::unlockedAt(std::size_t index) const {
    if (index >= m_entries.size()) return {};
    const Entry& entry = m_entries[index];
    return {entry.module, entry.reportType,
            m_chunks[entry.chunk].substr(entry.messageStart, entry.messageLength)};
}

CustomReport ReportList::at(std::size_t index) const {
    std::lock_guard lock(m_lock);
    return unlockedAt(index);
}

std::int32_t ReportList::reportTypeAt(std::size_t index) const {
    std::lock_guard lock(m_lock);
    return index < m_entries.size() ? m_entries[index].reportType : 0;
}

std::vector<CustomReport> ReportList::snapshot() const {
    std::lock_guard lock(m_lock);
    std::vector<CustomReport> items;
    items.reserve(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i) items.push_back(unlockedAt(i));
    return items;
}

std::int32_t ReportList::blockAt(std::size_t index) const {
    std::lock_guard lock(m_lock);
    return index < m_entries.size() ? m_entries[index].block : -1;
}

std::vector<std::int32_t> ReportList::blocks() const {
    std::lock_guard lock(m_lock);
    std::vector<std::int32_t> items;
    items.reserve(m_entries.size());
    for (const Entry& entry : m_entries) items.push_back(entry.block);
    return items;
}

void ReportList::visit(std::size_t count,
                       const std::function<void(std::size_t, std::int32_t, std::int32_t,
                                                std::string_view)>& visit) const {
    std::lock_guard lock(m_lock);
    count = std::min(count, m_entries.size());
    for (std::size_t i = 0; i < count; ++i) {
        const Entry& entry = m_entries[i];
        visit(i, entry.reportType, entry.block,
              std::string_view(m_chunks[entry.chunk])
                  .substr(entry.messageStart, entry.messageLength));
    }
}

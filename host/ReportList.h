#pragma once
// The findings of one validation run in arrival order, packed for runs with hundreds of thousands
// of them: the messages end to end in fixed-size chunks and a small record per finding. The
// plug-in's worker appends while the user-interface thread reads, saves or clears, so every
// access holds the lock.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// One finding as received from the plug-in.
struct CustomReport {
    std::int32_t module = 0;
    std::int32_t reportType = 0;
    std::string reportMessage;  // UTF-8

    bool operator==(const CustomReport&) const = default;
};

class ReportList {
public:
    // Block: the block the finding is about (see FindingBlock.h), -1 for none.
    void add(std::int32_t module, std::int32_t reportType, std::string_view message,
             std::int32_t block = -1);
    // Keeps the first Limit findings whole and only counts the later ones (count, countByType),
    // for callers that show counts alone: a long run then stores next to nothing. Stays set
    // across Clear.
    void setStoreLimit(std::size_t limit);
    // Empties the list and gives its memory back.
    void clear();
    // Every finding, stored or only counted.
    std::size_t count() const;
    // How many findings there are of each report type, without copying a message.
    std::map<std::int32_t, std::size_t> countByType() const;
    // The stored finding at Index; an empty one past them.
    CustomReport at(std::size_t index) const;
    std::int32_t reportTypeAt(std::size_t index) const;
    std::vector<CustomReport> snapshot() const;
    // The block of every stored finding, in the order of Snapshot.
    std::vector<std::int32_t> blocks() const;
    // The block of the stored finding at Index; -1 for none or past them.
    std::int32_t blockAt(std::size_t index) const;
    // Visit(index, reportType, block, message) for each of the first Count stored findings in
    // order, the message read in place. Holds the lock throughout: Visit must not call back.
    void visit(std::size_t count,
               const std::function<void(std::size_t, std::int32_t, std::int32_t, std::string_view)>&
                   visit) const;

private:
    struct Entry {
        std::uint32_t chunk;
        std::uint32_t messageStart;
        std::uint32_t messageLength;
        std::int32_t module;
        std::int32_t reportType;
        std::int32_t block;
    };
    CustomReport unlockedAt(std::size_t index) const;

    mutable std::mutex m_lock;
    // Neither grows by copying what it holds: a long run touches each page once, and the
    // worker never waits on a reallocation while the reader holds the lock.
    std::deque<Entry> m_entries;
    std::vector<std::string> m_chunks;  // each filled only up to the capacity it was given
    std::size_t m_storeLimit = SIZE_MAX;
    std::map<std::int32_t, std::size_t> m_countedOnly;  // by type, past the limit
    std::size_t m_countedOnlyTotal = 0;
};

// RecentlyUsedTable.h - a table by text key that keeps at most a given number
// of entries, letting go of the least recently used one first; an entry the
// caller says is still in use is passed over, so the table may then hold more
// until that entry is let go. Not thread-safe: the owner locks around it.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

namespace weather_service {

template <typename Value>
class RecentlyUsedTable {
 public:
  // capacity: the most entries kept (at least one).
  explicit RecentlyUsedTable(size_t capacity) : m_capacity(capacity < 1 ? 1 : capacity) {}

  // The value at key, which becomes the most recently used; nullptr when
  // there is none. The pointer is good until the next Put.
  Value* Find(const std::string& key) {
    const auto found = m_index.find(key);
    if (found == m_index.end()) return nullptr;
    m_order.splice(m_order.end(), m_order, found->second);
    return &found->second->second;
  }

  // Stores value at key as the most recently used entry, then lets go of the
  // least recently used others for which inUse(value) is false until at most
  // capacity are left. The reference is good until the next Put.
  template <typename InUse>
  Value& Put(const std::string& key, Value value, InUse inUse) {
    Value* stored = Find(key);
    if (stored) {
      *stored = std::move(value);
    } else {
      m_order.emplace_back(key, std::move(value));
      m_index.emplace(key, std::prev(m_order.end()));
      stored = &m_order.back().second;
    }
    const auto newest = std::prev(m_order.end());
    for (auto entry = m_order.begin(); m_order.size() > m_capacity && entry != newest;) {
      if (inUse(entry->second)) {
        ++entry;
        continue;
      }
      m_index.erase(entry->first);
      entry = m_order.erase(entry);
    }
    return *stored;
  }

  Value& Put(const std::string& key, Value value) {
    return Put(key, std::move(value), [](const Value&) { return false; });
  }

  // Calls visit(key, value) for every entry, least recently used first.
  template <typename Visit>
  void ForEachOldestFirst(Visit visit) const {
    for (const auto& [key, value] : m_order) visit(key, value);
  }

  size_t Size() const { return m_order.size(); }

 private:
  using Entries = std::list<std::pair<std::string, Value>>;
  const size_t m_capacity;
  Entries m_order;  // least recently used first
  std::unordered_map<std::string, typename Entries::iterator> m_index;
};

// The shared entry at key in table, made with Entry's default constructor when
// there is none. An entry is let go only while the table holds its only
// reference, so that whoever holds one (a lock being waited on, say) shares
// it with every later caller for the same key.
template <typename Entry>
std::shared_ptr<Entry> SharedEntryAt(RecentlyUsedTable<std::shared_ptr<Entry>>& table, const std::string& key) {
  if (std::shared_ptr<Entry>* found = table.Find(key)) return *found;
  return table.Put(key, std::make_shared<Entry>(),
                   [](const std::shared_ptr<Entry>& entry) { return entry.use_count() > 1; });
}

}  // namespace weather_service

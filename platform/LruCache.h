#pragma once
// TLruCache: the one rule of every cache here. Each entry states its cost (1
// unless told), and the entries together keep within a stated budget: adding
// one drops the least recently used until they fit. Finding an entry makes it
// the most recently used.

#include <cstddef>
#include <iterator>
#include <list>
#include <map>
#include <utility>

template <typename TKey, typename TValue>
class TLruCache {
 public:
  explicit TLruCache(std::size_t budget) : budget_(budget) {}
  TLruCache(const TLruCache&) = delete;
  TLruCache& operator=(const TLruCache&) = delete;

  // The value kept under key, now the most recently used; null when none is.
  // A pointer stays valid until its entry is dropped.
  TValue* Find(const TKey& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, found->second);
    return &found->second->Value;
  }

  // Keeps value under key in place of any value there, as the most recently
  // used, and drops the least recently used others until the costs fit the
  // budget. An entry that alone exceeds the budget is kept, alone.
  TValue& Put(const TKey& key, TValue value, std::size_t cost = 1) {
    Erase(key);
    order_.push_front(TEntry{key, std::move(value), cost});
    index_.emplace(key, order_.begin());
    cost_ += cost;
    Trim();
    return order_.front().Value;
  }

  void Erase(const TKey& key) {
    const auto found = index_.find(key);
    if (found == index_.end()) return;
    cost_ -= found->second->Cost;
    order_.erase(found->second);
    index_.erase(found);
  }

  // A new budget; the least recently used go until the entries fit it.
  void SetBudget(std::size_t budget) {
    budget_ = budget;
    Trim();
  }

  std::size_t Budget() const { return budget_; }
  std::size_t Cost() const { return cost_; }
  std::size_t Count() const { return index_.size(); }

 private:
  struct TEntry {
    TKey Key;
    TValue Value;
    std::size_t Cost;
  };

  void Trim() {
    while (cost_ > budget_ && order_.size() > 1) Erase(std::prev(order_.end())->Key);
  }

  std::size_t budget_;
  std::size_t cost_ = 0;
  std::list<TEntry> order_;  // the most recently used first
  std::map<TKey, typename std::list<TEntry>::iterator> index_;
};

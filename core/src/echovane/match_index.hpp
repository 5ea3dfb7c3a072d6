// What the strong-match search needs from a loaded history, prepared once at
// load time: every stored text lower-cased and trimmed, a table for exact
// lookups and, per distinct word, the texts that contain it.
//
// The texts of a history form one sequence of items: node 0's question, then
// node 0's variations, then node 1's question, and so on. The search visits
// candidates in exactly this order, so "the earliest item" is also the one
// the search would have reached first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt::echovane {

// Open-addressing map from text to a 32-bit value, where the value itself
// names its key: `key_of(value)` gives the text back, so a slot is only
// eight bytes. A history has hundreds of thousands of texts and millions of
// words, and a node-based map spends most of the load time allocating nodes
// and missing the cache.
class TextTable {
 public:
  static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;

  // Room for `keys` keys without growing.
  template <class KeyOf>
  void reserve(std::size_t keys, const KeyOf& key_of);
  // The value stored under `key`, or `value` after storing it there
  // (key_of(value) must then give `key`).
  template <class KeyOf>
  std::uint32_t find_or_insert(std::string_view key, std::uint32_t value, const KeyOf& key_of);
  // The same with the key's hash_key() given, and a hint to fetch the slot
  // of a key inserted soon (the table is far larger than the caches).
  template <class KeyOf>
  std::uint32_t find_or_insert_hashed(std::string_view key, std::uint64_t hash, std::uint32_t value,
                                      const KeyOf& key_of);
  void prefetch(std::uint64_t hash) const noexcept {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }
  static std::uint64_t hash_key(std::string_view key) noexcept;
  template <class KeyOf>
  std::uint32_t find(std::string_view key, const KeyOf& key_of) const;  // kAbsent if none
  std::size_t size() const noexcept { return used_; }

 private:
  struct Slot {
    std::uint32_t hash;   // high half of the key's hash
    std::uint32_t value;  // kAbsent: empty slot
  };
  template <class KeyOf>
  std::size_t probe(std::string_view key, std::uint64_t hash, const KeyOf& key_of) const;

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

class MatchIndex {
 public:
  using Item = std::uint32_t;

  // Room for that many nodes, items and bytes of text (an estimate: more
  // may be added).
  void reserve(std::size_t nodes, std::size_t items, std::size_t chars);
  // Appends one node's items: its question text and its variations.
  void add_node(std::string_view text, const std::vector<std::string_view>& variations);
  // Builds the lookup tables; no node may be added afterwards.
  void finish();

  std::size_t node_count() const noexcept { return first_item_.size() - 1; }
  std::size_t item_count() const noexcept { return text_start_.size() - 1; }
  // Items of node i: [first_item(i), first_item(i + 1)); the first one is the
  // question text, the rest its variations.
  Item first_item(std::size_t node) const noexcept { return first_item_[node]; }
  std::uint32_t node_of(Item item) const noexcept { return node_of_[item]; }
  // The item's text, lower-cased and trimmed.
  std::string_view text(Item item) const noexcept {
    return std::string_view(chars_).substr(text_start_[item], text_start_[item + 1] - text_start_[item]);
  }

  // The earliest item whose text equals `question` (lower-cased, trimmed).
  std::optional<Item> exact(std::string_view question) const;

  // For every item, how many of the distinct words of `question` occur among
  // its words; `question_words` receives the number of distinct words.
  std::vector<std::uint32_t> shared_word_counts(std::string_view question,
                                                std::size_t& question_words) const;

 private:
  // All item texts back to back; the tables view into it, so it must not
  // change once finish() has run (moving the string keeps its buffer).
  std::string chars_;
  std::vector<std::size_t> text_start_{0};  // item -> offset in chars_ (+ end)
  std::vector<Item> first_item_{0};
  std::vector<std::uint32_t> node_of_;
  TextTable exact_;                           // text -> earliest item
  TextTable words_;                           // word -> word id
  std::vector<std::string_view> word_text_;   // word id -> word (views into chars_)
  std::vector<std::uint32_t> posting_start_;  // word id -> start in postings_ (+ end)
  std::vector<Item> postings_;                // items of each word, ascending, no repeats
};

// Calls fn(word) for each piece of `s` between runs of white space (the
// host's str.split() with no argument), without building a list.
template <class Fn>
void for_each_word(std::string_view s, Fn&& fn);

}  // namespace corvalt::echovane

#include "words_inl.hpp"

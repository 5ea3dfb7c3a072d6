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
#include <unordered_map>
#include <vector>

namespace corvalt::echovane {

class MatchIndex {
 public:
  using Item = std::uint32_t;

  // Appends one node's items: its question text and its variations.
  void add_node(std::string_view text, const std::vector<std::string_view>& variations);
  // Builds the lookup tables; no node may be added afterwards.
  void finish();

  std::size_t node_count() const noexcept { return first_item_.size() - 1; }
  std::size_t item_count() const noexcept { return texts_.size(); }
  // Items of node i: [first_item(i), first_item(i + 1)); the first one is the
  // question text, the rest its variations.
  Item first_item(std::size_t node) const noexcept { return first_item_[node]; }
  std::uint32_t node_of(Item item) const noexcept { return node_of_[item]; }
  // The item's text, lower-cased and trimmed.
  const std::string& text(Item item) const noexcept { return texts_[item]; }

  // The earliest item whose text equals `question` (lower-cased, trimmed).
  std::optional<Item> exact(std::string_view question) const;

  // For every item, how many of the distinct words of `question` occur among
  // its words; `question_words` receives the number of distinct words.
  std::vector<std::uint32_t> shared_word_counts(std::string_view question,
                                                std::size_t& question_words) const;

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept {
      return std::hash<std::string_view>{}(s);
    }
  };
  template <class V>
  using ViewMap = std::unordered_map<std::string_view, V, Hash, std::equal_to<>>;

  // Keys of the maps below view into texts_, which is complete and never
  // changes once finish() has run (moving the vector keeps its strings).
  std::vector<std::string> texts_;
  std::vector<Item> first_item_{0};
  std::vector<std::uint32_t> node_of_;
  ViewMap<Item> exact_;
  ViewMap<std::uint32_t> words_;        // word -> word id
  std::vector<std::uint32_t> posting_start_;  // word id -> start in postings_ (+ end marker)
  std::vector<Item> postings_;          // items of each word, ascending, no repeats
};

}  // namespace corvalt::echovane

#include "match_index.hpp"

#include <algorithm>
#include <limits>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"

namespace corvalt::echovane {

namespace {

std::string normalise(std::string_view s) {
  std::string lowered = text::lower(s);
  std::string_view trimmed = text::strip(lowered);
  if (trimmed.size() == lowered.size()) return lowered;
  return std::string(trimmed);
}

}  // namespace

void MatchIndex::add_node(std::string_view text, const std::vector<std::string_view>& variations) {
  if (texts_.size() + 1 + variations.size() > std::numeric_limits<Item>::max())
    throw ValueError("Query history too large");
  node_of_.push_back(static_cast<std::uint32_t>(first_item_.size() - 1));
  texts_.push_back(normalise(text));
  for (std::string_view variation : variations) {
    node_of_.push_back(node_of_.back());
    texts_.push_back(normalise(variation));
  }
  first_item_.push_back(static_cast<Item>(texts_.size()));
}

void MatchIndex::finish() {
  const auto items = static_cast<Item>(texts_.size());
  exact_.reserve(items);
  // Word ids of every item, each id once per item, items one after another.
  std::vector<std::uint32_t> item_words;
  std::vector<std::uint32_t> item_start;
  item_words.reserve(static_cast<std::size_t>(items) * 6);
  item_start.reserve(static_cast<std::size_t>(items) + 1);
  words_.reserve(static_cast<std::size_t>(items) / 2 + 16);
  for (Item item = 0; item < items; ++item) {
    const std::string& s = texts_[item];
    exact_.try_emplace(std::string_view(s), item);  // the first one wins
    item_start.push_back(static_cast<std::uint32_t>(item_words.size()));
    for (std::string_view word : text::split_whitespace(s)) {
      auto next_id = static_cast<std::uint32_t>(words_.size());
      item_words.push_back(words_.try_emplace(word, next_id).first->second);
    }
    auto begin = item_words.begin() + item_start.back();
    std::sort(begin, item_words.end());
    item_words.erase(std::unique(begin, item_words.end()), item_words.end());
  }
  item_start.push_back(static_cast<std::uint32_t>(item_words.size()));

  // Invert: items of each word, in item order (counting sort).
  posting_start_.assign(words_.size() + 1, 0);
  for (std::uint32_t id : item_words) ++posting_start_[id + 1];
  for (std::size_t w = 1; w < posting_start_.size(); ++w) posting_start_[w] += posting_start_[w - 1];
  postings_.resize(item_words.size());
  std::vector<std::uint32_t> fill(posting_start_.begin(), posting_start_.end() - 1);
  for (Item item = 0; item < items; ++item)
    for (std::uint32_t k = item_start[item]; k < item_start[item + 1]; ++k)
      postings_[fill[item_words[k]]++] = item;
}

std::optional<MatchIndex::Item> MatchIndex::exact(std::string_view question) const {
  auto it = exact_.find(question);
  if (it == exact_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::uint32_t> MatchIndex::shared_word_counts(std::string_view question,
                                                          std::size_t& question_words) const {
  std::vector<std::string_view> words = text::split_whitespace(question);
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  question_words = words.size();
  std::vector<std::uint32_t> counts(texts_.size(), 0);
  for (std::string_view word : words) {
    auto it = words_.find(word);
    if (it == words_.end()) continue;
    const std::uint32_t id = it->second;
    for (std::uint32_t k = posting_start_[id]; k < posting_start_[id + 1]; ++k) ++counts[postings_[k]];
  }
  return counts;
}

}  // namespace corvalt::echovane

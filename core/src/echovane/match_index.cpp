#include "match_index.hpp"

#include <algorithm>
#include <cstring>
#include <future>
#include <limits>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"
#include "corvalt/text_hash.hpp"

namespace corvalt::echovane {

namespace {

// ASCII lower case in place, eight bytes at a time: 0x20 is added to every
// byte from 'A' to 'Z' (all bytes are below 0x80).
void lower_ascii(char* p, std::size_t n) noexcept {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    // High bit of each byte: set when the byte is >= 'A', and when it is > 'Z'.
    const std::uint64_t from_a = w + kOnes * (0x80 - 'A');
    const std::uint64_t past_z = w + kOnes * (0x80 - 'Z' - 1);
    const std::uint64_t upper = (from_a & ~past_z) & (kOnes * 0x80);
    w |= upper >> 2;  // 0x80 >> 2 == 0x20
    std::memcpy(p + i, &w, 8);
  }
  for (; i < n; ++i)
    if (p[i] >= 'A' && p[i] <= 'Z') p[i] = static_cast<char>(p[i] + ('a' - 'A'));
}

}  // namespace

// ------------------------------------------------------------- TextTable --
// Defined here: only this file instantiates them.

template <class KeyOf>
void TextTable::reserve(std::size_t keys, const KeyOf& key_of) {
  std::size_t capacity = 16;
  while (capacity < keys * 2) capacity *= 2;
  if (capacity <= slots_.size()) return;
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(capacity, Slot{0, kAbsent});
  for (const Slot& slot : old) {
    if (slot.value == kAbsent) continue;
    slots_[probe(key_of(slot.value), hash_text(key_of(slot.value)), key_of)] = slot;
  }
}

template <class KeyOf>
std::size_t TextTable::probe(std::string_view key, std::uint64_t hash, const KeyOf& key_of) const {
  const std::size_t mask = slots_.size() - 1;
  const auto high = static_cast<std::uint32_t>(hash >> 32);
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.value == kAbsent || (slot.hash == high && key_of(slot.value) == key)) return i;
  }
}

template <class KeyOf>
std::uint32_t TextTable::find_or_insert(std::string_view key, std::uint32_t value,
                                        const KeyOf& key_of) {
  if ((used_ + 1) * 2 > slots_.size()) reserve(std::max<std::size_t>(used_ * 2, 8), key_of);
  const std::uint64_t hash = hash_text(key);
  Slot& slot = slots_[probe(key, hash, key_of)];
  if (slot.value != kAbsent) return slot.value;
  slot = Slot{static_cast<std::uint32_t>(hash >> 32), value};
  ++used_;
  return value;
}

std::uint64_t TextTable::hash_key(std::string_view key) noexcept { return hash_text(key); }

template <class KeyOf>
std::uint32_t TextTable::find_or_insert_hashed(std::string_view key, std::uint64_t hash,
                                               std::uint32_t value, const KeyOf& key_of) {
  if ((used_ + 1) * 2 > slots_.size()) return find_or_insert(key, value, key_of);
  Slot& slot = slots_[probe(key, hash, key_of)];
  if (slot.value != kAbsent) return slot.value;
  slot = Slot{static_cast<std::uint32_t>(hash >> 32), value};
  ++used_;
  return value;
}

template <class KeyOf>
std::uint32_t TextTable::find(std::string_view key, const KeyOf& key_of) const {
  if (slots_.empty()) return kAbsent;
  return slots_[probe(key, hash_text(key), key_of)].value;
}

// ------------------------------------------------------------ MatchIndex --

void MatchIndex::reserve(std::size_t nodes, std::size_t items, std::size_t chars) {
  chars_.reserve(chars);
  text_start_.reserve(items + 1);
  node_of_.reserve(items);
  first_item_.reserve(nodes + 1);
}

void MatchIndex::add_node(std::string_view text, const std::vector<std::string_view>& variations) {
  if (item_count() + 1 + variations.size() >= std::numeric_limits<Item>::max())
    throw ValueError("Query history too large");
  const auto node = static_cast<std::uint32_t>(node_count());
  auto append = [&](std::string_view raw) {
    if (raw.size() > std::numeric_limits<std::uint32_t>::max() / 4)
      throw ValueError("Query history text too long");
    if (text::is_ascii(raw)) {
      // Lower-casing ASCII touches letters only, so trimming first is the
      // same and saves a temporary string per text.
      const std::string_view trimmed = text::strip(raw);
      const std::size_t at = chars_.size();
      chars_.append(trimmed);
      lower_ascii(chars_.data() + at, trimmed.size());
    } else {
      const std::string lowered = text::lower(raw);
      chars_.append(text::strip(lowered));
    }
    text_start_.push_back(chars_.size());
    node_of_.push_back(node);
  };
  append(text);
  for (std::string_view variation : variations) append(variation);
  first_item_.push_back(static_cast<Item>(item_count()));
}

namespace {

// The words of a run of items, with word ids of its own: each distinct word
// gets the next id when first met, and each item lists each of its words
// once (in the order first met). Two of these split the texts of a large
// history between two threads; the second one's ids are mapped afterwards.
struct WordSplit {
  TextTable table;
  std::vector<std::string_view> word_text;  // id -> word
  std::vector<std::uint32_t> item_words;
  std::vector<std::size_t> item_start;      // per item of the run, plus the end
  std::vector<std::uint32_t> last_item;     // id -> last item that listed it

  template <class TextOf>
  void run(std::uint32_t from, std::uint32_t to, const std::vector<std::uint32_t>& first_of,
           const TextOf& text_of) {
    auto word = [this](std::uint32_t id) { return word_text[id]; };
    table.reserve(4096, word);
    last_item.reserve(4096);
    item_words.reserve(static_cast<std::size_t>(to - from) * 8);
    item_start.reserve(static_cast<std::size_t>(to - from) + 1);
    constexpr std::uint32_t kNoItem = std::numeric_limits<std::uint32_t>::max();
    for (std::uint32_t item = from; item < to; ++item) {
      item_start.push_back(item_words.size());
      if (first_of[item] != item) continue;  // a repeated text: its first's words serve
      for_each_word(text_of(item), [&](std::string_view w) {
        const auto next_id = static_cast<std::uint32_t>(word_text.size());
        // The new id must name its word before the table looks it up.
        word_text.push_back(w);
        const std::uint32_t id = table.find_or_insert(w, next_id, word);
        if (id != next_id) word_text.pop_back();
        else last_item.push_back(kNoItem);
        if (last_item[id] == item) return;
        last_item[id] = item;
        item_words.push_back(id);
      });
    }
    item_start.push_back(item_words.size());
  }
};

}  // namespace

void MatchIndex::finish() {
  const auto items = static_cast<Item>(item_count());
  auto item_text = [this](std::uint32_t item) { return text(item); };

  // Whole texts first: the earliest item with a text keeps the entry, and a
  // repeated text (half of a typical history's) is split into words once.
  // Slots a few texts ahead are fetched while this one is looked up (the
  // table is far larger than the caches).
  exact_.reserve(items, item_text);
  std::vector<std::uint64_t> text_hash(items);
  for (Item item = 0; item < items; ++item) text_hash[item] = TextTable::hash_key(text(item));
  std::vector<Item> first_of(items);
  constexpr Item kAhead = 16;
  for (Item item = 0; item < items; ++item) {
    if (item + kAhead < items) exact_.prefetch(text_hash[item + kAhead]);
    first_of[item] = exact_.find_or_insert_hashed(text(item), text_hash[item], item, item_text);
  }
  text_hash = {};

  // The words: a large history's texts in two halves, the second on a
  // second thread.
  const Item half = items >= 65536 ? items / 2 : items;
  WordSplit front, back;
  std::future<void> second;
  if (half < items)
    second = std::async(std::launch::async,
                        [&] { back.run(half, items, first_of, item_text); });
  struct Join {
    std::future<void>& f;
    ~Join() {
      if (f.valid()) f.wait();
    }
  } join{second};
  front.run(0, half, first_of, item_text);
  if (second.valid()) second.get();

  // One id space: the front's ids, then the back's words not met in front.
  words_ = std::move(front.table);
  word_text_ = std::move(front.word_text);
  auto word = [this](std::uint32_t id) { return word_text_[id]; };
  std::vector<std::uint32_t> back_id(back.word_text.size());
  for (std::uint32_t local = 0; local < back.word_text.size(); ++local) {
    const auto next_id = static_cast<std::uint32_t>(word_text_.size());
    word_text_.push_back(back.word_text[local]);
    const std::uint32_t id = words_.find_or_insert(back.word_text[local], next_id, word);
    if (id != next_id) word_text_.pop_back();
    back_id[local] = id;
  }

  // Each item's words, a repeated text taking its first's (which comes
  // earlier, so in the front or earlier in the back).
  auto words_of = [&](Item item, auto&& fn) {
    const Item source = first_of[item];
    if (source < half) {
      for (std::size_t k = front.item_start[source]; k < front.item_start[source + 1]; ++k)
        fn(front.item_words[k]);
    } else {
      const std::size_t at = source - half;
      for (std::size_t k = back.item_start[at]; k < back.item_start[at + 1]; ++k)
        fn(back_id[back.item_words[k]]);
    }
  };

  // Invert: the items of each word, in item order (counting sort).
  posting_start_.assign(words_.size() + 1, 0);
  std::size_t total = 0;
  for (Item item = 0; item < items; ++item)
    words_of(item, [&](std::uint32_t id) {
      ++posting_start_[id + 1];
      ++total;
    });
  if (total >= std::numeric_limits<std::uint32_t>::max()) throw ValueError("Query history too large");
  for (std::size_t w = 1; w < posting_start_.size(); ++w) posting_start_[w] += posting_start_[w - 1];
  postings_.resize(total);
  std::vector<std::uint32_t> fill(posting_start_.begin(), posting_start_.end() - 1);
  for (Item item = 0; item < items; ++item)
    words_of(item, [&](std::uint32_t id) { postings_[fill[id]++] = item; });
}

std::optional<MatchIndex::Item> MatchIndex::exact(std::string_view question) const {
  const std::uint32_t item = exact_.find(question, [this](std::uint32_t i) { return text(i); });
  if (item == TextTable::kAbsent) return std::nullopt;
  return item;
}

std::vector<std::uint32_t> MatchIndex::shared_word_counts(std::string_view question,
                                                          std::size_t& question_words) const {
  std::vector<std::string_view> words;
  for_each_word(question, [&](std::string_view word) { words.push_back(word); });
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  question_words = words.size();
  std::vector<std::uint32_t> counts(item_count(), 0);
  for (std::string_view word : words) {
    const std::uint32_t id = words_.find(word, [this](std::uint32_t w) { return word_text_[w]; });
    if (id == TextTable::kAbsent) continue;
    for (std::uint32_t k = posting_start_[id]; k < posting_start_[id + 1]; ++k) ++counts[postings_[k]];
  }
  return counts;
}

}  // namespace corvalt::echovane

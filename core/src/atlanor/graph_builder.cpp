// Building the knowledge graph from the metadata document. Node and edge
// order follow the document exactly: search ties and rule lists depend on it.
#include <string.h>  // memmem

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/release.hpp"
#include "corvalt/text.hpp"
#include "../value_checks.hpp"

namespace corvalt::atlanor {

namespace {

// One attribute record per relation word, shared by all its edges (the
// graph copies a shared record before it would change it).
struct EdgeRecords {
  static RecordPtr make(const char* relationship) {
    auto r = make_record();
    r->append_new("relationship", Value(relationship));
    return r;
  }
  RecordPtr has_column = make("has_column");
  RecordPtr governed_by = make("governed_by");
  RecordPtr implements = make("implements");
  RecordPtr references = make("references");
  RecordPtr tags = make("tags");
  RecordPtr defines = make("defines");
};

// Many short lower-cased texts in one buffer, separated by NUL bytes, so that
// one memmem pass per needle finds every text that contains it (instead of
// one search per text: terms x columns and tables x examples are both large).
class TextBuffer {
 public:
  void add(std::string_view text) {
    starts_.push_back(static_cast<std::uint32_t>(buffer_.size()));
    buffer_.append(text);
    buffer_.push_back('\0');
  }
  std::size_t size() const { return starts_.size(); }
  // Prepares for many needles: every place of each four-byte sequence of the
  // buffer, so that a needle of four bytes or more is only compared where
  // its first four bytes are.
  void index_places() {
    const std::size_t places = buffer_.size() >= 4 ? buffer_.size() - 3 : 0;
    std::size_t slots = 16;
    while (slots < places * 2) slots *= 2;
    gram_head_.assign(slots, kNoPlace);
    gram_key_.assign(slots, 0);
    next_place_.assign(places, kNoPlace);
    // From the end, so that each chain lists its places in ascending order.
    for (std::size_t i = places; i-- > 0;) {
      const std::uint32_t key = gram(buffer_.data() + i);
      std::size_t slot = slot_of(key);
      next_place_[i] = gram_head_[slot];
      gram_head_[slot] = static_cast<std::uint32_t>(i);
      gram_key_[slot] = key;
    }
  }
  // Calls fn(k) once for every text k containing `needle`, in text order.
  template <typename Fn>
  void for_each_containing(std::string_view needle, Fn&& fn) const {
    if (needle.empty()) {
      for (std::size_t k = 0; k < starts_.size(); ++k) fn(k);
      return;
    }
    if (needle.find('\0') != std::string_view::npos) return;  // no text holds a NUL
    if (needle.size() >= 4 && !gram_head_.empty()) {
      const std::uint32_t key = gram(needle.data());
      std::size_t last = kNoPlace;
      for (std::uint32_t at = gram_head_[slot_of(key)]; at != kNoPlace; at = next_place_[at]) {
        if (at + needle.size() > buffer_.size() ||
            std::memcmp(buffer_.data() + at, needle.data(), needle.size()) != 0)
          continue;
        const auto k = static_cast<std::size_t>(
            std::upper_bound(starts_.begin(), starts_.end(), at) - starts_.begin() - 1);
        if (k != last) fn(k);
        last = k;
      }
      return;
    }
    const char* base = buffer_.data();
    std::size_t pos = 0;
    while (pos < buffer_.size()) {
      const void* hit = memmem(base + pos, buffer_.size() - pos, needle.data(), needle.size());
      if (!hit) return;
      auto offset = static_cast<std::uint32_t>(static_cast<const char*>(hit) - base);
      std::size_t k = static_cast<std::size_t>(
          std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin() - 1);
      fn(k);
      pos = k + 1 < starts_.size() ? starts_[k + 1] : buffer_.size();
    }
  }

 private:
  static constexpr std::uint32_t kNoPlace = UINT32_MAX;
  static std::uint32_t gram(const char* p) {
    std::uint32_t g;
    std::memcpy(&g, p, 4);
    return g;
  }
  // The slot of a four-byte sequence: its own, or the first free one after
  // it (open addressing; a slot holds one sequence's chain).
  std::size_t slot_of(std::uint32_t key) const {
    const std::size_t mask = gram_head_.size() - 1;
    std::size_t slot = (key * 0x9E3779B1u) & mask;
    while (gram_head_[slot] != kNoPlace && gram_key_[slot] != key) slot = (slot + 1) & mask;
    return slot;
  }

  std::string buffer_;
  std::vector<std::uint32_t> starts_;
  std::vector<std::uint32_t> gram_head_;   // per slot: first place of its sequence
  std::vector<std::uint32_t> gram_key_;    // per slot: the sequence
  std::vector<std::uint32_t> next_place_;  // per place: the next with the same sequence
};

// The columns' names for the terminology's substring test. Names repeat
// across tables (id, name, project_id, ...): each distinct lower-cased name is
// searched once, standing for all its columns. Nothing is prepared unless a
// term is looked for.
class ColumnNames {
 public:
  static std::size_t hash(std::string_view name) noexcept { return std::hash<std::string_view>{}(name); }

  // The name's spelling is looked up now, while the name is at hand.
  // `name_hash` is hash(name).
  void add(std::string_view name, std::size_t name_hash, Graph::Index column) {
    if (spellings_.size() * 2 >= slots_.size()) {
      slots_.assign(std::max<std::size_t>(1024, slots_.size() * 2), 0);
      for (std::size_t d = 0; d < spellings_.size(); ++d)
        slots_[find_slot(spellings_[d], hash(spellings_[d]))] = d + 1;
    }
    const std::size_t slot = find_slot(name, name_hash);
    if (slots_[slot] == 0) {
      // Copied: compared with every later column's name, the copies stay
      // together in memory (the document's keys lie far apart).
      spellings_.push_back(spelling_store_.emplace_back(name));
      slots_[slot] = static_cast<std::uint32_t>(spellings_.size());
    }
    spelling_of_.push_back(slots_[slot] - 1);
    columns_.push_back(column);
  }

  // Every column, in the order added, whose lower-cased name contains
  // `needle`.
  std::vector<Graph::Index> containing(std::string_view needle) {
    if (!prepared_) prepare();
    // The matching names' columns are marked in a bit set over all columns
    // and read back in order (cheaper than sorting the merged lists).
    std::size_t hits = 0;
    texts_.for_each_containing(needle, [&](std::size_t group) {
      for (std::uint32_t at = group_start_[group]; at < group_start_[group + 1]; ++at) {
        const std::uint32_t k = members_[at];
        marks_[k / 64] |= std::uint64_t{1} << (k % 64);
      }
      hits += group_start_[group + 1] - group_start_[group];
    });
    std::vector<Graph::Index> out;
    out.reserve(hits);
    for (std::size_t w = 0; w < marks_.size() && out.size() < hits; ++w) {
      for (std::uint64_t bits = marks_[w]; bits != 0; bits &= bits - 1)
        out.push_back(columns_[w * 64 + static_cast<std::size_t>(std::countr_zero(bits))]);
      marks_[w] = 0;
    }
    return out;
  }

 private:
  void prepare() {
    prepared_ = true;
    // One lower-casing per spelling; spellings that lower-case alike share a
    // text.
    std::unordered_map<std::string, std::uint32_t> lowered;
    std::vector<std::uint32_t> group_of(spellings_.size());
    for (std::size_t d = 0; d < spellings_.size(); ++d) {
      auto [it, inserted] =
          lowered.try_emplace(text::lower(spellings_[d]), static_cast<std::uint32_t>(lowered.size()));
      if (inserted) texts_.add(it->first);
      group_of[d] = it->second;
    }
    // The groups' columns in one array, group after group (counted first:
    // a vector per group would be thousands of small allocations).
    group_start_.assign(lowered.size() + 1, 0);
    for (std::uint32_t d : spelling_of_) ++group_start_[group_of[d] + 1];
    for (std::size_t g = 1; g < group_start_.size(); ++g) group_start_[g] += group_start_[g - 1];
    members_.resize(spelling_of_.size());
    std::vector<std::uint32_t> next(group_start_.begin(), group_start_.end() - 1);
    for (std::size_t k = 0; k < spelling_of_.size(); ++k)
      members_[next[group_of[spelling_of_[k]]]++] = static_cast<std::uint32_t>(k);
    marks_.assign((columns_.size() + 63) / 64, 0);
    texts_.index_places();  // every term is looked for
  }
  // The slot of `name` in slots_: its spelling's, or the empty one where it
  // would go.
  std::size_t find_slot(std::string_view name, std::size_t name_hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = name_hash & mask;
    while (slots_[slot] != 0 && spellings_[slots_[slot] - 1] != name) slot = (slot + 1) & mask;
    return slot;
  }

  std::deque<std::string> spelling_store_;
  std::vector<std::string_view> spellings_;  // distinct names, as first seen
  std::vector<std::uint32_t> slots_;         // spelling + 1, 0: empty
  std::vector<std::uint32_t> spelling_of_;   // per column (table then column order)
  std::vector<Graph::Index> columns_;
  bool prepared_ = false;
  TextBuffer texts_;                                // distinct lower-cased names
  // Per text g: positions in columns_ at members_[group_start_[g], group_start_[g + 1]).
  std::vector<std::uint32_t> group_start_;
  std::vector<std::uint32_t> members_;
  std::vector<std::uint64_t> marks_;                // one bit per column, all clear between calls
};

// The keys of a column read in one pass over its record (there are tens of
// thousands of columns, and as many look-ups per key otherwise).
struct ColumnFields {
  // `key` has the word's length (the switch below): one fixed-size memcmp.
  template <std::size_t N>
  static bool is(const std::string& key, const char (&word)[N]) {
    return std::memcmp(key.data(), word, N - 1) == 0;
  }
  explicit ColumnFields(const Record& column) {
    for (const auto& [key, value] : column) {
      switch (key.size()) {
        case 7:
          if (is(key, "indexed")) indexed = &value;
          break;
        case 8:
          if (is(key, "concepts")) concepts = &value;
          break;
        case 9:
          if (is(key, "data_type")) data_type = &value;
          break;
        case 10:
          if (is(key, "statistics")) statistics = &value;
          break;
        case 11:
          if (is(key, "description")) description = &value;
          break;
        case 14:
          if (is(key, "business_rules")) business_rules = &value;
          break;
        case 22:
          if (is(key, "related_business_rules")) related_business_rules = &value;
          break;
        default:
          break;
      }
    }
  }
  static const Value& required(const Value* v, const char* key) {
    if (!v) throw KeyError(key);
    return *v;
  }
  const Value* description = nullptr;
  const Value* data_type = nullptr;
  const Value* indexed = nullptr;
  const Value* statistics = nullptr;
  const Value* business_rules = nullptr;
  const Value* related_business_rules = nullptr;
  const Value* concepts = nullptr;
};

// The columns' records lie apart in memory: the record of a column two
// ahead and the items of the next one are fetched while this one is made.
void prefetch_column(const Record& columns, std::size_t record_of, std::size_t items_of) {
  if (record_of < columns.size()) {
    const Value& v = columns.item(record_of).second;
    if (v.is_record()) __builtin_prefetch(v.record_ptr().get());
  }
  if (items_of < columns.size()) {
    const Value& v = columns.item(items_of).second;
    if (v.is_record() && !v.as_record().empty()) __builtin_prefetch(&v.as_record().item(0));
  }
}

// Writes the node id of `table`.`column` into `id`, reusing its buffer (made
// twice for each of tens of thousands of columns: piece by piece, the
// appends were a good part of making a column).
void write_column_id(std::string& id, std::string_view table, std::string_view column) {
  const std::string_view prefix = node_ids::kColumn;
  id.resize(prefix.size() + table.size() + 1 + column.size());
  char* p = id.data();
  std::memcpy(p, prefix.data(), prefix.size());
  p += prefix.size();
  std::memcpy(p, table.data(), table.size());
  p += table.size();
  *p++ = '.';
  std::memcpy(p, column.data(), column.size());
}

// A column's attribute record, and the parts of the column the builder reads
// after adding its node.
struct PreparedColumn {
  Record attrs;
  Graph::Slot slot;            // of the column's node id
  std::size_t name_hash = 0;   // of the column's name
  const Value* business_rules = nullptr;
  const Value* related_business_rules = nullptr;
  const Value* concepts = nullptr;
};

// `id` receives the column's node id.
PreparedColumn prepare_column(const std::string& table, const std::string& column_name,
                              const Value& column_value, std::string& id) {
  const ColumnFields f(record_of(column_value, {"Column '", table, ".", column_name, "'"}));
  PreparedColumn p;
  write_column_id(id, table, column_name);
  p.slot = Graph::slot_for(id);
  p.name_hash = ColumnNames::hash(column_name);
  Record& attrs = p.attrs;
  attrs.reserve(f.statistics ? 6 : 5);
  attrs.append_new("type", Value("column"));
  attrs.append_new("name", Value(column_name));
  attrs.append_new("description", f.required(f.description, "description"));
  attrs.append_new("data_type", f.required(f.data_type, "data_type"));
  attrs.append_new("indexed", f.indexed ? *f.indexed : Value(false));
  if (f.statistics) attrs.append_new("statistics", *f.statistics);
  p.business_rules = f.business_rules;
  p.related_business_rules = f.related_business_rules;
  p.concepts = f.concepts;
  return p;
}

// Making the columns' attribute records (copying their texts) is most of the
// work of a large graph, so a second thread helps: the columns are taken in
// chunks, in document order, by whichever of the two threads comes to a chunk
// first. The builder adds the nodes in order and makes the columns of the
// chunks it took itself, waiting only for a chunk the helper is making. When
// the helper cannot read a column it stops and leaves that chunk to the
// builder, which then fails on the column with the same error and at the same
// point as it would alone.
class ColumnsAhead {
 public:
  static constexpr std::size_t kFrom = 4096;  // columns; fewer are made in place

  struct Table {
    const std::string* name;
    const Record* columns;
  };
  // `tables`: the document's tables, in order, up to the first whose columns
  // cannot be read.
  explicit ColumnsAhead(std::vector<Table> tables) : tables_(std::move(tables)) {
    first_.reserve(tables_.size() + 1);
    for (const Table& t : tables_) {
      first_.push_back(columns_);
      columns_ += t.columns->size();
    }
    first_.push_back(columns_);
    if (columns_ < kFrom) return;
    chunks_ = (columns_ + kChunk - 1) / kChunk;
    state_ = std::make_unique<std::atomic<std::uint32_t>[]>(chunks_);
    slots_ = std::allocator<PreparedColumn>().allocate(kRing * kChunk);
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      // No thread to spare: every column is made in place.
    }
  }
  ColumnsAhead(const ColumnsAhead&) = delete;
  ColumnsAhead& operator=(const ColumnsAhead&) = delete;
  ~ColumnsAhead() {
    stop_.store(true, std::memory_order_relaxed);
    builder_at_.store(chunks_, std::memory_order_release);  // wakes a helper waiting for room
    builder_at_.notify_one();
    if (thread_.joinable()) thread_.join();
    if (!slots_) return;
    for (std::size_t r = 0; r < kRing; ++r) std::destroy_n(ring_slot(r), made_[r]);
    std::allocator<PreparedColumn>().deallocate(slots_, kRing * kChunk);
  }

  // Column `k` (document order) made by the helper, or nullptr when the
  // builder is to make it.
  PreparedColumn* take(std::size_t k) {
    if (!thread_.joinable() || k >= columns_) return nullptr;
    if (k % kChunk == 0) {
      builder_at_.store(k / kChunk);
      if (k / kChunk >= helper_wants_.load()) builder_at_.notify_one();
    }
    std::atomic<std::uint32_t>& state = state_[k / kChunk];
    std::uint32_t s = state.load(std::memory_order_acquire);
    if (s == kOpen && state.compare_exchange_strong(s, kBuilder, std::memory_order_acq_rel)) return nullptr;
    while (s == kHelper) {
      state.wait(kHelper, std::memory_order_acquire);
      s = state.load(std::memory_order_acquire);
    }
    return s == kMade ? ring_slot(k / kChunk) + k % kChunk : nullptr;
  }
  // Column `k` if the helper has made it already, without waiting.
  const PreparedColumn* peek(std::size_t k) const {
    if (!slots_ || k >= columns_ || state_[k / kChunk].load(std::memory_order_acquire) != kMade)
      return nullptr;
    return ring_slot(k / kChunk) + k % kChunk;
  }

 private:
  // A chunk's state.
  enum : std::uint32_t { kOpen, kHelper, kMade, kBuilder, kFailed };
  static constexpr std::size_t kChunk = 64;
  // Chunks the helper may be ahead of the builder: their columns wait in a
  // ring of that many chunks, so that few are held at a time.
  static constexpr std::size_t kRing = 64;
  static constexpr std::size_t kNobody = SIZE_MAX;
  PreparedColumn* ring_slot(std::size_t chunk) const { return slots_ + chunk % kRing * kChunk; }

  void run() {
    std::string id;
    std::size_t t = 0;
    for (std::size_t j = 0; j < chunks_ && !stop_.load(std::memory_order_relaxed); ++j) {
      // A chunk the builder reaches before this thread could make it is left
      // to the builder: when it is faster, the two make alternate chunks.
      std::size_t at = builder_at_.load();
      if (j >= at + kRing) {
        // No room: the builder is far behind. Woken once half the ring is
        // free again, not for every chunk it takes.
        helper_wants_.store(j + 1 - kRing / 2);
        for (at = builder_at_.load(); at < j + 1 - kRing / 2; at = builder_at_.load())
          builder_at_.wait(at);
        helper_wants_.store(kNobody);
        if (stop_.load(std::memory_order_relaxed)) return;
      }
      j = std::max(j, at + 2);
      if (j >= chunks_) break;
      std::uint32_t open = kOpen;
      if (!state_[j].compare_exchange_strong(open, kHelper, std::memory_order_acq_rel)) continue;
      // The ring's place was last held by a chunk the builder is done with.
      std::uint32_t& made = made_[j % kRing];
      std::destroy_n(ring_slot(j), made);
      made = 0;
      std::uint32_t result = kMade;
      try {
        for (std::size_t k = j * kChunk; k < std::min(columns_, (j + 1) * kChunk); ++k) {
          while (first_[t + 1] <= k) ++t;
          const Record& columns = *tables_[t].columns;
          const std::size_t c = k - first_[t];
          prefetch_column(columns, c + 2, c + 1);
          const auto& [column_name, column_value] = columns.item(c);
          std::construct_at(ring_slot(j) + k % kChunk,
                            prepare_column(*tables_[t].name, column_name, column_value, id));
          ++made;
        }
      } catch (...) {
        result = kFailed;  // the builder makes this chunk itself and reports what is wrong
      }
      state_[j].store(result, std::memory_order_release);
      state_[j].notify_one();
      if (result == kFailed) return;
    }
  }

  std::vector<Table> tables_;
  std::vector<std::size_t> first_;  // per table, the position of its first column; then the count
  std::size_t columns_ = 0;
  std::size_t chunks_ = 0;
  std::unique_ptr<std::atomic<std::uint32_t>[]> state_;
  std::uint32_t made_[kRing] = {};  // per place in the ring, the columns in it
  PreparedColumn* slots_ = nullptr;
  std::atomic<std::size_t> builder_at_{0};  // the chunk the builder is in
  // The chunk the builder is to signal when it reaches it (the helper waits).
  std::atomic<std::size_t> helper_wants_{kNobody};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct TableInfo {
  const std::string* name;
  Graph::Index node;
};

class Builder {
 public:
  Builder(const Record& doc, Graph& graph) : doc_(doc), graph_(graph) {
    if (const Value* bc = doc.find("business_concepts"))
      concepts_ = &record_of(*bc, {"business_concepts"});
  }

  void run() {
    const Record& tables = record_of(doc_.at("tables"), {"tables"});
    // The tables whose columns the helper may make: those before the first
    // that cannot be read.
    std::vector<ColumnsAhead::Table> readable;
    std::size_t columns = 0;
    bool all_readable = true;
    for (const auto& [name, info] : tables) {
      const Value* cols = info.is_record() ? info.as_record().find("columns") : nullptr;
      if (!cols || !cols->is_record()) {
        all_readable = false;
        continue;
      }
      columns += cols->as_record().size();
      if (all_readable) readable.push_back({&name, &cols->as_record()});
    }
    graph_.reserve(tables.size() + columns + (tables.size() + columns) / 4);
    ahead_.emplace(std::move(readable));
    for (const auto& [name, info] : tables) add_table(name, record_of(info, {"Table '", name, "'"}));
    ahead_.reset();
    const Value* examples = doc_.find("query_examples");
    const Value* terms = doc_.find("terminology");
    // Matching the examples' queries with the tables' names and the terms
    // with the columns' names reads only those texts, so on a large graph a
    // second thread does it while the relationships are added. It matches
    // only what it can read; anything else is left to the builder, which
    // reports what is wrong where it would alone.
    MatchedAhead ahead;
    if (columns >= ColumnsAhead::kFrom) ahead.start(*this, examples, terms);
    if (const Value* rels = doc_.find("relationships")) add_relationships(list_of(*rels, {"relationships"}));
    if (examples) add_examples(list_of(*examples, {"query_examples"}), MatchedAhead::take(ahead.examples));
    if (const Value* keywords = doc_.find("keywords")) add_keywords(record_of(*keywords, {"keywords"}));
    if (terms) {
      const Record& terminology = record_of(*terms, {"terminology"});
      std::optional<TermColumns> matched = MatchedAhead::take(ahead.terms);
      if (!matched) matched = match_terms(terminology);
      add_terms(terminology, *matched);
    }
  }

 private:
  // Per example, the tables (positions in tables_) whose lower-cased names
  // its lower-cased query contains, in table order.
  using ExampleTables = std::vector<std::vector<std::uint32_t>>;
  // Per term, in order: every column (table order, then column order) whose
  // lower-cased name contains the lower-cased term.
  using TermColumns = std::vector<std::vector<Graph::Index>>;

  // The matches made on the second thread. A local of run(), so its thread
  // is joined before anything it reads goes away, also when the builder
  // fails.
  struct MatchedAhead {
    std::future<ExampleTables> examples;
    std::future<TermColumns> terms;
    std::jthread thread;

    void start(Builder& b, const Value* examples_value, const Value* terms_value) {
      const List* queries = examples_value && readable_examples(*examples_value)
                                ? &examples_value->as_list()
                                : nullptr;
      const Record* terminology = terms_value && terms_value->is_record() ? &terms_value->as_record() : nullptr;
      if (!queries && !terminology) return;
      std::promise<ExampleTables> examples_made;
      std::promise<TermColumns> terms_made;
      if (queries) examples = examples_made.get_future();
      if (terminology) terms = terms_made.get_future();
      try {
        thread = std::jthread([&b, queries, terminology, e = std::move(examples_made),
                               t = std::move(terms_made)]() mutable {
          if (queries) fulfil(e, [&] { return b.match_examples(*queries); });
          if (terminology) fulfil(t, [&] { return b.match_terms(*terminology); });
        });
      } catch (const std::system_error&) {
        // No thread to spare: the builder matches them itself.
        examples = {};
        terms = {};
      }
    }
    // The thread's result, or nothing when it was not asked or failed (the
    // builder then matches on its own and fails where it would alone).
    template <typename T>
    static std::optional<T> take(std::future<T>& made) {
      if (!made.valid()) return std::nullopt;
      try {
        return made.get();
      } catch (...) {
        return std::nullopt;
      }
    }
    template <typename T, typename Fn>
    static void fulfil(std::promise<T>& promise, Fn&& fn) {
      try {
        promise.set_value(fn());
      } catch (...) {
        promise.set_exception(std::current_exception());
      }
    }
    // Every example an object whose query is a string (looked for by a scan:
    // a look-up may build a record's index while the builder reads it).
    static bool readable_examples(const Value& v) {
      if (!v.is_list()) return false;
      for (const Value& example : v.as_list())
        if (!example.is_record() || !query_of(example.as_record())) return false;
      return true;
    }
  };
  static const Value* query_of(const Record& example) {
    for (const auto& [key, value] : example)
      if (key == "query") return value.is_text() ? &value : nullptr;
    return nullptr;
  }

  // For examples that readable_examples accepts.
  ExampleTables match_examples(const List& examples) const {
    TextBuffer queries;
    for (const Value& example : examples) queries.add(text::lower(query_of(example.as_record())->as_text()));
    return match_queries(queries);
  }
  // `queries`: the lower-cased queries. Plain substring test: a table name
  // inside a longer identifier counts. Searched table by table, so each
  // example's tables come in table order.
  ExampleTables match_queries(TextBuffer& queries) const {
    ExampleTables referenced(queries.size());
    queries.index_places();  // thousands of table names are looked for
    for (std::size_t t = 0; t < tables_.size(); ++t)
      queries.for_each_containing(table_name(t), [&](std::size_t example) {
        referenced[example].push_back(static_cast<std::uint32_t>(t));
      });
    return referenced;
  }

  TermColumns match_terms(const Record& terminology) {
    TermColumns matched;
    matched.reserve(terminology.size());
    for (const auto& [term, definition] : terminology)
      matched.push_back(column_names_.containing(text::lower(term)));
    return matched;
  }

  void add_table(const std::string& name, const Record& info) {
    Record table_attrs;
    table_attrs.reserve(5);
    table_attrs.append_new("type", Value("table"));
    table_attrs.append_new("name", Value(name));
    table_attrs.append_new("description", info.at("description"));
    table_attrs.append_new("domain", info.at("domain"));
    table_attrs.append_new("row_count", info.get("row_count", Value(0)));
    id_.assign(node_ids::kTable).append(name);
    Graph::Index table = graph_.add_node(id_, std::move(table_attrs));
    const Record& columns = record_of(info.at("columns"), {"Columns of table '", name, "'"});
    tables_.push_back(TableInfo{&name, table});
    graph_.reserve_successors(table, columns.size());
    lower_table_names_.push_back(text::lower(name));
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const std::string& column_name = columns.item(c).first;
      // The index place of a column a few ahead is fetched while this one is
      // added.
      if (const PreparedColumn* later = ahead_->peek(next_column_ + kPrefetchAhead))
        graph_.prefetch(later->slot);
      PreparedColumn* made = ahead_->take(next_column_++);
      PreparedColumn here;
      if (made) {
        write_column_id(id_, name, column_name);
      } else {  // prepare_column leaves the node id in id_
        prefetch_column(columns, c + 2, c + 1);
        here = prepare_column(name, column_name, columns.item(c).second, id_);
        graph_.prefetch(here.slot);
        made = &here;
      }
      Graph::Index col = graph_.add_node(made->slot, id_, std::move(made->attrs));
      column_names_.add(column_name, made->name_hash, col);
      graph_.append_new_edge(table, col, edges_.has_column);
      if (made->business_rules) add_rules(col, *made->business_rules);
      if (made->related_business_rules) add_related_rules(col, *made->related_business_rules);
      if (made->concepts) add_column_concepts(col, *made->concepts);
    }
  }

  void add_rules(Graph::Index col, const Value& rules) {
    for (const Value& rule_value : list_of(rules, {"business_rules"})) {
      const std::string& rule = text_of(rule_value, {"A business rule"});
      const std::string_view name = std::string_view(rule).substr(0, rule.find(':'));
      id_.assign(node_ids::kRule).append(name);
      auto node = graph_.find(id_);
      if (!node) {
        Record attrs;
        attrs.reserve(3);
        attrs.append_new("type", Value("rule"));
        attrs.append_new("name", Value(name));
        attrs.append_new("description", rule_value);
        node = graph_.add_node(id_, std::move(attrs));
      }
      graph_.add_edge(col, *node, edges_.governed_by);
    }
  }

  void add_related_rules(Graph::Index col, const Value& rules) {
    for (const Value& rule_value : list_of(rules, {"related_business_rules"})) {
      const Record& rule = record_of(rule_value, {"A related business rule"});
      const Value& name = rule.at("name");
      id_.assign(node_ids::kRule).append(to_str(name));
      auto node = graph_.find(id_);
      if (!node)
        node = graph_.add_node(
            id_, Record{{"type", "rule"}, {"name", name}, {"description", rule.at("description")}});
      graph_.add_edge(col, *node, edges_.governed_by);
    }
  }

  void add_column_concepts(Graph::Index col, const Value& concepts) {
    for (const Value& concept_value : list_of(concepts, {"concepts"})) {
      std::string name = to_str(concept_value);
      std::string id = node_ids::make_id(node_ids::kConcept, name);
      auto node = graph_.find(id);
      if (!node) {
        Value description("");
        if (concepts_) {
          if (const Value* info = concepts_->find(name))
            description = record_of(*info, {"Business concept '", name, "'"}).get("description", Value(""));
        }
        node = graph_.add_node(
            id, Record{{"type", "concept"}, {"name", concept_value}, {"description", description}});
      }
      graph_.add_edge(col, *node, edges_.implements);
    }
  }

  void add_relationships(const List& relationships) {
    for (const Value& rel_value : relationships) {
      const Record& rel = record_of(rel_value, {"A relationship"});
      const Graph::Index from = table_node(to_str(rel.at("from_table")));
      const Graph::Index to = table_node(to_str(rel.at("to_table")));
      Record attrs;
      attrs.reserve(3);
      attrs.append_new("relationship", Value("related_to"));
      attrs.append_new("join_condition", rel.at("join_condition"));
      attrs.append_new("description", rel.at("description"));
      graph_.add_edge(from, to, std::move(attrs));
    }
  }

  // The node of a table named by a relationship (a new, empty one for a
  // table the document does not describe).
  Graph::Index table_node(std::string_view name) {
    if (table_names_.empty()) index_table_names();
    const std::size_t mask = table_names_.size() - 1;
    std::size_t slot = std::hash<std::string_view>{}(name) & mask;
    for (; table_names_[slot] != 0; slot = (slot + 1) & mask) {
      const NamedTable& t = named_tables_[table_names_[slot] - 1];
      if (t.name == name) return t.node;
    }
    id_.assign(node_ids::kTable).append(name);
    const Graph::Index node = graph_.add_node(id_);
    if (graph_.node_count() == node + 1) {  // new: its name is kept in the graph's copy of the id
      named_tables_.push_back({graph_.id(node).substr(node_ids::kTable.size()), node});
      table_names_[slot] = static_cast<std::uint32_t>(named_tables_.size());
      if (named_tables_.size() * 2 > table_names_.size()) index_table_names();
    }
    return node;
  }
  // The table nodes by name, in a small table of their own: the graph's
  // index of every id is far larger and mostly out of cache.
  void index_table_names() {
    if (named_tables_.empty())
      for (const TableInfo& t : tables_) named_tables_.push_back({*t.name, t.node});
    std::size_t slots = 16;
    while (slots < named_tables_.size() * 2 + 2) slots *= 2;
    table_names_.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t k = 0; k < named_tables_.size(); ++k) {
      std::size_t slot = std::hash<std::string_view>{}(named_tables_[k].name) & mask;
      while (table_names_[slot] != 0) slot = (slot + 1) & mask;
      table_names_[slot] = static_cast<std::uint32_t>(k + 1);
    }
  }

  void add_examples(const List& examples, std::optional<ExampleTables> matched) {
    std::vector<Graph::Index> nodes;
    TextBuffer queries;
    for (std::size_t i = 0; i < examples.size(); ++i) {
      const Record& example = record_of(examples[i], {"A query example"});
      const Value& query = example.at("query");
      Record attrs;
      attrs.reserve(4);
      attrs.append_new("type", Value("example"));
      attrs.append_new("query", query);
      attrs.append_new("description", example.at("description"));
      attrs.append_new("complexity", example.get("complexity", Value("simple")));
      nodes.push_back(
          graph_.add_node(node_ids::make_id(node_ids::kExample, std::to_string(i)), std::move(attrs)));
      const std::string& text = text_of(query, {"An example's query"});
      if (!matched) queries.add(text::lower(text));
    }
    if (!matched) matched = match_queries(queries);
    // The edges are added example by example, each in table order.
    for (std::size_t i = 0; i < nodes.size(); ++i)
      for (std::uint32_t t : (*matched)[i])
        graph_.append_new_edge(nodes[i], tables_[t].node, edges_.references);
  }

  std::string_view table_name(std::size_t t) const { return lower_table_names_[t]; }

  void add_keywords(const Record& keywords) {
    for (const auto& [keyword, targets] : keywords) {
      Graph::Index node = graph_.add_node(node_ids::make_id(node_ids::kKeyword, keyword),
                                          Record{{"type", "keyword"}, {"name", keyword}});
      for (const Value& target_value : list_of(targets, {"Targets of keyword '", keyword, "'"})) {
        const std::string& target = text_of(target_value, {"A keyword target"});
        std::string_view kind = node_ids::kTable;
        if (target.find('.') != std::string::npos) kind = node_ids::kColumn;
        else if (concepts_ && concepts_->contains(target)) kind = node_ids::kConcept;
        const std::string id = node_ids::make_id(kind, target);
        auto tagged = graph_.find(id);
        if (!tagged) continue;  // unknown targets are skipped
        graph_.add_edge(node, *tagged, edges_.tags);
        Record& attrs = graph_.attrs(*tagged);
        Value* list = attrs.find("keywords");
        if (!list) list = &attrs.set("keywords", Value(make_list()));
        if (!list->is_list()) throw TypeError("Attribute 'keywords' of node " + id + " is not a list");
        list->as_list().push_back(Value(keyword));
      }
    }
  }

  void add_terms(const Record& terminology, const TermColumns& matched) {
    std::size_t t = 0;
    for (const auto& [term, definition] : terminology) {
      Record attrs;
      attrs.reserve(3);
      attrs.append_new("type", Value("term"));
      attrs.append_new("name", Value(term));
      attrs.append_new("description", definition);
      Graph::Index node = graph_.add_node(node_ids::make_id(node_ids::kTerm, term), std::move(attrs));
      const std::vector<Graph::Index>& columns = matched[t++];
      graph_.reserve_successors(node, columns.size());
      for (Graph::Index column : columns) graph_.append_new_edge(node, column, edges_.defines);
    }
  }

  const Record& doc_;
  Graph& graph_;
  const Record* concepts_ = nullptr;
  std::vector<TableInfo> tables_;
  struct NamedTable {
    std::string_view name;
    Graph::Index node;
  };
  std::vector<NamedTable> named_tables_;   // the document's tables, then those only named by relationships
  std::vector<std::uint32_t> table_names_;  // open addressing: position in named_tables_ + 1, 0: empty
  EdgeRecords edges_;
  std::vector<std::string> lower_table_names_;
  ColumnNames column_names_;
  static constexpr std::size_t kPrefetchAhead = 8;
  std::optional<ColumnsAhead> ahead_;
  std::size_t next_column_ = 0;  // document order of the next column
  std::string id_;  // the node id being made (reused: most ids are too long to be kept inline)
};

}  // namespace

namespace {

// A `related_terms` value as texts: a list of texts, or one text of
// comma-separated terms; anything else gives none.
std::vector<std::string> related_texts(const Record& r) {
  std::vector<std::string> out;
  const Value* v = r.find("related_terms");
  if (!v) return out;
  if (v->is_text()) {
    std::string_view rest = v->as_text();
    while (!rest.empty()) {
      const std::size_t comma = rest.find(',');
      const std::string_view term = text::strip(rest.substr(0, comma));
      if (!term.empty()) out.emplace_back(term);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  } else if (v->is_list()) {
    for (const Value& t : v->as_list())
      if (t.is_text() && !t.as_text().empty()) out.push_back(t.as_text());
  }
  return out;
}

// The related terms of the document's tables, columns and business
// concepts, by node id. Read leniently: they are an optional extra.
std::vector<std::pair<std::string, std::vector<std::string>>> related_terms_of(const Record& doc) {
  std::vector<std::pair<std::string, std::vector<std::string>>> out;
  auto add = [&](std::string id, const Value& v) {
    if (!v.is_record()) return;
    std::vector<std::string> terms = related_texts(v.as_record());
    if (!terms.empty()) out.emplace_back(std::move(id), std::move(terms));
  };
  if (const Value* tables = doc.find("tables"); tables && tables->is_record())
    for (const auto& [table, t] : tables->as_record()) {
      add(node_ids::make_id(node_ids::kTable, table), t);
      if (!t.is_record()) continue;
      if (const Value* columns = t.as_record().find("columns"); columns && columns->is_record())
        for (const auto& [column, c] : columns->as_record()) add(node_ids::column_id(table, column), c);
    }
  if (const Value* concepts = doc.find("business_concepts"); concepts && concepts->is_record())
    for (const auto& [name, c] : concepts->as_record()) add(node_ids::make_id(node_ids::kConcept, name), c);
  return out;
}

}  // namespace

KnowledgeGraphPtr AtlanorService::build_graph(const Value& metadata) {
  const Value* source = &metadata;
  if (metadata.is_null()) {
    if (metadata_.is_null()) throw ValueError(kNoMetadata);
    source = &metadata_;
  }
  const Record& doc = record_of(*source, {"Metadata document"});
  auto graph = std::make_shared<Graph>();
  Builder(doc, *graph).run();
  KnowledgeGraphPtr built = KnowledgeGraph::from(std::move(graph));
  built->related_terms = related_terms_of(doc);
  // A large graph replaced here is freed off this thread when this was its
  // last holder.
  KnowledgeGraphPtr previous = std::exchange(graph_, built);
  if (previous && previous->graph->node_count() >= kFreeLaterFrom)
    release_in_background(std::move(previous));
  if (verbose)
    console_.line("Graph built with " + std::to_string(built->graph->node_count()) + " nodes and " +
                  std::to_string(built->graph->edge_count()) + " edges");
  return built;
}

}  // namespace corvalt::atlanor

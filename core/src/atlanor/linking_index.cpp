// Building the linking index of a knowledge graph: every table's words with
// their evidence, the names a question may spell, the joins, and the schema
// words for reading misspellings.
#include "linking_index.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "corvalt/node_ids.hpp"
#include "corvalt/text.hpp"
#include "corvalt/value.hpp"

namespace corvalt::linking {

namespace detail {

std::string name_key(std::vector<std::string> stems) {
  std::sort(stems.begin(), stems.end());
  std::string key;
  for (const auto& s : stems) {
    if (!key.empty()) key.push_back(' ');
    key += s;
  }
  return key;
}

std::vector<std::string> sql_identifiers(std::string_view sql) {
  std::vector<std::string> out;
  std::string current;
  for (std::size_t pos = 0; pos < sql.size();) {
    const std::size_t begin = pos;
    const char32_t cp = text::next_code_point(sql, pos);
    if (text::is_word_char(cp)) {
      current.append(sql.substr(begin, pos - begin));
    } else if (!current.empty()) {
      out.push_back(text::lower(current));
      current.clear();
    }
  }
  if (!current.empty()) out.push_back(text::lower(current));
  return out;
}

std::vector<char32_t> code_points(std::string_view s) {
  std::vector<char32_t> out;
  for (std::size_t pos = 0; pos < s.size();) out.push_back(text::next_code_point(s, pos));
  return out;
}

}  // namespace detail

namespace {

using namespace detail;
using Impl = Index::Impl;

// Evidence of one word by where it is found (the table's own name: see
// kNamedWord and kNameWord).
constexpr float kDescriptionWord = 0.5f;
constexpr float kColumnNameWord = 0.8f;
constexpr float kColumnDescriptionWord = 0.35f;
constexpr float kTableTag = 0.8f;
constexpr float kColumnTag = 0.7f;
constexpr float kConceptTag = 0.5f;
constexpr float kConceptName = 0.6f;
constexpr float kConceptDescription = 0.3f;
// A term's own words are in the texts that use it already; its definition
// brings new ones.
constexpr float kTermName = 0.2f;
constexpr float kTermDefinition = 0.25f;
constexpr float kExampleDescription = 0.35f;
constexpr float kRuleText = 0.3f;
// A join column mostly describes the table it points to: its words that also
// name or describe that table count this much of their weight.
constexpr float kForeignKeyWord = 0.3f;
// The prose words kept to tell abbreviations from words: at most an
// abbreviation's length plus a plural ending.
constexpr std::size_t kLongestProseCheck = 7;

const std::string* text_attr(const Record& attrs, std::string_view key) {
  const Value* v = attrs.find(key);
  return v && v->is_text() ? &v->as_text() : nullptr;
}

// Sorted, one entry per (term, source) with the best weight.
void reduce_entries(std::vector<Entry>& entries) {
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.term != b.term ? a.term < b.term : a.source < b.source;
  });
  std::size_t out = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (out > 0 && entries[out - 1].term == entries[i].term &&
        entries[out - 1].source == entries[i].source)
      entries[out - 1].weight = std::max(entries[out - 1].weight, entries[i].weight);
    else
      entries[out++] = entries[i];
  }
  entries.resize(out);
}

void sort_unique(std::vector<TermId>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

// Per source the best weight, then the sources combined (all but `skip`).
float combine_sources(const float* best, Source skip = kSourceCount) {
  float e = 0;
  for (int s = 0; s < kSourceCount; ++s)
    if (s != skip) e = noisy_or(e, best[s]);
  return e;
}

// The best weight per (term, source) of the entries added since the last
// drain: what reduce_entries() gives, without sorting long lists. A term's
// weights live in a row of their own while it is in use.
class Accumulator {
 public:
  explicit Accumulator(std::size_t terms) : row_of_(terms, 0) {}

  void add(const Entry& e) {
    std::uint32_t& row = row_of_[e.term];
    if (row == 0) {
      rows_.push_back(Row{e.term, {}});
      row = static_cast<std::uint32_t>(rows_.size());
    }
    float& b = rows_[row - 1].best[e.source];
    b = std::max(b, e.weight);
  }
  // Calls f(term, best weight per source) for every term added, in term
  // order when `sorted`.
  template <typename F>
  void drain(F&& f, bool sorted) {
    if (sorted)
      std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.term < b.term; });
    for (const Row& r : rows_) {
      f(r.term, r.best.data());
      row_of_[r.term] = 0;
    }
    rows_.clear();
  }

 private:
  struct Row {
    TermId term;
    std::array<float, kSourceCount> best;
  };
  std::vector<std::uint32_t> row_of_;  // per term: its row + 1, or 0
  std::vector<Row> rows_;
};

// The regular English plural of a lower-cased ASCII word ("" for another).
std::string plural_of(std::string_view w) {
  if (w.size() < 2 || !std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
    return {};
  auto vowel = [](char c) { return std::string_view("aeiou").find(c) != std::string_view::npos; };
  if (w.back() == 'y' && !vowel(w[w.size() - 2])) return std::string(w.substr(0, w.size() - 1)) + "ies";
  if (w.ends_with("s") || w.ends_with("x") || w.ends_with("z") || w.ends_with("ch") || w.ends_with("sh"))
    return std::string(w) + "es";
  return std::string(w) + "s";
}

// "table.column" references of a join condition, as written.
std::vector<std::pair<std::string, std::string>> qualified_columns(std::string_view condition) {
  std::vector<std::pair<std::string, std::string>> out;
  std::vector<std::string> parts{std::string()};
  auto flush = [&] {
    if (parts.size() == 2 && !parts[0].empty() && !parts[1].empty())
      out.emplace_back(parts[0], parts[1]);
    parts.assign(1, std::string());
  };
  for (std::size_t pos = 0; pos < condition.size();) {
    const std::size_t begin = pos;
    const char32_t cp = text::next_code_point(condition, pos);
    if (text::is_word_char(cp))
      parts.back().append(condition.substr(begin, pos - begin));
    else if (cp == '.')
      parts.emplace_back();
    else
      flush();
  }
  flush();
  return out;
}

// The steps of building, with what they hand on to each other.
class Builder {
 public:
  Builder(Impl& index, const Graph& graph, const Index::RelatedTerms& related)
      : x_(index), graph_(graph), related_(related) {}

  void run() {
    classify_nodes();
    read_identifiers();
    gather_columns();
    read_tags_and_examples();
    read_related_terms();
    read_concepts_and_rules();
    read_own_texts();
    read_joins();
    read_terms();
    mark_keys();
    gather_evidence();
    collect_names();
    read_synonyms();
    weigh_terms();
    collect_spellings();
  }

 private:
  enum class Type { kOther, kTable, kColumn, kRule, kConcept, kExample, kKeyword, kTerm };

  // Adds the words and neighbour pairs of a text (or of its content words).
  void add_text(std::string_view text, Source source, float weight, std::vector<Entry>& out) {
    add_words(content_words(text, false), source, weight, out);
  }
  void add_words(const std::vector<Word>& words, Source source, float weight,
                 std::vector<Entry>& out) {
    // Most words were met before: their term is looked up as written, and
    // only a new word is stemmed.
    TermId previous = kNoTerm;
    for (std::size_t i = 0; i < words.size(); ++i) {
      TermId t;
      if (auto it = x_.surface.find(words[i].text); it != x_.surface.end()) {
        t = it->second;
      } else {
        t = x_.intern(stem(words[i].text));
        x_.surface.emplace(words[i].text, t);
      }
      out.push_back(Entry{t, source, weight});
      if (i > 0 && words[i].joined && previous != t)
        out.push_back(Entry{x_.intern_pair(previous, t), source, weight});
      previous = t;
    }
  }
  bool is(Graph::Index node, Type type) const { return types_[node] == type && slot_[node] != ~0u; }

  // Node types by their `type` attribute; tables get their slots.
  void classify_nodes() {
    const std::size_t n = graph_.node_count();
    types_.assign(n, Type::kOther);
    slot_.assign(n, ~0u);
    for (Graph::Index i = 0; i < n; ++i) {
      const std::string* type = text_attr(graph_.attrs(i), "type");
      if (!type) continue;
      if (*type == "table" && node_ids::has_prefix(graph_.id(i), node_ids::kTable)) {
        types_[i] = Type::kTable;
        slot_[i] = static_cast<std::uint32_t>(x_.tables.size());
        x_.tables.push_back(Impl::Table{i, node_ids::name_of(graph_.id(i), node_ids::kTable), {}});
      } else if (*type == "column") {
        types_[i] = Type::kColumn;
      } else if (*type == "rule") {
        types_[i] = Type::kRule;
      } else if (*type == "concept") {
        types_[i] = Type::kConcept;
      } else if (*type == "example") {
        types_[i] = Type::kExample;
      } else if (*type == "keyword") {
        types_[i] = Type::kKeyword;
      } else if (*type == "term") {
        types_[i] = Type::kTerm;
      }
    }
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t)
      x_.table_by_name.emplace(text::lower(x_.tables[t].name), t);
  }

  // How the tables' names read: without the prefix or suffix most of them
  // share ("tbl" of "tblProject" or "task_tbl"), and with their abbreviations written out
  // ("tblActRel" spells "activity relationship"). A word of the document's
  // prose is never read as an abbreviation.
  void read_identifiers() {
    for (Graph::Index i = 0; i < graph_.node_count(); ++i)
      if (const std::string* description = text_attr(graph_.attrs(i), "description")) {
        for (std::string& w : split_words(without_references(*description))) {
          if (w.size() <= kLongestProseCheck) prose_.insert(w);  // only short words are asked about
          vocabulary_.insert(std::move(w));
        }
      }
    std::vector<std::vector<std::string>> raw, reversed;
    for (const Impl::Table& table : x_.tables) {
      raw.push_back(split_words(table.name));
      reversed.emplace_back(raw.back().rbegin(), raw.back().rend());
    }
    const std::vector<std::string> prefixes = table_name_prefixes(raw);
    // And the suffix most of them share ("_tbl" of "task_tbl").
    const std::string suffix = table_name_prefix(reversed);
    table_name_words_.resize(x_.tables.size());
    table_context_.resize(x_.tables.size());
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      std::vector<Word> words = content_words(x_.tables[t].name);
      if (words.size() > 1 && std::find(prefixes.begin(), prefixes.end(), words.front().text) != prefixes.end()) {
        words.erase(words.begin());
        words.front().joined = words.front().adjacent = false;
      }
      if (!suffix.empty() && words.size() > 1 && words.back().text == suffix) words.pop_back();
      words = compounds_split(std::move(words));
      if (const std::string* description = text_attr(graph_.attrs(x_.tables[t].node), "description"))
        table_context_[t] = split_words(*description);
      table_name_words_[t] = expanded(words, [&] { return table_context_[t]; }, true);
      // The table's name words as written then read join its context.
      std::vector<std::string> context;
      for (const Word& w : words) context.push_back(w.text);
      for (const Word& w : table_name_words_[t]) context.push_back(w.text);
      table_context_[t].insert(table_context_[t].begin(), context.begin(), context.end());
    }
  }

  // The prefix most tables' names share ("tbl"), or the two that a
  // warehouse's names share between them ("dim" and "fact"), when both are
  // words the document's prose never uses.
  std::vector<std::string> table_name_prefixes(const std::vector<std::vector<std::string>>& raw) const {
    if (std::string prefix = table_name_prefix(raw); !prefix.empty()) return {prefix};
    std::unordered_map<std::string, std::size_t> firsts;
    for (const auto& words : raw)
      if (words.size() >= 2) ++firsts[words.front()];
    std::vector<std::pair<std::size_t, std::string>> counted;
    for (const auto& [word, count] : firsts) counted.emplace_back(count, word);
    std::sort(counted.begin(), counted.end(), std::greater<>());
    if (counted.size() < 2 || counted[1].first < 3 || 10 * (counted[0].first + counted[1].first) < 8 * raw.size() ||
        in_vocabulary(counted[0].second) || in_vocabulary(counted[1].second))
      return {};
    return {counted[0].second, counted[1].second};
  }

  // A description without its references to columns ("project.projectid"):
  // the words left are the document's prose.
  static std::string without_references(std::string text) {
    auto is_name_char = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    for (std::size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', dot + 1)) {
      if (dot == 0 || dot + 1 >= text.size() || !is_name_char(text[dot - 1]) || !is_name_char(text[dot + 1]))
        continue;
      std::size_t from = dot, to = dot + 1;
      while (from > 0 && is_name_char(text[from - 1])) --from;
      while (to < text.size() && is_name_char(text[to])) ++to;
      std::fill(text.begin() + static_cast<std::ptrdiff_t>(from), text.begin() + static_cast<std::ptrdiff_t>(to), ' ');
    }
    return text;
  }

  bool in_vocabulary(std::string_view word) const {
    const std::string w(word);
    if (vocabulary_.count(w) || vocabulary_.count(w + "s") || vocabulary_.count(w + "es")) return true;
    return w.size() > 3 && w.back() == 's' && vocabulary_.count(w.substr(0, w.size() - 1));
  }

  // A name written as one run of lower-case letters ("projectid",
  // "earlystart") read as the words of the document's prose it joins: the
  // fewest of them, longer ones before shorter; nothing when the name is a
  // word of the prose itself or no such words spell it whole. A piece has
  // three letters or more, or is one of the short words names join ("id").
  std::vector<std::string> compound_parts(const std::string& word) const {
    constexpr std::size_t kShortestCompound = 5;
    constexpr int kMostParts = 4;
    const std::size_t n = word.size();
    if (n < kShortestCompound || in_vocabulary(word) ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
      return {};
    auto piece = [&](std::string_view p) {
      if (p.size() == 2) return p == "id" || p == "is" || p == "no";
      return p.size() >= 3 && (in_vocabulary(p) || shorthand_for(p) != p);
    };
    // The best reading of each beginning: (parts, minus the sum of the parts' squared lengths).
    constexpr int kNone = std::numeric_limits<int>::max();
    std::vector<std::pair<int, int>> best(n + 1, {kNone, 0});
    std::vector<std::size_t> from(n + 1, 0);
    best[0] = {0, 0};
    for (std::size_t i = 2; i <= n; ++i)
      for (std::size_t j = 0; j + 2 <= i; ++j) {
        if (best[j].first == kNone || !piece(std::string_view(word).substr(j, i - j))) continue;
        const int len = static_cast<int>(i - j);
        const std::pair<int, int> reading{best[j].first + 1, best[j].second - len * len};
        if (reading < best[i]) {
          best[i] = reading;
          from[i] = j;
        }
      }
    if (best[n].first == kNone || best[n].first < 2 || best[n].first > kMostParts) return {};
    std::vector<std::string> parts;
    for (std::size_t i = n; i > 0; i = from[i]) parts.push_back(word.substr(from[i], i - from[i]));
    std::reverse(parts.begin(), parts.end());
    return parts;
  }

  // `words` with each name written as one run read as its parts.
  std::vector<Word> compounds_split(std::vector<Word> words) const {
    std::vector<Word> out;
    for (Word& w : words) {
      const std::vector<std::string> parts = compound_parts(w.text);
      if (parts.empty()) {
        out.push_back(std::move(w));
        continue;
      }
      bool first = true;
      for (const std::string& part : parts) {
        if (is_stop_word(part)) continue;
        Word p;
        p.text = part;
        p.stem = stem(part);
        p.joined = first ? w.joined : true;
        p.adjacent = first ? w.adjacent : true;
        first = false;
        out.push_back(std::move(p));
      }
    }
    return out;
  }

  // A name's words, with those written as one run read as their parts.
  std::vector<std::string> name_words(const std::string& name) const {
    std::vector<std::string> out;
    for (std::string& w : split_words(name)) {
      std::vector<std::string> parts = compound_parts(w);
      if (parts.empty())
        out.push_back(std::move(w));
      else
        out.insert(out.end(), parts.begin(), parts.end());
    }
    return out;
  }

  bool in_prose(const std::string& word) const {
    return prose_.count(word) || prose_.count(word + "s") || prose_.count(word + "es");
  }

  // The word an abbreviation `word` stands for, or an empty text. The words
  // describing it are gathered only for a word that may be one: most are not.
  // A table's name word of four letters or more without a vowel is no word
  // of prose, even where a description writes it ("bsln" of
  // "(bsln_tbl.bsln_id)"); shorter ones are often acronyms ("WBS").
  template <typename Context>
  std::string written_out(const std::string& word, std::vector<std::string>& context, bool& gathered,
                          Context&& gather, bool of_table = false) const {
    if (!abbreviation_shaped(word)) return {};
    const bool contraction = of_table && word.size() >= 4 && word.find_first_of("aeiouy") == std::string::npos;
    if (in_prose(word) && !contraction) return {};
    if (!gathered) {
      context = gather();
      gathered = true;
    }
    return expand_abbreviation(word, context);
  }

  // `words` with each abbreviation written out (expand_abbreviation).
  template <typename Context>
  std::vector<Word> expanded(std::vector<Word> words, Context&& gather, bool of_table = false) const {
    std::vector<std::string> context;
    bool gathered = false;
    for (Word& w : words) {
      std::string full = written_out(w.text, context, gathered, gather, of_table);
      if (full.empty()) continue;
      w.stem = stem(full);
      w.text = std::move(full);
    }
    return words;
  }

  // The words describing a column, nearest first: its description, then its table's.
  std::vector<std::string> column_context(std::uint32_t c) const {
    std::vector<std::string> context;
    if (const std::string* description = text_attr(graph_.attrs(x_.columns[c].node), "description"))
      context = split_words(*description);
    const auto& table = table_context_[x_.columns[c].table];
    context.insert(context.end(), table.begin(), table.end());
    return context;
  }

  static bool same_words(const std::vector<Word>& a, const std::vector<Word>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Word& x, const Word& y) { return x.text == y.text; });
  }

  // Each table's columns in successor order (a column under two tables
  // belongs to the first), and the rules and concepts under the columns.
  void gather_columns() {
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      for (const Graph::Edge& edge : graph_.successors(x_.tables[t].node)) {
        if (types_[edge.target] != Type::kColumn || slot_[edge.target] != ~0u) continue;
        slot_[edge.target] = static_cast<std::uint32_t>(x_.columns.size());
        x_.tables[t].columns.push_back(slot_[edge.target]);
        x_.columns.push_back(Impl::Column{edge.target, t, {}, {}, {}, {}});
      }
    }
    for (Impl::Column& column : x_.columns) {
      for (const Graph::Edge& edge : graph_.successors(column.node)) {
        const Graph::Index target = edge.target;
        if (types_[target] == Type::kRule) {
          if (slot_[target] == ~0u) {
            slot_[target] = static_cast<std::uint32_t>(x_.rules.size());
            x_.rules.push_back(Impl::Rule{target, {}});
          }
          column.rules.push_back(slot_[target]);
        } else if (types_[target] == Type::kConcept) {
          if (slot_[target] == ~0u) {
            slot_[target] = static_cast<std::uint32_t>(x_.concepts.size());
            x_.concepts.push_back(Impl::Concept{target, {}});
            concept_entries_.emplace_back();
          }
          column.concepts.push_back(slot_[target]);
        }
      }
    }
    column_extra_.resize(x_.columns.size());
    table_extra_.resize(x_.tables.size());
  }

  // Keyword tags lead to the tables, columns and concepts they tag; an
  // example query's description to the tables its SQL names.
  void read_tags_and_examples() {
    std::vector<Entry> words;
    for (Graph::Index i = 0; i < graph_.node_count(); ++i) {
      const Record& attrs = graph_.attrs(i);
      if (types_[i] == Type::kKeyword) {
        const std::string* name = text_attr(attrs, "name");
        if (!name) continue;
        words.clear();
        add_text(*name, kTag, 1.0f, words);
        reduce_entries(words);
        auto tag = [&](std::vector<Entry>& out, float weight) {
          for (const Entry& e : words) out.push_back(Entry{e.term, kTag, weight});
        };
        for (const Graph::Edge& edge : graph_.successors(i)) {
          const Graph::Index target = edge.target;
          if (is(target, Type::kTable))
            tag(table_extra_[slot_[target]], kTableTag);
          else if (is(target, Type::kColumn))
            tag(column_extra_[slot_[target]], kColumnTag);
          else if (is(target, Type::kConcept))
            tag(concept_entries_[slot_[target]], kConceptTag);
        }
      } else if (types_[i] == Type::kTerm) {
        term_nodes_.push_back(i);
      } else if (types_[i] == Type::kExample) {
        const std::string* description = text_attr(attrs, "description");
        const std::string* query = text_attr(attrs, "query");
        if (!description || !query) continue;
        Impl::Example example{i, {}, {}};
        for (const std::string& ident : sql_identifiers(*query))
          if (auto it = x_.table_by_name.find(ident); it != x_.table_by_name.end())
            example.tables.push_back(it->second);
        std::sort(example.tables.begin(), example.tables.end());
        example.tables.erase(std::unique(example.tables.begin(), example.tables.end()),
                             example.tables.end());
        words.clear();
        add_text(*description, kExample, kExampleDescription, words);
        reduce_entries(words);
        for (const std::uint32_t t : example.tables)
          table_extra_[t].insert(table_extra_[t].end(), words.begin(), words.end());
        for (const Entry& e : words)
          if (!x_.is_pair[e.term]) example.terms.push_back(e.term);
        sort_unique(example.terms);
        x_.examples.push_back(std::move(example));
      }
    }
  }

  // The document's other words for a table, column or concept count as
  // that node's tags.
  void read_related_terms() {
    std::vector<Entry> words;
    for (const auto& [id, terms] : related_) {
      const auto node = graph_.find(id);
      if (!node) continue;
      words.clear();
      for (const std::string& term : terms) add_text(term, kTag, 1.0f, words);
      reduce_entries(words);
      auto tag = [&](std::vector<Entry>& out, float weight) {
        for (const Entry& e : words) out.push_back(Entry{e.term, kTag, weight});
      };
      if (is(*node, Type::kTable))
        tag(table_extra_[slot_[*node]], kTableTag);
      else if (is(*node, Type::kColumn))
        tag(column_extra_[slot_[*node]], kColumnTag);
      else if (is(*node, Type::kConcept))
        tag(concept_entries_[slot_[*node]], kConceptTag);
    }
  }

  void read_concepts_and_rules() {
    for (std::size_t c = 0; c < x_.concepts.size(); ++c) {
      const Record& attrs = graph_.attrs(x_.concepts[c].node);
      auto& entries = concept_entries_[c];
      if (const std::string* name = text_attr(attrs, "name"))
        add_text(*name, kConcept, kConceptName, entries);
      if (const std::string* description = text_attr(attrs, "description"))
        add_text(*description, kConcept, kConceptDescription, entries);
      reduce_entries(entries);
      for (auto it = entries.begin(); it != entries.end();) {
        float best[kSourceCount] = {};
        const TermId term = it->term;
        for (; it != entries.end() && it->term == term; ++it) best[it->source] = it->weight;
        x_.concepts[c].terms.emplace_back(term, combine_sources(best));
      }
    }
    x_.rule_entries.resize(x_.rules.size());
    for (std::size_t r = 0; r < x_.rules.size(); ++r) {
      if (const std::string* description = text_attr(graph_.attrs(x_.rules[r].node), "description"))
        add_text(*description, kRule, kRuleText, x_.rule_entries[r]);
      reduce_entries(x_.rule_entries[r]);
      for (const Entry& e : x_.rule_entries[r]) x_.rules[r].terms.push_back(e.term);
      sort_unique(x_.rules[r].terms);
    }
  }

  // The tables' and columns' own texts: names and descriptions.
  void read_own_texts() {
    table_own_.resize(x_.tables.size());
    column_own_.resize(x_.columns.size());
    column_words_.resize(x_.columns.size());
    table_words_.resize(x_.tables.size());
    table_self_.resize(x_.tables.size());
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      add_words(table_name_words_[t], kTableName, kNamedWord, table_own_[t]);
      if (const std::string* description = text_attr(graph_.attrs(x_.tables[t].node), "description"))
        add_text(*description, kTableDescription, kDescriptionWord, table_own_[t]);
      for (const Entry& e : table_own_[t]) {
        table_self_[t].push_back(e.term);
        x_.table_terms.insert(e.term);
      }
      sort_unique(table_self_[t]);
      table_words_[t] = table_self_[t];
      for (const std::uint32_t c : x_.tables[t].columns) {
        const Record& attrs = graph_.attrs(x_.columns[c].node);
        if (const std::string* description = text_attr(attrs, "description"))
          add_text(*description, kColumnDescription, kColumnDescriptionWord, column_own_[c]);
        if (const std::string* name = text_attr(attrs, "name")) {
          // The name as written, and as read with its abbreviations written out.
          const std::vector<Word> written = content_words(*name, false);
          column_words_[c] = expanded(compounds_split(written), [&] { return column_context(c); });
          for (const Word& w : written) x_.name_words.insert(w.text);
          for (const Word& w : column_words_[c]) x_.name_words.insert(w.text);
          add_words(written, kColumnName, kColumnNameWord, column_own_[c]);
          if (!same_words(written, column_words_[c]))
            add_words(column_words_[c], kColumnName, kColumnNameWord, column_own_[c]);
        }
        for (const Entry& e : column_own_[c]) table_words_[t].push_back(e.term);
      }
      sort_unique(table_words_[t]);
    }
  }

  // Relationship edges between two tables, with their direction. A column
  // named in a join condition points to the other table: its words that also
  // name or describe that table are mostly about it.
  void read_joins() {
    x_.joins.resize(x_.tables.size());
    auto link = [&](std::uint32_t a, std::uint32_t b, bool up) {
      auto& list = x_.joins[a];
      auto it = std::find_if(list.begin(), list.end(), [&](const Impl::Join& j) { return j.table == b; });
      if (it == list.end()) it = list.insert(list.end(), Impl::Join{b, false, false});
      (up ? it->up : it->down) = true;
    };
    std::vector<std::vector<std::uint32_t>> points_to(x_.columns.size());
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      for (const Graph::Edge& edge : graph_.successors(x_.tables[t].node)) {
        if (!is(edge.target, Type::kTable) || edge.target == x_.tables[t].node || !edge.attrs) continue;
        const Value* condition = edge.attrs->find("join_condition");
        if (!condition) continue;
        const std::uint32_t u = slot_[edge.target];
        link(t, u, true);
        link(u, t, false);
        if (!condition->is_text()) continue;
        for (const auto& [table, column] : qualified_columns(condition->as_text())) {
          auto found = graph_.find(node_ids::column_id(table, column));
          if (!found || !is(*found, Type::kColumn)) continue;
          const std::uint32_t c = slot_[*found];
          x_.columns[c].key = true;
          const std::uint32_t other = x_.columns[c].table == t ? u : t;
          if (other != x_.columns[c].table) points_to[c].push_back(other);
        }
      }
    }
    for (std::uint32_t c = 0; c < x_.columns.size(); ++c)
      for (const std::uint32_t other : points_to[c])
        for (Entry& e : column_own_[c])
          if (std::binary_search(table_self_[other].begin(), table_self_[other].end(), e.term))
            e.weight = std::min(e.weight, kForeignKeyWord * (e.source == kColumnName
                                                                 ? kColumnNameWord
                                                                 : kColumnDescriptionWord));
  }

  // A term and its definition lead to the columns it defines and to the
  // tables whose own texts use all of the term's words.
  void read_terms() {
    table_terms_.resize(x_.tables.size());
    column_terms_.resize(x_.columns.size());
    for (const Graph::Index i : term_nodes_) {
      const Record& attrs = graph_.attrs(i);
      const std::string* name = text_attr(attrs, "name");
      if (!name) continue;
      std::vector<Entry> entries;
      add_text(*name, kTerm, kTermName, entries);
      if (const std::string* definition = text_attr(attrs, "description"))
        add_text(*definition, kTerm, kTermDefinition, entries);
      reduce_entries(entries);
      const auto k = static_cast<std::uint32_t>(x_.term_entries.size());
      std::vector<bool> uses(x_.tables.size(), false);
      for (const Graph::Edge& edge : graph_.successors(i))
        if (is(edge.target, Type::kColumn)) {
          column_terms_[slot_[edge.target]].push_back(k);
          uses[x_.columns[slot_[edge.target]].table] = true;
        }
      std::vector<TermId> stems;
      for (Word& w : content_words(*name)) stems.push_back(x_.intern(w.stem));
      for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
        const auto& own = table_words_[t];
        uses[t] = uses[t] || (!stems.empty() && std::all_of(stems.begin(), stems.end(), [&](TermId s) {
                                return std::binary_search(own.begin(), own.end(), s);
                              }));
        if (uses[t]) table_terms_[t].push_back(k);
      }
      x_.term_entries.push_back(std::move(entries));
      x_.terms.push_back(Impl::Term{i, std::move(stems)});
    }
  }

  // The word an identifying word's abbreviation stands for ("cd", "nm",
  // "nbr", "ttl"), else empty.
  static std::string_view abbreviation_of_identifying(std::string_view word) {
    static constexpr std::pair<std::string_view, std::string_view> kShort[] = {
        {"cd", "code"}, {"nm", "name"}, {"nbr", "number"}, {"num", "number"}, {"ttl", "title"}, {"lbl", "label"}};
    for (const auto& [abbreviation, full] : kShort)
      if (abbreviation == word) return full;
    return {};
  }

  // The last word of a key's name: "id", or a warehouse's surrogate or
  // primary key ("plot_sk", "job_pk", "site_key").
  static bool is_key_word(std::string_view word) {
    return word == "id" || word == "sk" || word == "pk" || word == "key";
  }

  // Which columns a reader needs to join a table and to tell its rows
  // apart: those named in join conditions, the table's own identifier (a
  // column "id", or one named after the table and "id"), and columns whose
  // last word says they name the row (a warehouse's business key "_bk" too).
  void mark_keys() {
    constexpr std::string_view kIdentifying[] = {"code", "name", "title", "ref", "reference", "label", "number", "bk"};
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      const auto& table_words = table_name_words_[t];
      for (const std::uint32_t c : x_.tables[t].columns) {
        Impl::Column& column = x_.columns[c];
        std::vector<std::string> words = name_words(column_name(column.node));
        if (words.empty()) continue;
        // Abbreviations written out ("actCd", "job_no"); "id" stays.
        std::vector<std::string> context;
        bool gathered = false;
        for (std::string& w : words)
          if (!is_key_word(w) && w != "bk")
            if (std::string full = written_out(w, context, gathered, [&] { return column_context(c); });
                !full.empty())
              w = std::move(full);
        const std::string& last = words.back();
        if (words.size() == 1 && last == "id") column.key = column.own_key = true;
        if (is_key_word(last) && words.size() >= 2 && !table_words.empty() &&
            stem(words[words.size() - 2]) == table_words.back().stem)
          column.key = column.own_key = true;
        // Or the initials of the table's name ("ba_id" of "bld_area_tbl").
        if (is_key_word(last) && words.size() == 2 && table_words.size() >= 2) {
          std::string initials;
          for (const Word& w : table_words) initials += w.text.front();
          if (name_words(column_name(column.node)).front() == initials) column.key = column.own_key = true;
        }
        // So does the row's own code or name abbreviated, where the
        // document's prose writes the abbreviation as a word of a column's
        // name ("dev_stat_cd <> 'CL'") and so keeps it: "proj_cd" of the
        // projects.
        if (!column.key)
          column.identifying =
              std::find(std::begin(kIdentifying), std::end(kIdentifying), last) != std::end(kIdentifying) ||
              (!abbreviation_of_identifying(last).empty() && words.size() == 2 && !table_words.empty() &&
               (stem(words.front()) == table_words.back().stem ||
                stem(expand_abbreviation(words.front(), {})) == table_words.back().stem));
        const std::string key = text::lower(x_.tables[t].name) + "\n" + text::lower(column_name(column.node));
        if (column.identifying) x_.naming_columns.insert(key);
        // A person of the row, by their part in it: "owner", "planner_name",
        // "raised_by".
        column.person = !column.key && !is_key_word(last) &&
                        (last == "by" || std::any_of(words.begin(), words.end(), is_person_word));
        if (column.person) x_.person_columns.insert(key);
        // A start or finish as planned now ("planned_start_date", "EndDate"),
        // not as baselined, at first or as it happened.
        constexpr std::string_view kWhen[] = {"start", "finish", "end"};
        constexpr std::string_view kOther[] = {"baseline", "bl", "actual", "original", "orig", "late", "target"};
        auto has = [&](std::span<const std::string_view> set) {
          return std::any_of(words.begin(), words.end(), [&](const std::string& w) {
            return std::find(set.begin(), set.end(), w) != set.end();
          });
        };
        column.current_date = !column.key && has(kWhen) && !has(kOther);
      }
      x_.tables[t].people = !table_words.empty() && is_person_word(table_words.back().text);
      x_.tables[t].crews = !table_words.empty() && is_crew_word(table_words.back().text);
      x_.tables[t].assignments = !table_words.empty() && is_assignment_word(table_words.back().text);
      x_.tables[t].projects = !table_words.empty() && is_project_word(table_words.back().text);
      x_.tables[t].places = !table_words.empty() && is_place_word(table_words.back().text);
      // A lookup: named after the kinds it lists, a name and a few words on each.
      x_.tables[t].lookup = !table_words.empty() && is_kind_word(table_words.back().text) &&
                            x_.tables[t].columns.size() <= kLookupColumns;
    }
    // A schema that names no table after its projects may run them as
    // packages of a programme ("programmePackage"): its one table of
    // packages is then the projects'.
    if (std::none_of(x_.tables.begin(), x_.tables.end(), [](const Impl::Table& t) { return t.projects; })) {
      std::uint32_t pick = ~0u, found = 0;
      for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
        const auto& table_words = table_name_words_[t];
        if (table_words.empty()) continue;
        std::string_view last = table_words.back().text;
        if (last.size() > 3 && last.back() == 's') last.remove_suffix(1);
        if (last == "package") pick = t, ++found;
      }
      if (found == 1) x_.tables[pick].projects = true;
    }
    // Nor after packages, but in a module of projects ("PRJ_VESSEL_T" beside
    // "PRJ_RISK_T" and "PRJ_CHANGE_REQ_T"): of the tables whose names begin
    // with a word for projects, the one all the others of them point to.
    if (std::none_of(x_.tables.begin(), x_.tables.end(), [](const Impl::Table& t) { return t.projects; })) {
      std::vector<std::uint32_t> module;
      for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
        const auto& words = table_name_words_[t];  // abbreviations written out ("prj")
        if (words.size() >= 2 && is_project_word(words.front().text)) module.push_back(t);
      }
      std::uint32_t pick = ~0u, found = 0;
      for (const std::uint32_t t : module) {
        const bool pointed_to = std::all_of(module.begin(), module.end(), [&](std::uint32_t o) {
          return o == t || std::any_of(x_.joins[o].begin(), x_.joins[o].end(),
                                       [&](const Impl::Join& j) { return j.up && j.table == t; });
        });
        const bool parent = std::any_of(x_.joins[t].begin(), x_.joins[t].end(),
                                        [&](const Impl::Join& j) { return j.down && j.table != t; });
        if (pointed_to && parent) pick = t, ++found;
      }
      if (found == 1) x_.tables[pick].projects = true;
    }
    // Nor after packages ("bld_area" of a fibre rollout's build areas): the
    // table most others belong to is the projects', when it has clearly
    // the most tables under it and its rows are no tasks, people or calendars.
    if (std::none_of(x_.tables.begin(), x_.tables.end(), [](const Impl::Table& t) { return t.projects; })) {
      std::vector<std::size_t> children(x_.tables.size(), 0);
      for (std::uint32_t t = 0; t < x_.tables.size(); ++t)
        for (const Impl::Join& j : x_.joins[t]) children[t] += j.down && j.table != t;
      std::uint32_t pick = ~0u;
      std::size_t best = 0, second = 0;
      for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
        if (children[t] > best) {
          second = best, best = children[t], pick = t;
        } else if (children[t] > second) {
          second = children[t];
        }
      }
      if (pick != ~0u && best >= 4 && best >= second + 2 && !x_.tables[pick].people) {
        const auto& words = table_name_words_[pick];
        const std::string head = words.empty() ? std::string() : words.back().stem;
        if (head != "activ" && head != "task" && head != "calendar") x_.tables[pick].projects = true;
      }
    }
  }

  // A word for where on a site work is done: the plots of a housing
  // scheme, a wind farm's turbine positions, a ship's hull blocks.
  static bool is_place_word(std::string_view word) {
    static const std::unordered_set<std::string_view> kWords = {"plot", "position", "location", "area", "zone",
                                                                "lot",  "bay",      "room",     "block", "stand"};
    if (word.size() > 3 && word.back() == 's') word.remove_suffix(1);
    return kWords.count(word) != 0;
  }

  static bool is_crew_word(std::string_view word) {
    static const std::unordered_set<std::string_view> kWords = {"crew", "gang", "team", "resource", "workforce"};
    if (word.size() > 3 && word.back() == 's') word.remove_suffix(1);
    return kWords.count(word) != 0;
  }

  static bool is_assignment_word(std::string_view word) {
    static const std::unordered_set<std::string_view> kWords = {"assignment", "allocation", "booking", "roster"};
    if (word.size() > 3 && word.back() == 's') word.remove_suffix(1);
    return kWords.count(word) != 0;
  }

  // A word for the kinds other rows are sorted into: the statuses, types,
  // categories and levels a lookup table lists.
  static bool is_kind_word(std::string_view word) {
    static const std::unordered_set<std::string_view> kWords = {
        "status", "statuses", "type",  "kind",   "category", "categories", "level",
        "class",  "classes",  "band",  "grade",  "priority", "priorities", "severity", "severities"};
    if (word.size() > 3 && word.back() == 's' && !kWords.count(word)) word.remove_suffix(1);
    return kWords.count(word) != 0;
  }

  // A word for a person in a scheduling database: who works, manages, owns
  // or checks something.
  static bool is_person_word(std::string_view word) {
    static const std::unordered_set<std::string_view> kWords = {
        "person", "people", "employee", "staff", "technician", "worker", "operative", "tradesperson",
        "member", "contact", "manager", "owner", "author", "supervisor", "planner", "buyer",
        "inspector", "foreman", "engineer", "assignee"};
    if (word.size() > 3 && word.back() == 's') word.remove_suffix(1);
    return kWords.count(word) != 0;
  }

  std::string column_name(Graph::Index node) const {
    const std::string* name = text_attr(graph_.attrs(node), "name");
    return name ? *name : std::string();
  }

  // Each table's evidence from its own texts, tags, terms and examples and
  // from all that its columns hold. A column keeps its own texts and tags
  // for column_terms().
  void gather_evidence() {
    x_.postings.resize(x_.term_texts.size());
    Accumulator acc(x_.term_texts.size());
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      for (const Entry& e : table_own_[t]) acc.add(e);
      for (const Entry& e : table_extra_[t]) acc.add(e);
      for (const std::uint32_t k : table_terms_[t])
        for (const Entry& e : x_.term_entries[k]) acc.add(e);
      for (const std::uint32_t c : x_.tables[t].columns) {
        Impl::Column& column = x_.columns[c];
        column.entries = std::move(column_own_[c]);
        column.entries.insert(column.entries.end(), column_extra_[c].begin(), column_extra_[c].end());
        column.terms = std::move(column_terms_[c]);  // the table has these already (read_terms)
        for (const Entry& e : column.entries) acc.add(e);
        for (const std::uint32_t k : column.concepts)
          for (const auto& [term, weight] : x_.concepts[k].terms) acc.add(Entry{term, kConcept, weight});
        for (const std::uint32_t r : column.rules)
          for (const Entry& e : x_.rule_entries[r]) acc.add(e);
      }
      // Postings come out ordered by table as the tables are taken in order.
      acc.drain(
          [&](TermId term, const float* best) {
            x_.postings[term].push_back(
                Impl::Posting{t, combine_sources(best, kTableName), best[kTableName] > 0});
          },
          false);
    }
  }

  // The document's keywords that tag one table and nothing else, where a
  // keyword gives it a word of its name: other words for that word ("site"
  // and "scheme" where the keywords of a developments table are "site",
  // "scheme" and "development"; "subbie" beside "subcontractor", which tags
  // the assignments too). A keyword that tags several things, or that
  // another table's name uses, says no more than that it is related.
  void read_synonyms() {
    std::unordered_map<std::string, std::vector<Graph::Index>> tagged;
    for (Graph::Index i = 0; i < graph_.node_count(); ++i) {
      const Value* list = graph_.attrs(i).find("keywords");
      if (!list || !list->is_list()) continue;
      for (const Value& k : list->as_list())
        if (k.is_text()) tagged[text::lower(k.as_text())].push_back(i);
    }
    std::unordered_map<std::string, std::uint32_t> table_of_word;  // a name word -> its table, or ~0u for several
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t)
      for (const std::string& w : x_.tables[t].words) {
        auto [it, added] = table_of_word.emplace(stem(w), t);
        if (!added && it->second != t) it->second = ~0u;
      }
    // Per table: the keywords that tag it alone, and one of its name's words
    // that a keyword gives it (that keyword may tag more).
    std::unordered_map<std::uint32_t, std::vector<std::string>> alone;
    std::unordered_map<std::uint32_t, std::string> own;
    for (const auto& [keyword, nodes] : tagged) {
      if (keyword.size() < 3 ||
          !std::all_of(keyword.begin(), keyword.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
        continue;
      for (const Graph::Index node : nodes) {
        if (!is(node, Type::kTable)) continue;
        const std::uint32_t t = slot_[node];
        if (const auto it = table_of_word.find(stem(keyword)); it != table_of_word.end() && it->second == t)
          own[t] = keyword;
        else if (nodes.size() == 1 && !table_of_word.count(stem(keyword)))
          alone[t].push_back(keyword);
      }
    }
    for (const auto& [t, words] : alone)
      if (const auto it = own.find(t); it != own.end())
        for (const std::string& w : words) x_.synonyms.emplace(stem(w), it->second);
  }

  // Every table's name, then the columns' of two words or more. A name that
  // is all stop words or numbers cannot be spelt.
  void collect_names() {
    auto stems_of = [](const std::vector<Word>& words) {
      std::vector<std::string> stems;
      for (const Word& w : words) stems.push_back(w.stem);
      return stems;
    };
    for (const auto& words : column_words_)
      for (const Word& w : words) x_.name_words.insert(w.text);
    for (std::uint32_t t = 0; t < x_.tables.size(); ++t) {
      std::vector<Word> words = table_name_words_[t];
      for (const Word& w : words) x_.name_words.insert(w.text);
      if (words.empty()) continue;
      for (const Word& w : words) x_.tables[t].words.push_back(w.text);
      x_.tables[t].head = words.back().stem;
      x_.longest_key = std::max(x_.longest_key, words.size());
      x_.name_keys[name_key(stems_of(words))].push_back(static_cast<std::uint32_t>(x_.names.size()));
      x_.names.push_back(Impl::Name{std::move(words), {t}, true});
    }
    // A table's other words for itself name it too ("vessel" of a resources
    // table whose rows are the vessels), unless a table's own name is that
    // term; a term several tables give names none of them.
    std::unordered_map<std::string, std::uint32_t> related_names;  // key -> its Name
    for (const auto& [id, terms] : related_) {
      const auto node = graph_.find(id);
      if (!node || !is(*node, Type::kTable)) continue;
      const std::uint32_t t = slot_[*node];
      for (const std::string& term : terms) {
        std::vector<Word> words = content_words(term);
        bool known = !words.empty();
        for (Word& w : words) {
          const auto it = x_.surface.find(w.text);
          if (it == x_.surface.end()) known = false;
          else w.stem = x_.term_texts[it->second];
        }
        if (!known) continue;
        const std::string key = name_key(stems_of(words));
        if (x_.name_keys.count(key) && !related_names.count(key)) continue;
        auto [it, added] = related_names.emplace(key, static_cast<std::uint32_t>(x_.names.size()));
        if (added) {
          x_.longest_key = std::max(x_.longest_key, words.size());
          x_.name_keys[key].push_back(it->second);
          x_.names.push_back(Impl::Name{std::move(words), {}, true});
        }
        auto& holders = x_.names[it->second].tables;
        if (std::find(holders.begin(), holders.end(), t) == holders.end()) holders.push_back(t);
      }
    }
    std::unordered_map<std::string, std::uint32_t> column_names;  // key -> its Name
    for (std::uint32_t c = 0; c < x_.columns.size(); ++c) {
      std::vector<Word>& words = column_words_[c];
      if (words.size() < 2) continue;
      for (Word& w : words) w.stem = x_.term_texts[x_.surface.at(w.text)];
      const std::string key = name_key(stems_of(words));
      auto [it, added] = column_names.emplace(key, static_cast<std::uint32_t>(x_.names.size()));
      if (added) {
        x_.longest_key = std::max(x_.longest_key, words.size());
        x_.name_keys[key].push_back(it->second);
        x_.names.push_back(Impl::Name{std::move(words), {}, false});
      }
      auto& holders = x_.names[it->second].tables;
      if (std::find(holders.begin(), holders.end(), x_.columns[c].table) == holders.end())
        holders.push_back(x_.columns[c].table);
    }
  }

  void weigh_terms() {
    const double count = static_cast<double>(x_.tables.size());
    const double rare = std::log(1.0 + (count - 0.5) / 1.5);
    x_.idf.resize(x_.term_texts.size());
    for (std::size_t t = 0; t < x_.term_texts.size(); ++t) {
      const double df = static_cast<double>(x_.postings[t].size());
      x_.idf[t] = rare > 0
                      ? static_cast<float>(std::log(1.0 + (count - df + 0.5) / (df + 0.5)) / rare)
                      : 0.0f;
    }
  }

  // The schema's words as written, and the plural of each that the schema
  // does not write itself: a question misspells "resources" where the
  // schema only has "resource".
  void collect_spellings() {
    auto add = [&](const std::string& word, TermId term) {
      std::vector<char32_t> cps = code_points(word);
      if (cps.size() >= x_.by_length.size()) x_.by_length.resize(cps.size() + 1);
      x_.by_length[cps.size()].push_back(
          Impl::Spelling{std::u32string(cps.begin(), cps.end()), word, term});
    };
    for (const auto& [word, term] : x_.surface) {
      add(word, term);
      std::string plural = plural_of(word);
      if (!plural.empty() && !x_.surface.count(plural)) add(plural, term);
    }
    // Candidates in one order whatever the hash order.
    for (auto& list : x_.by_length)
      std::sort(list.begin(), list.end(),
                [](const Impl::Spelling& a, const Impl::Spelling& b) { return a.text < b.text; });
  }

  Impl& x_;
  const Graph& graph_;
  const Index::RelatedTerms& related_;
  std::vector<Type> types_;
  std::vector<std::uint32_t> slot_;  // a node's index in the list of its type
  std::vector<Graph::Index> term_nodes_;
  std::vector<std::vector<Entry>> concept_entries_;
  std::vector<std::vector<Entry>> column_extra_, table_extra_;  // tags and examples
  std::vector<std::vector<Entry>> table_own_, column_own_;
  std::vector<std::vector<Word>> column_words_;        // the words of each column's name
  std::vector<std::vector<Word>> table_name_words_;    // each table's name as read_identifiers() reads it
  std::vector<std::vector<std::string>> table_context_;  // the words describing each table
  std::unordered_set<std::string> prose_;              // the short words of the document's descriptions
  std::unordered_set<std::string> vocabulary_;         // all of them, without references to columns
  std::vector<std::vector<TermId>> table_words_;       // all of a table's own words
  std::vector<std::vector<TermId>> table_self_;        // its name and description words
  std::vector<std::vector<std::uint32_t>> table_terms_;   // the terms a table uses
  std::vector<std::vector<std::uint32_t>> column_terms_;  // the terms defining a column
};

}  // namespace

Index::Impl::Impl(const Graph& graph, const Index::RelatedTerms& related) { Builder(*this, graph, related).run(); }

detail::TermId Index::Impl::intern(const std::string& stem) {
  auto [it, added] = term_ids.emplace(stem, static_cast<TermId>(term_texts.size()));
  if (added) {
    term_texts.push_back(stem);
    is_pair.push_back(false);
  }
  return it->second;
}

detail::TermId Index::Impl::intern_pair(TermId a, TermId b) {
  auto [it, added] = pair_ids.emplace(pair_key(a, b), static_cast<TermId>(term_texts.size()));
  if (added) {
    term_texts.push_back(term_texts[std::min(a, b)] + " " + term_texts[std::max(a, b)]);
    is_pair.push_back(true);
  }
  return it->second;
}

detail::TermId Index::Impl::find_pair(TermId a, TermId b) const {
  if (a == kNoTerm || b == kNoTerm || a == b) return kNoTerm;
  auto it = pair_ids.find(pair_key(a, b));
  return it == pair_ids.end() ? kNoTerm : it->second;
}

Index::Impl::Weighted Index::Impl::column_terms(std::uint32_t c) const {
  const Column& column = columns[c];
  std::vector<Entry> entries = column.entries;
  for (const std::uint32_t k : column.terms)
    entries.insert(entries.end(), term_entries[k].begin(), term_entries[k].end());
  for (const std::uint32_t k : column.concepts)
    for (const auto& [term, weight] : concepts[k].terms) entries.push_back(Entry{term, kConcept, weight});
  for (const std::uint32_t r : column.rules)
    entries.insert(entries.end(), rule_entries[r].begin(), rule_entries[r].end());
  reduce_entries(entries);
  Weighted out;
  for (auto it = entries.begin(); it != entries.end();) {
    float best[kSourceCount] = {};
    const TermId term = it->term;
    for (; it != entries.end() && it->term == term; ++it) best[it->source] = it->weight;
    out.emplace_back(term, combine_sources(best));
  }
  return out;
}

const Index::Impl::Posting* Index::Impl::posting(TermId term, std::uint32_t table) const {
  const auto& list = postings[term];
  auto it = std::lower_bound(list.begin(), list.end(), table,
                             [](const Posting& p, std::uint32_t t) { return p.table < t; });
  return it == list.end() || it->table != table ? nullptr : &*it;
}

Index::Index(const Graph& graph, const RelatedTerms& related) : impl_(std::make_unique<Impl>(graph, related)) {}
Index::~Index() = default;
std::size_t Index::table_count() const noexcept { return impl_->tables.size(); }
std::size_t Index::term_count() const noexcept { return impl_->term_texts.size(); }

}  // namespace corvalt::linking

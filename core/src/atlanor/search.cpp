// Keyword search, related rules and paths over the knowledge graph.
//
// A keyword matches a text "as a whole word" when the ignore-case pattern
// \b + escape(keyword) + \b finds it. Testing that pattern against every
// node for every keyword is slow on large graphs, and the graph never changes
// once built, so SearchIndex prepares at build time:
//   - every node's searchable texts (its id, `name`, `description` and each
//     `keywords` tag), folded to lower case, in one buffer;
//   - a token index: a token is a maximal run of ASCII word characters
//     [a-z0-9_] of a folded text; each distinct token lists the texts that
//     contain it.
// Any hit of a keyword - whole-word or plain substring - holds each maximal
// ASCII word run ("piece") of the folded keyword inside one token of the
// folded text. So the texts listed under the tokens that contain the
// keyword's longest piece are the only candidates, and only those are
// checked. The check is exact: an ASCII keyword against an ASCII text uses
// ASCII case and word rules directly; every other pairing runs the compiled
// Regex, which carries the full Unicode case and word rules.
//
// Folding maps each code point on its own: ASCII to lower case, and the four
// non-ASCII letters that match an ASCII letter under ignore-case (U+0130,
// U+0131 -> i, U+017F -> s, U+212A -> k) to that letter; everything else is
// kept as it is. A hit of a keyword under ignore-case therefore survives in
// the folded text wherever the keyword has ASCII letters, which is all the
// candidate search needs. For an ASCII text the fold is its lower case.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/node_ids.hpp"
#include "corvalt/regex.hpp"
#include "corvalt/text.hpp"
#include "corvalt/text_hash.hpp"

namespace corvalt::atlanor {

namespace {

constexpr std::array<bool, 256> make_word_table() {
  std::array<bool, 256> t{};
  for (int c = 'a'; c <= 'z'; ++c) t[c] = true;
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = true;
  for (int c = '0'; c <= '9'; ++c) t[c] = true;
  t['_'] = true;
  return t;
}
constexpr std::array<bool, 256> kAsciiWord = make_word_table();

inline bool ascii_word(char c) { return kAsciiWord[static_cast<unsigned char>(c)]; }

std::string fold(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos < s.size()) {
    const std::size_t start = pos;
    const char32_t cp = text::next_code_point(s, pos);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp));
    } else if (cp == 0x130 || cp == 0x131) {
      out.push_back('i');
    } else if (cp == 0x17F) {
      out.push_back('s');
    } else if (cp == 0x212A) {
      out.push_back('k');
    } else {
      out.append(s.substr(start, pos - start));
    }
  }
  return out;
}

// Whole-word hit of an ASCII keyword in a lower-cased ASCII text: an
// occurrence with a word boundary before and after it (a boundary sits
// between a word and a non-word character; outside the text is non-word).
bool ascii_whole_word(std::string_view text, std::string_view keyword) {
  if (keyword.empty()) return std::any_of(text.begin(), text.end(), ascii_word);
  const bool first_word = ascii_word(keyword.front());
  const bool last_word = ascii_word(keyword.back());
  for (std::size_t pos = text.find(keyword); pos != std::string_view::npos;
       pos = text.find(keyword, pos + 1)) {
    const bool before = pos > 0 && ascii_word(text[pos - 1]);
    const std::size_t end = pos + keyword.size();
    const bool after = end < text.size() && ascii_word(text[end]);
    if (before != first_word && after != last_word) return true;
  }
  return false;
}

bool contains(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  return ::memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

// The tests of the scoring table, in order; a node takes the first that
// holds for a keyword.
enum Test : std::uint8_t {
  kNoTest = 0,
  kIdWord = 1,
  kNameWord = 2,
  kDescriptionWord = 3,
  kTagWord = 4,
  kNamePart = 5,
  kDescriptionPart = 6,
};
constexpr std::array<int, 7> kTestScore = {0, 5, 4, 3, 4, 2, 1};

std::string reason_text(Test test, std::string_view keyword) {
  static constexpr std::array<std::string_view, 7> kPrefix = {
      "", "ID contains '", "Name contains '", "Description contains '", "Tagged with keyword '",
      "Name partially matches '", "Description partially matches '"};
  std::string out(kPrefix[test]);
  out.append(keyword);
  out.push_back('\'');
  return out;
}

enum Field : std::uint8_t { kId, kName, kDescription, kTag };

constexpr Test word_test(Field f) {
  switch (f) {
    case kId: return kIdWord;
    case kName: return kNameWord;
    case kDescription: return kDescriptionWord;
    case kTag: return kTagWord;
  }
  return kNoTest;
}

constexpr Test part_test(Field f) {
  return f == kName ? kNamePart : f == kDescription ? kDescriptionPart : kNoTest;
}

[[noreturn]] void not_a_string(const Value& v) {
  if (v.kind() == Value::Kind::Bytes)
    throw TypeError("cannot use a string pattern on a bytes-like object");
  throw TypeError(std::string("expected string or bytes-like object, got '") + v.type_name() + "'");
}

// What a node's searchable attributes hold, as the tests read them.
struct NodeTexts {
  const std::string* name = nullptr;
  const std::string* description = nullptr;
  std::vector<const std::string*> tags;
  bool regular = true;  // all of them are text
};

NodeTexts node_texts(const Record& attrs) {
  NodeTexts out;
  // One pass over the record: it is small, and each node is visited once.
  for (const auto& [key, v] : attrs) {
    if (key == "name") {
      if (v.is_text()) out.name = &v.as_text();
      else out.regular = false;
    } else if (key == "description") {
      if (v.is_text()) out.description = &v.as_text();
      else out.regular = false;
    } else if (key == "keywords") {
      if (!v.is_list()) {
        out.regular = false;
        continue;
      }
      for (const Value& e : v.as_list()) {
        if (!e.is_text()) {
          out.regular = false;
          break;
        }
        out.tags.push_back(&e.as_text());
      }
    }
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------

class SearchIndex {
 public:
  explicit SearchIndex(const Graph& graph);

  CompactSearchResult search(const Graph& graph, const std::vector<std::string>& keywords) const;

 private:
  struct Text {
    Graph::Index node;
    Field field;
    bool ascii;
    std::uint32_t wide;  // index into wide_ when !ascii
    std::size_t begin, end;  // folded text in folded_
  };
  // What a non-ASCII text keeps besides its fold: the original for Regex and
  // the full lower case for the substring tests.
  struct WideText {
    std::string original;
    std::string lower;
  };

  // One distinct normalised keyword of a call.
  struct Keyword {
    std::string text;         // normalised
    std::string folded;
    bool ascii = true;        // text is ASCII
    bool folded_ascii = true; // folded is ASCII
    bool word_only = false;   // ASCII, non-empty, word characters only
    std::string_view piece;   // longest ASCII word run of folded (into folded)
    std::optional<Regex> regex;

    const Regex& pattern() {
      if (!regex) regex.emplace("\\b" + Regex::escape(text) + "\\b", Regex::kIgnoreCase);
      return *regex;
    }
  };

  // A keyword's hits: (node, first test it passes), in node order.
  using Hits = std::vector<std::pair<Graph::Index, Test>>;

  // Per-node state of one keyword's check, reused across the keywords of a
  // call: the best test per node, the nodes that have one, and which texts
  // were already checked for the keyword (stamped with its index).
  struct Scratch {
    std::vector<Test> best;
    std::vector<Graph::Index> touched;
    std::vector<std::uint32_t> seen;

    Scratch(std::size_t nodes, std::size_t texts) : best(nodes, kNoTest), seen(texts, UINT32_MAX) {}
    void note(Graph::Index node, Test t) {
      Test& b = best[node];
      if (b == kNoTest) {
        touched.push_back(node);
        b = t;
      } else if (t < b) {
        b = t;
      }
    }
  };

  void add_text(Graph::Index node, Field field, std::string_view s);
  void build_tokens();

  // The steps of search(), in order.
  // Distinct normalised keywords; `order` maps each given keyword to one.
  static std::vector<Keyword> distinct_keywords(const std::vector<std::string>& keywords,
                                                std::vector<std::size_t>& order);
  std::vector<Hits> irregular_hits(const Graph& graph, std::vector<Keyword>& distinct,
                                   const std::vector<std::size_t>& order) const;
  // Checks the texts that can hold the keyword, noting each node's best test.
  void check_candidates(Keyword& k, std::uint32_t stamp, Scratch& scratch) const;
  Hits collect_hits(Scratch& scratch) const;
  // Every distinct keyword's hits, from the texts (check_candidates, then
  // collect_hits).
  std::vector<Hits> text_hits(std::vector<Keyword>& distinct) const;
  static void merge_into(Hits& list, const Hits& more);
  std::vector<int> list_matches(const std::vector<Hits>& hits, const std::vector<Keyword>& distinct,
                                const std::vector<std::size_t>& order,
                                CompactSearchResult& result) const;
  static void rank(const std::vector<int>& score, CompactSearchResult& result);

  std::string_view folded(const Text& t) const { return {folded_.data() + t.begin, t.end - t.begin}; }
  // The first test this text passes for the keyword (its field's tests only).
  Test check(const Text& t, Keyword& k) const;
  // Calls fn(token) for every token that contains `piece`.
  template <class Fn>
  void tokens_containing(std::string_view piece, Fn&& fn) const;
  // The first test a node passes, straight from its attributes with Regex;
  // raises TypeError where a test meets a value that is not text.
  static Test check_node(const Graph& graph, Graph::Index node, Keyword& k);

  std::size_t node_count_ = 0;
  std::string folded_;
  std::vector<Text> texts_;
  std::vector<WideText> wide_;
  std::vector<std::uint32_t> wide_texts_;  // ids of the non-ASCII texts
  std::vector<Graph::Index> irregular_;    // nodes with non-text searchable values

  std::string vocab_;                      // tokens, each followed by '\n'
  std::vector<std::size_t> token_begin_;   // plus one past the last
  std::vector<std::uint32_t> posting_begin_;
  std::vector<std::uint32_t> postings_;    // text ids, ascending per token
};

SearchIndex::SearchIndex(const Graph& graph) : node_count_(graph.node_count()) {
  texts_.reserve(node_count_ * 3);
  folded_.reserve(node_count_ * 64);
  for (Graph::Index i = 0; i < node_count_; ++i) {
    NodeTexts nt = node_texts(graph.attrs(i));
    if (!nt.regular) {
      irregular_.push_back(i);
      continue;
    }
    add_text(i, kId, graph.id(i));
    if (nt.name) add_text(i, kName, *nt.name);
    if (nt.description) add_text(i, kDescription, *nt.description);
    for (const std::string* tag : nt.tags) add_text(i, kTag, *tag);
  }
  build_tokens();
}

void SearchIndex::add_text(Graph::Index node, Field field, std::string_view s) {
  Text t{node, field, true, 0, folded_.size(), 0};
  // Lower-case in place, noting on the way whether the text is ASCII.
  folded_.append(s);
  unsigned char high = 0;
  for (std::size_t i = t.begin; i < folded_.size(); ++i) {
    const auto c = static_cast<unsigned char>(folded_[i]);
    high |= c;
    folded_[i] = static_cast<char>(static_cast<unsigned>(c - 'A') < 26u ? c + ('a' - 'A') : c);
  }
  if (high >= 0x80) {
    t.ascii = false;
    folded_.resize(t.begin);
    folded_ += fold(s);
    t.wide = static_cast<std::uint32_t>(wide_.size());
    wide_.push_back(WideText{std::string(s), text::lower(s)});
    wide_texts_.push_back(static_cast<std::uint32_t>(texts_.size()));
  }
  t.end = folded_.size();
  texts_.push_back(t);
}

void SearchIndex::build_tokens() {
  // Open-addressing table from token text to token id while the vocabulary
  // is collected.
  std::vector<std::uint32_t> table(1024, UINT32_MAX);
  std::size_t mask = table.size() - 1;
  std::vector<std::uint64_t> token_hash;
  auto token_view = [&](std::uint32_t id) {
    return std::string_view(vocab_.data() + token_begin_[id], token_begin_[id + 1] - token_begin_[id] - 1);
  };
  auto grow = [&] {
    std::vector<std::uint32_t> bigger(table.size() * 2, UINT32_MAX);
    const std::size_t m = bigger.size() - 1;
    for (std::uint32_t id = 0; id < token_hash.size(); ++id) {
      std::size_t slot = token_hash[id] & m;
      while (bigger[slot] != UINT32_MAX) slot = (slot + 1) & m;
      bigger[slot] = id;
    }
    table.swap(bigger);
    mask = m;
  };
  token_begin_.push_back(0);
  auto intern = [&](std::string_view token) -> std::uint32_t {
    const std::uint64_t h = hash_text(token);
    std::size_t slot = h & mask;
    while (table[slot] != UINT32_MAX) {
      const std::uint32_t id = table[slot];
      if (token_hash[id] == h && token_view(id) == token) return id;
      slot = (slot + 1) & mask;
    }
    const auto id = static_cast<std::uint32_t>(token_hash.size());
    table[slot] = id;
    token_hash.push_back(h);
    vocab_.append(token);
    vocab_.push_back('\n');
    token_begin_.push_back(vocab_.size());
    if (token_hash.size() * 2 > table.size()) grow();
    return id;
  };

  // (token, text) pairs, one per token per text, in text order.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  pairs.reserve(texts_.size() * 4);
  std::vector<std::uint32_t> last_text;
  for (std::uint32_t id = 0; id < texts_.size(); ++id) {
    const std::string_view s = folded(texts_[id]);
    std::size_t pos = 0;
    while (pos < s.size()) {
      while (pos < s.size() && !ascii_word(s[pos])) ++pos;
      const std::size_t start = pos;
      while (pos < s.size() && ascii_word(s[pos])) ++pos;
      if (pos == start) break;
      const std::uint32_t token = intern(s.substr(start, pos - start));
      if (token >= last_text.size()) last_text.resize(token + 1, UINT32_MAX);
      if (last_text[token] == id) continue;
      last_text[token] = id;
      pairs.emplace_back(token, id);
    }
  }

  const std::size_t tokens = token_hash.size();
  posting_begin_.assign(tokens + 1, 0);
  for (const auto& p : pairs) ++posting_begin_[p.first + 1];
  for (std::size_t t = 0; t < tokens; ++t) posting_begin_[t + 1] += posting_begin_[t];
  postings_.resize(pairs.size());
  std::vector<std::uint32_t> fill(posting_begin_.begin(), posting_begin_.end() - 1);
  for (const auto& p : pairs) postings_[fill[p.first]++] = p.second;
}

template <class Fn>
void SearchIndex::tokens_containing(std::string_view piece, Fn&& fn) const {
  const char* base = vocab_.data();
  std::size_t pos = 0;
  while (pos < vocab_.size()) {
    const void* hit = ::memmem(base + pos, vocab_.size() - pos, piece.data(), piece.size());
    if (!hit) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
    const auto next = std::upper_bound(token_begin_.begin(), token_begin_.end(), at);
    const auto token = static_cast<std::uint32_t>(next - token_begin_.begin() - 1);
    fn(token);
    pos = *next;
  }
}

Test SearchIndex::check(const Text& t, Keyword& k) const {
  const Test word = word_test(t.field);
  const Test part = part_test(t.field);
  if (t.ascii && k.ascii) {
    const std::string_view s = folded(t);
    if (ascii_whole_word(s, k.text)) return word;
    if (part != kNoTest && contains(s, k.text)) return part;
    return kNoTest;
  }
  // An ASCII text can only meet a keyword whose fold is ASCII (no other
  // non-ASCII letter has an ASCII case partner).
  if (t.ascii && !k.folded_ascii) return kNoTest;
  // Every hit of such a keyword leaves its fold in the text's fold.
  if (k.folded_ascii && !contains(folded(t), k.folded)) return kNoTest;
  const WideText* w = t.ascii ? nullptr : &wide_[t.wide];
  const std::string_view original = w ? std::string_view(w->original) : folded(t);
  // An ASCII text's fold is its lower case: Regex sees the same letters
  // apart from case, which it ignores.
  if (k.pattern().search(original)) return word;
  if (part != kNoTest && contains(w ? std::string_view(w->lower) : folded(t), k.text)) return part;
  return kNoTest;
}

Test SearchIndex::check_node(const Graph& graph, Graph::Index node, Keyword& k) {
  const Regex& pattern = k.pattern();
  const Record& attrs = graph.attrs(node);
  auto search = [&](const Value& v) {
    if (!v.is_text()) not_a_string(v);
    return pattern.search(v.as_text());
  };
  if (pattern.search(graph.id(node))) return kIdWord;
  const Value* name = attrs.find("name");
  if (name && search(*name)) return kNameWord;
  const Value* description = attrs.find("description");
  if (description && search(*description)) return kDescriptionWord;
  if (const Value* tags = attrs.find("keywords")) {
    switch (tags->kind()) {
      case Value::Kind::List:
        for (const Value& e : tags->as_list())
          if (search(e)) return kTagWord;
        break;
      case Value::Kind::Text: {  // iterating a text gives its characters
        const std::string& s = tags->as_text();
        for (std::size_t pos = 0; pos < s.size();) {
          const std::size_t start = pos;
          text::next_code_point(s, pos);
          if (pattern.search(std::string_view(s).substr(start, pos - start))) return kTagWord;
        }
        break;
      }
      case Value::Kind::Record:  // iterating a record gives its keys
        for (const auto& item : tags->as_record())
          if (pattern.search(item.first)) return kTagWord;
        break;
      case Value::Kind::Bytes:  // iterating bytes gives integers
        if (!tags->as_bytes().data.empty()) not_a_string(Value(0));
        break;
      default:
        throw TypeError(std::string("'") + tags->type_name() + "' object is not iterable");
    }
  }
  // Only text reaches these: a non-text name or description failed above.
  if (name && contains(text::lower(name->as_text()), k.text)) return kNamePart;
  if (description && contains(text::lower(description->as_text()), k.text)) return kDescriptionPart;
  return kNoTest;
}

CompactSearchResult SearchIndex::search(const Graph& graph,
                                        const std::vector<std::string>& keywords) const {
  CompactSearchResult result;
  result.reason_begin.push_back(0);
  if (keywords.empty()) return result;
  std::vector<std::size_t> order;  // each given keyword's index in `distinct`
  std::vector<Keyword> distinct = distinct_keywords(keywords, order);
  std::vector<Hits> irregular = irregular_hits(graph, distinct, order);

  std::vector<Hits> hits = text_hits(distinct);
  for (std::size_t d = 0; d < distinct.size(); ++d) merge_into(hits[d], irregular[d]);

  std::vector<int> score = list_matches(hits, distinct, order, result);
  rank(score, result);
  return result;
}

std::vector<SearchIndex::Keyword> SearchIndex::distinct_keywords(
    const std::vector<std::string>& keywords, std::vector<std::size_t>& order) {
  std::vector<Keyword> distinct;
  order.reserve(keywords.size());
  for (const std::string& raw : keywords) {
    std::string normalised(text::strip(text::lower(raw)));
    auto same = std::find_if(distinct.begin(), distinct.end(),
                             [&](const Keyword& k) { return k.text == normalised; });
    if (same != distinct.end()) {
      order.push_back(static_cast<std::size_t>(same - distinct.begin()));
      continue;
    }
    order.push_back(distinct.size());
    Keyword& k = distinct.emplace_back();
    k.text = std::move(normalised);
    k.ascii = text::is_ascii(k.text);
    k.folded = k.ascii ? k.text : fold(k.text);
    k.folded_ascii = text::is_ascii(k.folded);
    k.word_only = k.ascii && !k.text.empty() && std::all_of(k.text.begin(), k.text.end(), ascii_word);
  }
  for (Keyword& k : distinct) {
    // Pieces are taken only after `folded` has its final storage.
    const std::string_view f = k.folded;
    for (std::size_t pos = 0; pos < f.size();) {
      while (pos < f.size() && !ascii_word(f[pos])) ++pos;
      const std::size_t start = pos;
      while (pos < f.size() && ascii_word(f[pos])) ++pos;
      if (pos - start > k.piece.size()) k.piece = f.substr(start, pos - start);
    }
  }
  return distinct;
}

// Nodes whose searchable values are not all text go through the plain
// per-node tests, in node order and keyword order, so that the first
// TypeError is the one a straight scan would raise.
std::vector<SearchIndex::Hits> SearchIndex::irregular_hits(const Graph& graph,
                                                           std::vector<Keyword>& distinct,
                                                           const std::vector<std::size_t>& order) const {
  std::vector<Hits> hits(distinct.size());
  for (Graph::Index node : irregular_) {
    for (std::size_t d : order) {
      Hits& list = hits[d];
      if (!list.empty() && list.back().first == node) continue;  // repeated keyword
      Test t = check_node(graph, node, distinct[d]);
      if (t != kNoTest) list.emplace_back(node, t);
    }
  }
  return hits;
}

void SearchIndex::check_candidates(Keyword& k, std::uint32_t stamp, Scratch& scratch) const {
  auto check_once = [&](std::uint32_t id) {
    if (scratch.seen[id] == stamp) return;
    scratch.seen[id] = stamp;
    if (Test t = check(texts_[id], k); t != kNoTest) scratch.note(texts_[id].node, t);
  };

  if (k.word_only) {
    // The keyword is one token: an ASCII text holds it as a whole word
    // exactly when it has that token, and as a substring when one of its
    // tokens contains it.
    tokens_containing(k.text, [&](std::uint32_t token) {
      const bool exact = token_begin_[token + 1] - token_begin_[token] - 1 == k.text.size();
      for (std::uint32_t p = posting_begin_[token]; p < posting_begin_[token + 1]; ++p) {
        const std::uint32_t id = postings_[p];
        const Text& t = texts_[id];
        if (!t.ascii) {
          check_once(id);
        } else if (exact) {
          scratch.note(t.node, word_test(t.field));
        } else if (Test part = part_test(t.field); part != kNoTest) {
          scratch.note(t.node, part);
        }
      }
    });
  } else if (!k.piece.empty()) {
    tokens_containing(k.piece, [&](std::uint32_t token) {
      for (std::uint32_t p = posting_begin_[token]; p < posting_begin_[token + 1]; ++p)
        check_once(postings_[p]);
    });
  } else if (k.folded_ascii) {
    // No ASCII word character to look up (empty or punctuation only):
    // every text is a candidate.
    for (std::uint32_t id = 0; id < texts_.size(); ++id) check_once(id);
  } else {
    for (std::uint32_t id : wide_texts_) check_once(id);
  }
}

// On a large graph the keywords are shared with a second thread, each checked
// wholly by one of the two with its own scratch; they are taken in order, and
// when checks fail, the first keyword's error is the one raised, as it would
// be if they were checked one after the other.
std::vector<SearchIndex::Hits> SearchIndex::text_hits(std::vector<Keyword>& distinct) const {
  constexpr std::size_t kSharedFrom = 4096;  // nodes
  std::vector<Hits> hits(distinct.size());
  std::vector<std::exception_ptr> failed(distinct.size());
  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  auto work = [&](Scratch& scratch) {
    for (std::size_t d; !stop.load(std::memory_order_relaxed) && (d = next.fetch_add(1)) < distinct.size();) {
      try {
        check_candidates(distinct[d], static_cast<std::uint32_t>(d), scratch);
        hits[d] = collect_hits(scratch);
      } catch (...) {
        failed[d] = std::current_exception();
        stop = true;
      }
    }
  };
  Scratch scratch(node_count_, texts_.size());
  std::thread helper;
  if (node_count_ >= kSharedFrom && distinct.size() > 1) {
    try {
      helper = std::thread([&] {
        try {
          Scratch own(node_count_, texts_.size());
          work(own);
        } catch (const std::bad_alloc&) {
          // No room for a second scratch: this thread takes no keyword.
        }
      });
    } catch (const std::system_error&) {
    }
  }
  work(scratch);
  if (helper.joinable()) helper.join();
  for (const std::exception_ptr& e : failed)
    if (e) std::rethrow_exception(e);
  return hits;
}

// The noted hits in node order; leaves the scratch ready for the next keyword.
SearchIndex::Hits SearchIndex::collect_hits(Scratch& scratch) const {
  Hits list;
  if (scratch.touched.size() < node_count_ / 16) {
    std::sort(scratch.touched.begin(), scratch.touched.end());
    for (Graph::Index node : scratch.touched) list.emplace_back(node, scratch.best[node]);
  } else {
    for (Graph::Index node = 0; node < node_count_; ++node)
      if (scratch.best[node] != kNoTest) list.emplace_back(node, scratch.best[node]);
  }
  for (Graph::Index node : scratch.touched) scratch.best[node] = kNoTest;
  scratch.touched.clear();
  return list;
}

void SearchIndex::merge_into(Hits& list, const Hits& more) {
  if (more.empty()) return;
  Hits merged;
  merged.reserve(list.size() + more.size());
  std::merge(list.begin(), list.end(), more.begin(), more.end(), std::back_inserter(merged));
  list.swap(merged);
}

// The match map in node order, one entry per node hit by any keyword, its
// reasons in the order the keywords were given; returns each entry's score.
std::vector<int> SearchIndex::list_matches(const std::vector<Hits>& hits,
                                           const std::vector<Keyword>& distinct,
                                           const std::vector<std::size_t>& order,
                                           CompactSearchResult& result) const {
  constexpr std::uint32_t kNone = UINT32_MAX;
  // Reasons per node first (each given keyword that hit it adds one), then
  // the entries in node order with their places in `reasons`.
  std::vector<std::uint32_t> entry(node_count_, 0);
  for (std::size_t d : order)
    for (const auto& h : hits[d]) ++entry[h.first];
  std::size_t matched = 0, total = 0;
  for (Graph::Index node = 0; node < node_count_; ++node)
    if (entry[node]) {
      ++matched;
      total += entry[node];
    }
  result.matched.reserve(matched);
  result.reason_begin.reserve(matched + 1);
  std::vector<std::uint32_t> fill;
  fill.reserve(matched);
  for (Graph::Index node = 0; node < node_count_; ++node) {
    if (!entry[node]) {
      entry[node] = kNone;
      continue;
    }
    const std::uint32_t count = entry[node];
    entry[node] = static_cast<std::uint32_t>(result.matched.size());
    result.matched.push_back(node);
    fill.push_back(result.reason_begin.back());
    result.reason_begin.push_back(result.reason_begin.back() + count);
  }
  result.reasons.resize(total);
  std::vector<int> score(matched, 0);
  // Reason ids: one per (distinct keyword, test), made when first used.
  std::vector<std::array<std::uint32_t, 7>> ids(distinct.size());
  for (auto& row : ids) row.fill(kNone);
  for (std::size_t d : order) {
    auto& row = ids[d];
    for (const auto& [node, test] : hits[d]) {
      if (row[test] == kNone) {
        row[test] = static_cast<std::uint32_t>(result.reason_texts.size());
        result.reason_texts.push_back(reason_text(test, distinct[d].text));
      }
      const std::uint32_t e = entry[node];
      result.reasons[fill[e]++] = row[test];
      score[e] += kTestScore[test];
    }
  }
  return score;
}

// Best first; equal scores keep node order (a stable counting sort).
void SearchIndex::rank(const std::vector<int>& score, CompactSearchResult& result) {
  int top = 0;
  for (int s : score) top = std::max(top, s);
  std::vector<std::uint32_t> start(static_cast<std::size_t>(top) + 2, 0);
  for (int s : score) ++start[static_cast<std::size_t>(top - s) + 1];
  for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
  result.ranked.resize(result.matched.size());
  for (std::size_t e = 0; e < result.matched.size(); ++e)
    result.ranked[start[static_cast<std::size_t>(top - score[e])]++] = result.matched[e];
}

std::shared_ptr<const SearchIndex> build_search_index(const Graph& graph) {
  return std::make_shared<SearchIndex>(graph);
}

// ---------------------------------------------------------------------------

CompactSearchResult AtlanorService::search_by_keywords_compact(
    const std::vector<std::string>& keywords) const {
  const KnowledgeGraph& kg = require_graph();
  return kg.search_index().search(*kg.graph, keywords);
}

SearchResult AtlanorService::search_by_keywords(const std::vector<std::string>& keywords) const {
  CompactSearchResult found = search_by_keywords_compact(keywords);
  SearchResult result;
  result.ranked = std::move(found.ranked);
  result.matches.reserve(found.matched.size());
  for (std::size_t i = 0; i < found.matched.size(); ++i) {
    std::vector<std::string> reasons;
    reasons.reserve(found.reason_begin[i + 1] - found.reason_begin[i]);
    for (std::uint32_t k = found.reason_begin[i]; k < found.reason_begin[i + 1]; ++k)
      reasons.push_back(found.reason_texts[found.reasons[k]]);
    result.matches.emplace_back(found.matched[i], std::move(reasons));
  }
  return result;
}

std::vector<RelatedRule> AtlanorService::get_related_rules(std::string_view node_id) const {
  const Graph& graph = *require_graph().graph;
  const Graph::Index node = graph.index_of(node_id);
  std::vector<RelatedRule> rules;
  auto add_rules_of = [&](Graph::Index from) {
    for (const Graph::Edge& edge : graph.successors(from))
      if (node_ids::has_prefix(graph.id(edge.target), node_ids::kRule))
        rules.emplace_back(edge.target, graph.attrs(edge.target).at("description"));
  };
  add_rules_of(node);
  if (node_ids::has_prefix(node_id, node_ids::kTable))
    for (const Graph::Edge& edge : graph.successors(node))
      if (node_ids::has_prefix(graph.id(edge.target), node_ids::kColumn)) add_rules_of(edge.target);
  return rules;
}

std::optional<std::vector<Graph::Index>> AtlanorService::find_path(std::string_view start,
                                                                   std::string_view end) const {
  return require_graph().graph->shortest_path(start, end);
}

}  // namespace corvalt::atlanor

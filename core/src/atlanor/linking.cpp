// Linking one question: its words, the names it spells, the tables' evidence,
// the choice of tables and the joins between them, and the columns,
// concepts, rules and example query of the chosen tables.
//
// A table's evidence is the sum over the question's words of weight(w) *
// idf(w) * c(e(w, T)) (linking_index.hpp for e and idf), where c(e) = e * e:
// a word held in one strong place (a name, a tag) counts nearly fully, one
// merely mentioned in several descriptions far less than the noisy-or of
// its mentions would say.
//
// Names. A table whose whole name the question spells (its words in any
// order, each as the same word or its plural), or the whole name of a column
// only it holds, is named: its name words count fully, it gets a bonus of one
// rare word, and the words that name it count less for every other table
// (they are explained by the named one). See find_names() for names inside
// names.
//
// Choice. Named tables are kept, and the previous statement's tables for a
// question that refers back to them. Then, greedily, the table that adds the
// most evidence beyond what the chosen tables hold for each word, while it
// adds enough. The tables needed to join the chosen ones along the
// document's relationships are added last.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <queue>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "linking_index.hpp"
#include "corvalt/text.hpp"
#include "corvalt/linking.hpp"

namespace corvalt::linking {

std::string_view strength_name(Strength strength) noexcept {
  switch (strength) {
    case Strength::kNone: return "none";
    case Strength::kWeak: return "weak";
    case Strength::kStrong: return "strong";
  }
  return "none";
}

std::string_view reason_name(Reason reason) noexcept {
  switch (reason) {
    case Reason::kNamed: return "named";
    case Reason::kScored: return "scored";
    case Reason::kContext: return "context";
    case Reason::kJoin: return "join";
    case Reason::kValue: return "value";
  }
  return "scored";
}

// Words planners use for the same thing in scheduling. A question word or
// phrase in a group is also read as each other entry of the group that the
// schema uses.
// These are the trade's general vocabulary, not any one schema's names.
constexpr Synonyms kThesaurusGroups[] = {
    {"activity", "task", "step", "work item"},
    {"project", "job", "programme", "program"},
    {"float", "slack"},
    {"relationship", "dependency", "link", "logic", "tie"},
    {"resource", "crew", "labour", "labor", "workforce", "manpower"},
    {"wbs", "phase", "work package", "stage"},
    {"finish", "end", "completion", "due"},
    {"start", "begin", "commencement", "kick"},
    {"percent complete", "progress", "percent done"},
    {"baseline", "snapshot", "target schedule"},
    {"manager", "owner"},
    {"assignment", "booking", "allocation"},
    {"equipment", "plant", "machinery", "machine", "kit"},
    {"vessel", "ship", "boat"},
    {"holiday", "shutdown", "exception", "non working", "bank holiday", "hols"},
    {"change order", "variation", "change request", "compensation event"},
    {"supplier", "vendor", "subcontractor", "subbie", "subby"},
    {"issue", "problem", "concern"},
    {"risk", "threat", "hazard"},
    {"probability", "likelihood", "chance"},
    {"actual cost", "spend", "spent", "expenditure", "burn", "acwp"},
    {"planned value", "bcws"},
    {"earned value", "bcwp"},
    {"temperature", "temp", "hottest", "coldest", "heat"},
    {"duration", "length"},
    {"inspection", "audit"},
    {"milestone", "key date"},
    {"status", "state"},
    {"site diary", "daily report", "daily log", "site log"},
    {"foreman", "supervisor", "superintendent", "ganger"},
    {"technician", "tech"},
    {"successor", "follows", "comes after", "hangs off", "hanging off"},
    {"predecessor", "comes before", "driving", "holding up", "held up by", "feeds into"},
    {"trade", "discipline", "craft"},
    {"client", "customer"},
    {"crew", "gang"},
    {"approval", "authorisation", "authorization"},
    {"delay", "slippage", "holdup"},
    {"lost", "lose", "loss"},
    {"operatives", "workers", "headcount", "personnel"},
    {"turnaround", "outage", "ta"},
    {"hours", "manhours", "man hours", "labour hours", "labor hours"},
};

std::span<const Synonyms> thesaurus() noexcept { return kThesaurusGroups; }

// Words a follow-up question uses to refer to what the previous statement found.
constexpr std::string_view kReferringWords[] = {"those", "these", "them", "they", "their",
                                                "it",    "its",   "same", "such",  "ones"};

// Words that open a question narrowing or widening the previous one ("only
// the fitters' jobs", "and the electrical ones?", "what about last month").
constexpr std::string_view kRefiningOpeners[] = {"only", "just", "and", "also", "but", "now", "plus",
                                                 "excluding", "except", "without", "same"};

bool refers_back(std::string_view question) {
  const std::vector<std::string> words = split_words(question);
  if (!words.empty() &&
      (std::find(std::begin(kRefiningOpeners), std::end(kRefiningOpeners), words[0]) != std::end(kRefiningOpeners) ||
       (words.size() >= 2 && (words[0] == "what" || words[0] == "how") && words[1] == "about")))
    return true;
  return std::any_of(words.begin(), words.end(), [](const std::string& w) {
    return std::find(std::begin(kReferringWords), std::end(kReferringWords), w) != std::end(kReferringWords);
  });
}

namespace {

using namespace detail;
using Impl = Index::Impl;

// Weights of the question's words: a word as written counts 1, one read as a
// misspelling of a schema word less by its distance, and a pair of
// neighbours kPairWeight on top of its two words. A word that names a table
// counts kExplainedAway for every other table.
constexpr float kTypoWeight[] = {1.0f, 0.8f, 0.6f};
constexpr float kPairWeight = 0.5f;
constexpr float kExplainedAway = 0.4f;
// Misspellings are looked for only in words of at least this many code
// points, at distance 2 from this many on, and only among schema words that
// start with the same letter.
constexpr std::size_t kTypoMinLength = 4;
constexpr std::size_t kTypoTwoEditsLength = 9;

// Choosing tables. Evidence is in units of one rare word (idf 1) fully matched.
constexpr double kNamedBonus = 1.0;
constexpr double kContextBonus = 0.5;
// A table that is not named is chosen when it adds at least kNearBest times
// the best table's evidence (at most one rare word's), and at least kFloor.
constexpr double kNearBest = 0.3;
constexpr double kFloor = 0.2;
constexpr double kStrong = 0.6;  // best evidence below this, and no table named: weak
constexpr std::size_t kMaxTables = 6;
// Joining: every relationship step costs 1, a step through a table that both
// neighbours on the path point to (two tables that merely share a parent)
// costs kSharedParent more; at most kMaxJoinTables tables are added to join
// one chosen table.
constexpr double kSharedParent = 1.5;
constexpr std::size_t kMaxJoinTables = 3;
// Columns, concepts and rules of the chosen tables.
constexpr double kColumnNearBest = 0.35;
constexpr std::size_t kColumnsPerTable = 3;
constexpr std::size_t kMaxColumns = 8;
constexpr std::size_t kMaxConcepts = 3;
constexpr std::size_t kMaxRules = 3;
constexpr double kChosenColumnRule = 0.3;  // a rule governing a chosen column
// An example query is used when its description is at least this similar to
// the question; its value is multiplied by kForeignExampleTable for each
// table it uses that was not chosen.
constexpr double kExampleSimilarity = 0.3;
constexpr double kForeignExampleTable = 0.7;

// Columns shown per chosen table, and in all: past these the columns that
// are neither keys, identifying nor matched are cut.
constexpr std::size_t kListedPerTable = 30;
constexpr std::size_t kListedPerJoinTable = 12;
constexpr std::size_t kListedTotal = 100;
constexpr std::size_t kMaxExamples = 3;
constexpr std::size_t kMaxTerms = 4;
// A word read through the thesaurus counts this much of a word as written.
constexpr float kSynonymWeight = 0.85f;
// A word chooses a neighbour of a chosen table by its name when it counts
// at least this much: as written, or misspelt by one edit.
constexpr float kNeighbourWordWeight = 0.8f;
// ... by a column's name when the name holds the word with at least this
// weight (a key's words that name the table it points to count less) and
// the word's idf is at least this.
constexpr float kOwnColumnNameWord = 0.75f;
constexpr float kNeighbourColumnIdf = 0.5f;

// The acronyms a text writes in the plural ("POs", "NCRs"), lower-cased.
std::vector<std::string> acronym_plurals(std::string_view text) {
  std::vector<std::string> out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i;
    while (j < text.size() && ((text[j] >= 'A' && text[j] <= 'Z') || (text[j] >= 'a' && text[j] <= 'z'))) ++j;
    const std::string_view token = text.substr(i, j - i);
    if (token.size() >= 3 && token.size() <= 6 && token.back() == 's' &&
        std::all_of(token.begin(), token.end() - 1, [](char c) { return c >= 'A' && c <= 'Z'; }))
      out.push_back(text::lower(token));
    i = j == i ? i + 1 : j;
  }
  return out;
}

// A word and the spellings of its plural or singular.
std::vector<std::string> noun_forms(const std::string& word) {
  std::vector<std::string> forms{word, word + "s", word + "es"};
  if (word.size() > 2 && word.back() == 'y') forms.push_back(word.substr(0, word.size() - 1) + "ies");
  if (word.size() > 3 && word.ends_with("ies")) forms.push_back(word.substr(0, word.size() - 3) + "y");
  if (word.size() > 2 && word.back() == 's') forms.push_back(word.substr(0, word.size() - 1));
  if (word.size() > 3 && word.ends_with("es")) forms.push_back(word.substr(0, word.size() - 2));
  return forms;
}

// Two spellings of one noun: equal, or one the plural of the other ("-s",
// "-es", "-ies" for "-y"). Stems are too coarse for names: the stemmer gives
// "active" and "activities" one stem.
bool same_noun(std::string_view a, std::string_view b) {
  auto forms = [](std::string_view w) {
    std::vector<std::string> out{std::string(w)};
    if (w.ends_with("s")) out.emplace_back(w.substr(0, w.size() - 1));
    if (w.ends_with("es")) out.emplace_back(w.substr(0, w.size() - 2));
    if (w.ends_with("ies") && w.size() > 4) out.push_back(std::string(w.substr(0, w.size() - 3)) + "y");
    return out;
  };
  const auto fa = forms(a), fb = forms(b);
  for (const auto& x : fa)
    if (std::find(fb.begin(), fb.end(), x) != fb.end()) return true;
  return false;
}

template <typename T>
bool contains(const std::vector<T>& v, const T& x) {
  return std::find(v.begin(), v.end(), x) != v.end();
}

// The state of one linking, step by step.
class Linker {
 public:
  Linker(const Impl& index, const Query& query)
      : x_(index),
        query_(query),
        question_words_(split_words(query.question)),
        n_(index.tables.size()),
        named_(n_, false),
        context_(n_, false) {}

  Result run() {
    read_words();
    find_names();
    weigh_tables();
    choose_tables();
    join_tables();
    choose_projects();
    choose_places();
    choose_activity_names();
    choose_crew_names();
    choose_lookups();
    describe_tables();
    pick_columns();
    list_columns();
    pick_concepts();
    pick_rules();
    pick_terms();
    pick_example();
    return std::move(result_);
  }

 private:
  // A content word of the question or of a keyword.
  struct Resolved {
    TermId term;
    float weight;
    bool joined, adjacent;
    std::string text;      // as written
    std::string spelling;  // as matched: a misspelt word as the schema word it was read as
  };
  // A term of the question with its weight.
  struct QueryTerm {
    TermId term;
    float weight;
    std::string shown;                 // as the question writes it
    std::vector<std::uint32_t> names;  // tables this word names
    std::vector<std::uint32_t> named_by_table_name;  // those of `names` it names by their own name
  };

  QueryTerm& add_term(TermId term, float weight, const std::string& shown) {
    auto [it, added] = term_slot_.emplace(term, terms_.size());
    if (added) {
      terms_.push_back(QueryTerm{term, weight, shown, {}, {}});
    } else if (terms_[it->second].weight < weight) {
      terms_[it->second].weight = weight;
      terms_[it->second].shown = shown;
    }
    return terms_[it->second];
  }

  // c(e) of T for a question term: name words count fully for a named table,
  // and a word that names a table is explained away for the others.
  double seen(const QueryTerm& q, const Impl::Posting& p) const {
    float e = p.in_name ? noisy_or(p.other, named_[p.table] ? kNamedWord : kNameWord) : p.other;
    if (!q.names.empty() && !contains(q.names, p.table)) e *= kExplainedAway;
    return static_cast<double>(e) * e;
  }
  double weight(const QueryTerm& q) const { return static_cast<double>(q.weight) * x_.idf[q.term]; }

  // The question's words, each keyword's words as a sequence of its own, and
  // the neighbour pairs within each sequence.
  void read_words() {
    auto resolve = [&](std::string_view text) {
      const std::vector<std::string> plurals = acronym_plurals(text);
      std::vector<Resolved> seq;
      for (Word& w : content_words(text)) {
        unsigned distance = 0;
        std::string spelling;
        TermId t = x_.lookup(w, spelling, distance);
        // A planner's shorthand ("crit", "hrs", "acts") the schema does not
        // write as such is the word it stands for: "acts" is no "act" of
        // "act_fin_dt", where the schema writes "activities".
        if (const std::string_view full = shorthand_for(w.text); full != w.text && (t == kNoTerm || !x_.surface.count(w.text))) {
          std::string full_spelling;
          unsigned full_distance = 0;
          const Word written_out{std::string(full), stem(full)};
          if (const TermId f = x_.lookup(written_out, full_spelling, full_distance); f != kNoTerm) {
            t = f;
            spelling = std::move(full_spelling);
            distance = full_distance;
          }
        }
        // "POs" the schema does not write is its "PO".
        if (t == kNoTerm && contains(plurals, w.text)) {
          const Word singular{w.text.substr(0, w.text.size() - 1), stem(w.text.substr(0, w.text.size() - 1))};
          t = x_.lookup(singular, spelling, distance);
        }
        if (!contains(result_.words, w.text)) result_.words.push_back(w.text);
        if (t == kNoTerm) result_.unmatched.push_back(w.text);
        seq.push_back(Resolved{t, t == kNoTerm ? 0.0f : kTypoWeight[distance], w.joined, w.adjacent,
                               std::move(w.text), std::move(spelling)});
      }
      sequences_.push_back(std::move(seq));
    };
    resolve(query_.question);
    for (const std::string& keyword : query_.keywords) resolve(keyword);
    add_synonyms();
    for (const auto& seq : sequences_) {
      for (std::size_t i = 0; i < seq.size(); ++i) {
        if (seq[i].term == kNoTerm) continue;
        add_term(seq[i].term, seq[i].weight, seq[i].text);
        if (i == 0 || !seq[i].joined) continue;
        if (const TermId pair = x_.find_pair(seq[i - 1].term, seq[i].term); pair != kNoTerm)
          add_term(pair, kPairWeight * std::min(seq[i - 1].weight, seq[i].weight),
                   seq[i - 1].text + " " + seq[i].text);
      }
    }
  }

  // For each word or phrase of the question that the thesaurus knows, the
  // question read with it replaced by each other entry of its group that
  // the schema uses: a sequence of its own, so that names and word pairs
  // form in it ("critical tasks" spells "critical activities", "daily
  // reports" the site diaries). A phrase is its words side by side.
  void add_synonyms() {
    // The stems of the content words of each entry, group by group, made once.
    static const std::vector<std::vector<std::vector<std::string>>> stems = [] {
      std::vector<std::vector<std::vector<std::string>>> out;
      for (const auto& group : thesaurus()) {
        out.emplace_back();
        for (const std::string_view g : group) {
          out.back().emplace_back();
          for (const Word& w : content_words(g)) out.back().back().push_back(w.stem);
        }
      }
      return out;
    }();
    const std::size_t own = sequences_.size();
    for (std::size_t s = 0; s < own; ++s) {
      const std::vector<Resolved> seq = sequences_[s];
      std::vector<std::string> seq_stems;
      for (const Resolved& r : seq) seq_stems.push_back(stem(r.text));
      for (std::size_t i = 0; i < seq.size(); ++i) {
        for (std::size_t g = 0; g < thesaurus().size(); ++g) {
          const auto& group_stems = stems[g];
          // The longest entry of the group the question spells here.
          std::size_t source = group_stems.size(), length = 0;
          for (std::size_t k = 0; k < group_stems.size(); ++k) {
            const auto& entry = group_stems[k];
            if (entry.empty() || entry.size() <= length || i + entry.size() > seq.size()) continue;
            bool spelt = true;
            for (std::size_t j = 0; j < entry.size() && spelt; ++j)
              spelt = seq_stems[i + j] == entry[j] && (j == 0 || seq[i + j].adjacent);
            if (spelt) source = k, length = entry.size();
          }
          if (source == group_stems.size()) continue;
          // Words the schema's names use mean what the schema means by them.
          bool all_names = true;
          for (std::size_t j = i; j < i + length && all_names; ++j) all_names = names_word(seq[j].text);
          if (all_names) continue;
          for (std::size_t k = 0; k < thesaurus()[g].size(); ++k) {
            const std::string_view other = thesaurus()[g][k];
            if (other.empty() || group_stems[k] == group_stems[source]) continue;
            std::vector<Resolved> replaced;
            for (Word& w : content_words(other)) {
              // The schema must write the word itself (or its plural):
              // stems conflate too much here ("activity" and "active").
              const TermId t = schema_spelling(w.text);
              if (t == kNoTerm) {
                replaced.clear();
                break;
              }
              replaced.push_back(Resolved{t, kSynonymWeight, true, true, w.text, w.text});
            }
            if (replaced.empty()) continue;
            replaced.front().joined = seq[i].joined;
            replaced.front().adjacent = seq[i].adjacent;
            std::vector<Resolved> alternative(seq.begin(), seq.begin() + static_cast<std::ptrdiff_t>(i));
            alternative.insert(alternative.end(), replaced.begin(), replaced.end());
            alternative.insert(alternative.end(), seq.begin() + static_cast<std::ptrdiff_t>(i + length), seq.end());
            sequences_.push_back(std::move(alternative));
          }
        }
      }
    }
  }

  TermId schema_spelling(const std::string& word) const {
    for (const std::string& form : noun_forms(word))
      if (auto it = x_.surface.find(form); it != x_.surface.end()) return it->second;
    return kNoTerm;
  }

  bool names_word(const std::string& word) const {
    for (const std::string& form : noun_forms(word))
      if (x_.name_words.count(form)) return true;
    return false;
  }

  // A name spelt inside a longer one written as one phrase ("activity codes"
  // inside "activity code assignments", "baseline" inside the column name
  // "baseline finish date") does not count; one spread over the question
  // ("resources ... assignments") leaves the shorter name counting. Of two
  // names spelt by the same words, a table's wins.
  void find_names() {
    struct Mention {
      std::size_t begin, end;
      std::uint32_t name;
      bool tight;  // its words stand side by side
    };
    for (const auto& seq : sequences_) {
      std::vector<Mention> mentions;
      for (std::size_t i = 0; i < seq.size(); ++i) {
        std::vector<std::string> stems;
        for (std::size_t j = i; j < seq.size() && j - i < x_.longest_key; ++j) {
          if (seq[j].term == kNoTerm || (j > i && !seq[j].joined)) break;
          stems.push_back(x_.term_texts[seq[j].term]);
          auto it = x_.name_keys.find(name_key(stems));
          if (it == x_.name_keys.end()) continue;
          for (const std::uint32_t n : it->second)
            if (spells(x_.names[n], seq, i, j + 1)) {
              bool tight = true;
              for (std::size_t k = i + 1; k <= j; ++k) tight = tight && seq[k].adjacent;
              mentions.push_back(Mention{i, j + 1, n, tight});
            }
        }
      }
      for (const Mention& m : mentions) {
        const bool hidden = std::any_of(mentions.begin(), mentions.end(), [&](const Mention& o) {
          const bool inside = o.begin <= m.begin && o.end >= m.end;
          const bool longer = o.end - o.begin > m.end - m.begin;
          const bool same = o.begin == m.begin && o.end == m.end;
          return inside && ((o.tight && longer) ||
                            (same && x_.names[o.name].of_table && !x_.names[m.name].of_table));
        });
        if (hidden || x_.names[m.name].tables.size() != 1) continue;
        const std::uint32_t t = x_.names[m.name].tables.front();
        named_[t] = true;
        for (std::size_t k = m.begin; k < m.end; ++k) {
          QueryTerm& q = add_term(seq[k].term, seq[k].weight, seq[k].text);
          q.names.push_back(t);
          if (x_.names[m.name].of_table) q.named_by_table_name.push_back(t);
          if (k > m.begin)
            if (const TermId pair = x_.find_pair(seq[k - 1].term, seq[k].term); pair != kNoTerm)
              terms_[term_slot_.at(pair)].names.push_back(t);
        }
      }
    }
  }

  // Each word of the name spelt by its own question word in [begin, end), as
  // the same noun.
  bool spells(const Impl::Name& name, const std::vector<Resolved>& seq, std::size_t begin,
              std::size_t end) const {
    std::vector<bool> used(end - begin, false);
    for (const Word& w : name.words) {
      bool found = false;
      for (std::size_t k = begin; k < end && !found; ++k)
        if (!used[k - begin] && x_.term_texts[seq[k].term] == w.stem && same_noun(seq[k].spelling, w.text))
          used[k - begin] = found = true;
      if (!found) return false;
    }
    return true;
  }

  // Evidence, and scores with the bonuses of named and context tables.
  void weigh_tables() {
    evidence_.assign(n_, 0.0);
    for (const QueryTerm& q : terms_)
      if (const double w = weight(q); w > 0)
        for (const Impl::Posting& p : x_.postings[q.term]) evidence_[p.table] += w * seen(q, p);
    score_ = evidence_;
    for (std::uint32_t t = 0; t < n_; ++t)
      if (named_[t]) score_[t] += kNamedBonus;
    // Tables of the previous statement, for a question that refers back to them.
    if (!query_.previous_sql.empty()) {
      for (const std::string& ident : sql_identifiers(query_.previous_sql))
        if (auto it = x_.table_by_name.find(ident); it != x_.table_by_name.end()) context_[it->second] = true;
      refers_back_ = refers_back(query_.question);
      for (std::uint32_t t = 0; t < n_; ++t)
        if (context_[t]) score_[t] += kContextBonus;
    }
    best_evidence_ = n_ ? *std::max_element(evidence_.begin(), evidence_.end()) : 0.0;
    best_score_ = n_ ? *std::max_element(score_.begin(), score_.end()) : 0.0;
  }

  void choose(std::uint32_t t, Reason why) {
    chosen_.push_back(t);
    is_chosen_[t] = true;
    reason_[t] = why;
    for (std::size_t i = 0; i < terms_.size(); ++i)
      if (const Impl::Posting* p = x_.posting(terms_[i].term, t))
        covered_[i] = std::max(covered_[i], seen(terms_[i], *p));
  }

  void choose_tables() {
    is_chosen_.assign(n_, false);
    reason_.assign(n_, Reason::kScored);
    covered_.assign(terms_.size(), 0.0);
    for (std::uint32_t t = 0; t < n_ && chosen_.size() < kMaxTables; ++t)
      if (named_[t]) choose(t, Reason::kNamed);
    for (const std::uint32_t t : tables_named(query_.value_tables))
      if (!is_chosen_[t] && chosen_.size() < kMaxTables) {
        choose(t, Reason::kValue);
        score_[t] += kNamedBonus;
      }
    for (std::uint32_t t = 0; t < n_ && chosen_.size() < kMaxTables; ++t)
      if (!named_[t] && !is_chosen_[t] && context_[t] && refers_back_) choose(t, Reason::kContext);
    const double enough = std::max(kFloor, kNearBest * std::min(best_evidence_, 1.0));
    std::vector<double> gain(n_);
    while (chosen_.size() < kMaxTables) {
      // What each table adds beyond what the chosen ones hold for each word.
      std::fill(gain.begin(), gain.end(), 0.0);
      for (std::size_t i = 0; i < terms_.size(); ++i)
        if (const double w = weight(terms_[i]); w > 0)
          for (const Impl::Posting& p : x_.postings[terms_[i].term])
            if (!is_chosen_[p.table]) gain[p.table] += w * std::max(0.0, seen(terms_[i], p) - covered_[i]);
      std::uint32_t pick = ~0u;
      for (std::uint32_t t = 0; t < n_; ++t)
        if (!is_chosen_[t] && (pick == ~0u || gain[t] > gain[pick])) pick = t;
      // The first table of a question that names none only needs the floor.
      const double needed = chosen_.empty() ? kFloor : enough;
      if (pick == ~0u || gain[pick] < needed) break;
      choose(pick, Reason::kScored);
    }
    choose_value_readings();
    choose_value_groups();
    choose_name_neighbours();
    choose_paired_parents();
    choose_people();
    choose_activities();
    choose_work_under();
    choose_slipped();
    choose_work_to_do();
    std::stable_sort(chosen_.begin(), chosen_.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return score_[a] > score_[b]; });
    if (chosen_.empty())
      result_.strength = Strength::kNone;
    else if (best_evidence_ >= kStrong || std::any_of(chosen_.begin(), chosen_.end(), [&](std::uint32_t t) {
               return named_[t] || reason_[t] == Reason::kValue;
             }))
      result_.strength = Strength::kStrong;
    else
      result_.strength = Strength::kWeak;
  }

  // The schema's tables by the names given, skipping names it lacks.
  std::vector<std::uint32_t> tables_named(const std::vector<std::string>& names) const {
    std::vector<std::uint32_t> tables;
    for (const std::string& name : names)
      if (auto it = x_.table_by_name.find(text::lower(name)); it != x_.table_by_name.end()) tables.push_back(it->second);
    return tables;
  }

  // Of the tables a contested word of a stored value may name, the one that
  // joins a chosen table: "crane bookings" are bookings of a crane, not of
  // a hazard that mentions one. Nothing when none or several join; when
  // one of them is chosen already, only the one it points to.
  void choose_value_readings() {
    for (const std::vector<std::string>& readings : query_.value_table_choices) {
      const std::vector<std::uint32_t> tables = tables_named(readings);
      auto points_to = [&](std::uint32_t from, std::uint32_t to) {
        return std::any_of(x_.joins[from].begin(), x_.joins[from].end(),
                           [&](const Impl::Join& j) { return j.table == to && j.up; });
      };
      if (std::any_of(tables.begin(), tables.end(), [&](std::uint32_t t) { return is_chosen_[t]; })) {
        // A chosen one's parent is meant as well: "activities on the school"
        // are those of the project, not the one activity whose name says it.
        std::vector<std::uint32_t> parents;
        for (const std::uint32_t c : tables)
          for (const std::uint32_t p : tables)
            if (is_chosen_[c] && !is_chosen_[p] && points_to(c, p) && !contains(parents, p)) parents.push_back(p);
        if (parents.size() == 1 && chosen_.size() < kMaxTables) choose(parents.front(), Reason::kValue);
        continue;
      }
      std::uint32_t pick = ~0u;
      std::size_t joining = 0;
      for (const std::uint32_t t : tables)
        if (std::any_of(x_.joins[t].begin(), x_.joins[t].end(), [&](const Impl::Join& j) { return is_chosen_[j.table]; })) {
          pick = t;
          ++joining;
        }
      if (joining == 1 && chosen_.size() < kMaxTables) {
        choose(pick, Reason::kValue);
        score_[pick] += kNamedBonus;
      }
    }
  }

  // A chosen table that names none of its rows (keys and quantities, no
  // code or name) and that no table points to is read with the rows it
  // points to: a link between two activities or a calendar's exception
  // with the activities or the calendar; an assignment pairing a resource
  // with an activity, when the question reaches it with one of them, with
  // the other ("what is Mei Chen booked on" asks for the activities her
  // assignments point to).
  void choose_paired_parents() {
    const std::vector<std::uint32_t> chosen = chosen_;
    for (const std::uint32_t t : chosen) {
      if (chosen_.size() >= kMaxTables) break;
      if (std::any_of(x_.tables[t].columns.begin(), x_.tables[t].columns.end(),
                      [&](std::uint32_t c) { return x_.columns[c].identifying; }) ||
          std::any_of(x_.joins[t].begin(), x_.joins[t].end(), [](const Impl::Join& j) { return j.down; }))
        continue;
      std::vector<std::uint32_t> parents;
      for (const Impl::Join& j : x_.joins[t])
        if (j.up && j.table != t && !contains(parents, j.table)) parents.push_back(j.table);
      if (parents.size() == 1 && !is_chosen_[parents[0]]) {
        choose(parents[0], Reason::kScored);
        continue;
      }
      if (parents.size() != 2 || is_chosen_[parents[0]] == is_chosen_[parents[1]]) continue;
      choose(is_chosen_[parents[0]] ? parents[1] : parents[0], Reason::kScored);
    }
  }

  // A question that asks who ("who's on nights", "is anyone double
  // booked") asks for people: when no chosen table holds a person, the one
  // table of people that joins a chosen table (or, with none chosen, the
  // schema's one table of people) is chosen.
  void choose_people() {
    if (chosen_.size() >= kMaxTables) return;
    const std::vector<std::string>& words = question_words_;
    if (std::none_of(words.begin(), words.end(), [](const std::string& w) {
          return w == "who" || w == "whom" || w == "anyone" || w == "anybody" || w == "someone" ||
                 w == "somebody" || w == "people" || w == "everyone";
        }))
      return;
    // Who does the work ("who's working on stand 17", "who is assigned to
    // it") is asked of the people or crews doing it, not of a person a
    // chosen row names (a permit's issuer, a project's manager).
    // So is who is on a place or a shift ("who's on site", "who is on nights").
    bool work = std::any_of(words.begin(), words.end(), [](const std::string& w) {
      return w == "working" || w == "doing" || w == "assigned" || w == "allocated" || w == "booked" ||
             w == "rostered";
    });
    for (std::size_t i = 0; i + 1 < words.size() && !work; ++i)
      if (words[i] == "who")
        for (std::size_t j = i + 1; j < words.size() && j <= i + 3 && !work; ++j)
          work = words[j] == "on" || words[j] == "onsite";
    for (const std::uint32_t t : chosen_)
      if (x_.tables[t].people || (work && x_.tables[t].crews) ||
          (!work && std::any_of(x_.tables[t].columns.begin(), x_.tables[t].columns.end(),
                                [&](std::uint32_t c) { return x_.columns[c].person; })))
        return;
    std::uint32_t pick = ~0u;
    std::size_t found = 0;
    for (std::uint32_t t = 0; t < n_; ++t) {
      if (!x_.tables[t].people) continue;
      const bool joins = chosen_.empty() || std::any_of(x_.joins[t].begin(), x_.joins[t].end(),
                                                        [&](const Impl::Join& j) { return is_chosen_[j.table]; });
      if (joins) pick = t, ++found;
    }
    // None joins a chosen table itself: the one table of people or of
    // crews that a table pointing to both joins to one ("who's doing
    // DLWK1280": the crews, through the crew assignments that point to
    // both), with that table; of several such, the one through a table of
    // assignments (not the crews' daily reports on the task).
    std::uint32_t through = ~0u;
    if (found == 0 && !chosen_.empty()) {
      std::vector<std::pair<std::uint32_t, std::uint32_t>> bridged;  // (people or crews, table between)
      for (std::uint32_t t = 0; t < n_; ++t) {
        if (!x_.tables[t].people && !x_.tables[t].crews) continue;
        for (const Impl::Join& j : x_.joins[t]) {
          if (!j.down || is_chosen_[j.table]) continue;
          const bool bridge = std::any_of(x_.joins[j.table].begin(), x_.joins[j.table].end(), [&](const Impl::Join& k) {
            return k.up && is_chosen_[k.table];
          });
          if (bridge && !contains(bridged, std::pair{t, j.table})) bridged.emplace_back(t, j.table);
        }
      }
      if (bridged.size() > 1)
        std::erase_if(bridged, [&](const auto& b) { return !x_.tables[b.second].assignments; });
      if (bridged.size() == 1) std::tie(pick, through) = bridged.front();
      found = bridged.size();
    }
    // Nor through a table between: people or crews whose assignments give
    // them the work that a chosen table points to or belongs to ("who's on
    // site for theatres": the resources, through their assignments to the
    // activities the theatre moves point to).
    std::uint32_t work_table = ~0u;
    if (found == 0 && !chosen_.empty() && work) {
      std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> reached;  // people or crews, assignments, work
      for (std::uint32_t t = 0; t < n_; ++t) {
        if (!x_.tables[t].people && !x_.tables[t].crews) continue;
        for (const Impl::Join& a : x_.joins[t]) {
          if (!a.down || is_chosen_[a.table] || !x_.tables[a.table].assignments) continue;
          for (const Impl::Join& w : x_.joins[a.table]) {
            if (!w.up || w.table == t || is_chosen_[w.table]) continue;
            const bool next_to_chosen = std::any_of(x_.joins[w.table].begin(), x_.joins[w.table].end(),
                                                    [&](const Impl::Join& k) { return is_chosen_[k.table]; });
            const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t> way{t, a.table, w.table};
            if (next_to_chosen && !contains(reached, way)) reached.push_back(way);
          }
        }
      }
      if (reached.size() == 1) std::tie(pick, through, work_table) = reached.front();
      found = reached.size();
    }
    if (found != 1) return;
    if (work_table != ~0u) {
      if (chosen_.size() + 3 > kMaxTables) return;
      choose(work_table, Reason::kScored);
    }
    if (through != ~0u) {
      if (chosen_.size() + 2 > kMaxTables) return;
      choose(through, Reason::kScored);
    }
    choose(pick, Reason::kScored);
  }

  // The schema's one table of a kind that some chosen table points to, when
  // none of the tables shown already is of that kind; else ~0u.
  template <class Kind>
  std::uint32_t one_pointed_to(Kind of_kind) const {
    if (chosen_.empty()) return ~0u;
    std::uint32_t pick = ~0u;
    for (std::uint32_t t = 0; t < n_; ++t) {
      if (!of_kind(x_.tables[t])) continue;
      if (is_chosen_[t] || contains(added_, t) || pick != ~0u) return ~0u;
      pick = t;
    }
    if (pick == ~0u) return ~0u;
    const bool pointed_to = std::any_of(x_.joins[pick].begin(), x_.joins[pick].end(),
                                        [&](const Impl::Join& j) { return j.down && is_chosen_[j.table]; });
    return pointed_to ? pick : ~0u;
  }

  // Rows of several projects are told apart by their project: when chosen
  // tables belong to the schema's one table of projects directly and none
  // is it, it is shown too, for the project each row is of.
  void choose_projects() {
    project_context_ = one_pointed_to([](const Impl::Table& t) { return t.projects; });
    if (project_context_ != ~0u) result_.project_table = x_.tables[project_context_].node;
  }

  // Rows done at a place are told apart by it as well ("open snags" by
  // their plot): the schema's one table of places, not the projects', is
  // shown the same way.
  void choose_places() {
    place_context_ = one_pointed_to([](const Impl::Table& t) { return t.places && !t.projects; });
    if (place_context_ != ~0u) result_.place_table = x_.tables[place_context_].node;
  }

  // Rows of a log, an assignment or a risk that point to an activity are
  // told apart by it ("what the wind stopped", "assignments over plan"):
  // the schedule's activities are shown by their names, as projects are.
  void choose_activity_names() {
    const std::uint32_t t = activities_table();
    if (t == ~0u || is_chosen_[t] || contains(added_, t) || t == project_context_ || t == place_context_) return;
    const bool pointed_to = std::any_of(x_.joins[t].begin(), x_.joins[t].end(), [&](const Impl::Join& j) {
      return j.down && j.table != t && is_chosen_[j.table];
    });
    if (!pointed_to) return;
    activity_context_ = t;
    result_.activity_table = x_.tables[t].node;
  }

  // So are the crews or resources an assignment books ("assignments over
  // plan"), by the schema's one table of them.
  void choose_crew_names() {
    const std::uint32_t t = one_pointed_to([](const Impl::Table& x) { return x.crews && !x.projects && !x.places; });
    if (t == ~0u || t == activity_context_) return;
    const bool booked = std::any_of(x_.joins[t].begin(), x_.joins[t].end(), [&](const Impl::Join& j) {
      return j.down && is_chosen_[j.table] && x_.tables[j.table].assignments;
    });
    if (!booked) return;
    crew_context_ = t;
    result_.crew_table = x_.tables[t].node;
  }

  // A row's kind is kept as a key into a lookup table ("status_id" of
  // 'In Progress'): the lookups the chosen tables point to are shown, so
  // that their rows' statuses and types can be read and asked for by name.
  void choose_lookups() {
    for (std::uint32_t t = 0; t < n_; ++t) {
      if (!x_.tables[t].lookup || is_chosen_[t] || contains(added_, t) || t == project_context_ ||
          t == place_context_ || t == activity_context_ || t == crew_context_)
        continue;
      const bool pointed_to = std::any_of(x_.joins[t].begin(), x_.joins[t].end(), [&](const Impl::Join& j) {
        return j.down && j.table != t && (is_chosen_[j.table] || contains(added_, j.table));
      });
      if (!pointed_to) continue;
      lookup_context_.push_back(t);
      result_.lookup_tables.push_back(x_.tables[t].node);
    }
  }

  // A question that names no table, no stored value and no earlier
  // statement's table, and asks what starts, finishes or is due ("what
  // kicks off in October", "what's due next week"), asks about the
  // schedule's activities: the table of activities or tasks that the most
  // relationships join is chosen too.
  void choose_activities() {
    if (chosen_.size() >= kMaxTables) return;
    for (const std::uint32_t t : chosen_)
      if (named_[t] || reason_[t] != Reason::kScored) return;
    static const std::unordered_set<std::string> kWhen = {"start", "finish", "due", "begin", "end",
                                                          "kick",  "come",   "happen"};
    const std::vector<std::string>& words = question_words_;
    if (std::none_of(words.begin(), words.end(), [](const std::string& w) { return kWhen.count(stem(w)) != 0; }))
      return;
    // Nothing chosen, the words the schema does not know must say when and
    // no more: "what happened to the share price" is no schedule question.
    static const std::unordered_set<std::string> kTime = {
        "next", "last", "this", "coming", "week", "weeks", "fortnight", "month", "months", "day", "days",
        "today", "tomorrow", "yesterday", "year", "quarter", "jan", "feb", "mar", "apr", "may", "jun", "jul",
        "aug", "sep", "sept", "oct", "nov", "dec", "january", "february", "march", "april", "june", "july",
        "august", "september", "october", "november", "december"};
    if (chosen_.empty() && std::any_of(result_.unmatched.begin(), result_.unmatched.end(), [](const std::string& w) {
          return kWhen.count(stem(w)) == 0 && kTime.count(w) == 0;
        }))
      return;
    if (const std::uint32_t pick = activities_table(); pick != ~0u && !is_chosen_[pick]) choose(pick, Reason::kScored);
  }

  // The schedule's table of activities or tasks: of those named so, the one
  // the most relationships join; ~0u when none or two tie.
  std::uint32_t activities_table() const {
    std::uint32_t pick = ~0u;
    bool tie = false;
    for (std::uint32_t t = 0; t < n_; ++t) {
      const std::string& head = x_.tables[t].head;
      if (head != "activ" && head != "task") continue;
      if (pick == ~0u || x_.joins[t].size() > x_.joins[pick].size()) {
        pick = t;
        tie = false;
      } else if (x_.joins[t].size() == x_.joins[pick].size()) {
        tie = true;
      }
    }
    return tie ? ~0u : pick;
  }

  // Slippage is of the schedule's activities, against their baseline dates
  // ("slippage v baseline on theatres", "what has slipped"): they are
  // chosen too.
  void choose_slipped() {
    if (chosen_.size() >= kMaxTables) return;
    const std::vector<std::string>& words = question_words_;
    if (std::none_of(words.begin(), words.end(), [](const std::string& w) {
          return w.starts_with("slip") && (w.size() == 4 || w.starts_with("slipp") || w == "slips");
        }))
      return;
    if (const std::uint32_t pick = activities_table(); pick != ~0u && !is_chosen_[pick]) choose(pick, Reason::kScored);
  }

  // Work still to do or under way ("weekend shutdowns still to do", "what
  // have they got left to do", "what are we doing over the xmas vac"), the
  // work coming up ("2 wk lookahead"), where it stands ("block 214 - where
  // are we with it") and everything on a thing ("everything on well 14") is
  // the schedule's activities, whatever else the question names.
  void choose_work_to_do() {
    if (chosen_.size() >= kMaxTables) return;
    const std::vector<std::string>& words = question_words_;
    bool work = false;
    for (std::size_t i = 0; i < words.size() && !work; ++i)
      work = words[i] == "doing" || words[i] == "underway" || words[i] == "lookahead" || words[i] == "lookaheads" ||
             (i + 1 < words.size() && ((words[i] == "to" && words[i + 1] == "do") ||
                                       (words[i] == "under" && words[i + 1] == "way") ||
                                       (words[i] == "look" && words[i + 1] == "ahead"))) ||
             (i + 2 < words.size() && words[i] == "where" && words[i + 1] == "are" && words[i + 2] == "we") ||
             (i + 1 < words.size() && words[i] == "everything" &&
              (words[i + 1] == "on" || words[i + 1] == "for" || words[i + 1] == "under" || words[i + 1] == "at"));
    if (!work) return;
    if (const std::uint32_t pick = activities_table(); pick != ~0u && !is_chosen_[pick]) choose(pick, Reason::kScored);
  }

  // A question that names a part of the work breakdown by its stored name
  // and no table ("how's the block B fit-out going", "everything under
  // route 3") asks about the work under it: the schedule's activities, when
  // they belong to that breakdown.
  void choose_work_under() {
    if (chosen_.size() >= kMaxTables) return;
    const std::vector<std::uint32_t> holding = tables_named(query_.value_tables);
    std::vector<std::string> said;
    for (const std::string& w : question_words_) said.push_back(stem(w));
    std::uint32_t wbs = ~0u;
    for (const std::uint32_t t : chosen_) {
      const auto& words = x_.tables[t].words;
      const bool breakdown = contains(words, std::string("wbs"));
      if (!breakdown) {
        if (!x_.tables[t].projects || named_[t]) return;
        continue;
      }
      // Named by its stored value, not by its own name ("the WBS of ...").
      if (!contains(holding, t) ||
          std::any_of(words.begin(), words.end(), [&](const std::string& w) { return contains(said, stem(w)); }))
        return;
      wbs = t;
    }
    const std::uint32_t pick = activities_table();
    if (wbs == ~0u || pick == ~0u || is_chosen_[pick]) return;
    const bool under = std::any_of(x_.joins[wbs].begin(), x_.joins[wbs].end(),
                                   [&](const Impl::Join& j) { return j.down && j.table == pick; });
    if (under) choose(pick, Reason::kScored);
  }

  // The other tables storing a value that a chosen one stores.
  void choose_value_groups() {
    for (const std::vector<std::string>& group : query_.value_table_groups) {
      const std::vector<std::uint32_t> tables = tables_named(group);
      if (std::none_of(tables.begin(), tables.end(), [&](std::uint32_t t) { return is_chosen_[t]; })) continue;
      for (const std::uint32_t t : tables)
        if (!is_chosen_[t] && chosen_.size() < kMaxTables) choose(t, Reason::kValue);
    }
  }

  // A table one relationship away from a chosen one is chosen too when its
  // name holds a word of the question that
  // - is the last word of its name, the noun it is about, and no chosen
  //   table holds it in its name: the word can only mean that table ("now
  //   show their assignments" after a statement on resources; a modifier
  //   such as "work" of "work packages" is not enough);
  // - or a chosen table pointing to it holds in its name without the question
  //   naming that table by it: the word names the parent, not the row that
  //   refers to it ("which equipment is booked" asks for the equipment units
  //   of equipment bookings; "baseline finish date", a column of baseline
  //   activities, needs the baselines those rows belong to).
  // - or no chosen table holds in its name nor in a column's, while one of
  //   its own columns, and no other table's, is named by it (no other
  //   neighbour's, of a table the question names a row of: "the Tern Swift
  //   ... for weather", a vessel's day logs), and few tables'
  //   texts use it ("successors" of activities: the links' successor column,
  //   not the activities' float described as slip before a successor; not
  //   "work", which many tables' texts use, for a calendar's work days).
  // Words read through the thesaurus or misspelt by one edit count; words
  // misspelt further and word pairs do not.
  void choose_name_neighbours() {
    const std::size_t before = chosen_.size();
    for (std::size_t k = 0; k < before && chosen_.size() < kMaxTables; ++k) {
      const std::uint32_t t = chosen_[k];
      for (const Impl::Join& j : x_.joins[t]) {
        if (is_chosen_[j.table] || chosen_.size() >= kMaxTables) continue;
        for (const QueryTerm& q : terms_) {
          if (x_.is_pair[q.term] || q.weight < kNeighbourWordWeight) continue;
          const Impl::Posting* p = x_.posting(q.term, j.table);
          if (!p) continue;
          bool in_chosen_name = false, shared_by_child = false;
          for (const std::uint32_t c : chosen_)
            if (const Impl::Posting* cp = x_.posting(q.term, c); cp && cp->in_name) {
              in_chosen_name = true;
              shared_by_child = shared_by_child || (c == t && j.up && !contains(q.named_by_table_name, t));
            }
          const bool noun = p->in_name && !in_chosen_name && x_.term_texts[q.term] == x_.tables[j.table].head;
          const bool column = !p->in_name && !in_chosen_name && x_.idf[q.term] >= kNeighbourColumnIdf &&
                              names_column(j.table, q.term) &&
                              (reason_[t] == Reason::kValue ? neighbours_naming_column(t, q.term)
                                                            : column_name_tables(q.term)) == 1;
          if (noun || (p->in_name && shared_by_child) || column) {
            choose(j.table, Reason::kScored);
            break;
          }
        }
      }
    }
  }

  // Whether a column of table t has the term in its own name (not only as
  // the word of the table its key points to).
  bool names_column(std::uint32_t t, TermId term) const {
    for (const std::uint32_t c : x_.tables[t].columns)
      for (const Entry& e : x_.columns[c].entries)
        if (e.source == kColumnName && e.term == term && e.weight >= kOwnColumnNameWord) return true;
    return false;
  }

  // How many tables have a column named by the term.
  std::size_t column_name_tables(TermId term) const {
    std::size_t n = 0;
    for (std::uint32_t t = 0; t < n_; ++t) n += names_column(t, term);
    return n;
  }

  // How many of the tables joined to t have a column named by the term.
  std::size_t neighbours_naming_column(std::uint32_t t, TermId term) const {
    std::size_t n = 0;
    for (const Impl::Join& j : x_.joins[t]) n += names_column(j.table, term);
    return n;
  }

  // Each chosen table, best first, is joined to those before it.
  void join_tables() {
    std::vector<bool> in_tree(n_, false);
    for (std::size_t k = 0; k < chosen_.size(); ++k) {
      const std::uint32_t start = chosen_[k];
      if (k > 0 && !in_tree[start])
        for (const std::uint32_t t : join_path(start, in_tree)) {
          if (in_tree[t]) continue;
          in_tree[t] = true;
          if (!is_chosen_[t]) added_.push_back(t);
        }
      in_tree[start] = true;
    }
    join_through_shared_children();
  }

  // Two chosen tables that no relationship joins directly, whose rows meet
  // in a table that refers to both (baseline activities between activities
  // and baselines, assignments between resources and activities), are joined
  // through it too, even when they already join through a parent they share:
  // a shared parent (their project) only groups their rows, the child pairs
  // them. Of several such children the best-scoring one. A table joined in
  // on the way to another counts as chosen for this ("the saved copy of
  // each project, by area": the activities that bring in their areas meet
  // the baselines in the baseline activities).
  void join_through_shared_children() {
    auto joined = [&](std::uint32_t from, std::uint32_t to, bool up) {
      return std::any_of(x_.joins[from].begin(), x_.joins[from].end(),
                         [&](const Impl::Join& j) { return j.table == to && (up ? j.up : (j.up || j.down)); });
    };
    std::vector<std::uint32_t> chosen = chosen_;
    const std::size_t picked = chosen.size();
    chosen.insert(chosen.end(), added_.begin(), added_.end());
    for (std::size_t a = 0; a < picked; ++a)
      for (std::size_t b = a + 1; b < chosen.size(); ++b) {
        const std::uint32_t x = chosen[a], y = chosen[b];
        if (joined(x, y, false)) continue;
        std::uint32_t best = ~0u;
        bool present = false;
        for (const Impl::Join& j : x_.joins[x]) {
          const std::uint32_t c = j.table;
          if (!j.down || c == y || !joined(c, x, true) || !joined(c, y, true)) continue;
          if (is_chosen_[c] || contains(added_, c)) present = true;
          else if (best == ~0u || score_[c] > score_[best]) best = c;
        }
        if (!present && best != ~0u) added_.push_back(best);
      }
  }

  // The tables between `start` and the tables marked in `in_tree`, or
  // nothing when no short enough path exists. Dijkstra from `start` over
  // (table, whether the last step went up to it); a better-scoring table on
  // the way lowers the cost a little, so that of equally short paths the one
  // through relevant tables wins.
  std::vector<std::uint32_t> join_path(std::uint32_t start, const std::vector<bool>& in_tree) const {
    constexpr double kUnreached = 1e300;
    std::vector<double> cost(2 * n_, kUnreached);
    std::vector<std::uint32_t> from(2 * n_, ~0u);
    std::vector<std::uint8_t> steps(2 * n_, 0);
    using Item = std::tuple<double, std::uint32_t>;  // cost, state
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    cost[2 * start] = 0;
    queue.emplace(0.0, 2 * start);
    while (!queue.empty()) {
      auto [c, state] = queue.top();
      queue.pop();
      if (c > cost[state]) continue;
      const std::uint32_t at = state / 2;
      const bool came_up = state % 2;
      if (at != start && in_tree[at]) {
        std::vector<std::uint32_t> path;
        for (std::uint32_t s = from[state]; s != ~0u && s / 2 != start; s = from[s]) path.push_back(s / 2);
        std::reverse(path.begin(), path.end());  // nearest to `start` first
        return path;
      }
      if (steps[state] > kMaxJoinTables) continue;
      for (const Impl::Join& j : x_.joins[at]) {
        // Through `at` from a table that points to it on to another that
        // points to it: the two merely share `at` as a parent.
        const bool shared_parent = came_up && j.down && !j.up;
        const double relevance = best_score_ > 0 ? 0.01 * std::min(1.0, score_[j.table] / best_score_) : 0.0;
        const double next_cost = c + 1.0 + (shared_parent ? kSharedParent : 0.0) - relevance;
        const std::uint32_t next = 2 * j.table + (j.up ? 1u : 0u);
        if (next_cost < cost[next]) {
          cost[next] = next_cost;
          from[next] = state;
          steps[next] = static_cast<std::uint8_t>(steps[state] + 1);
          queue.emplace(next_cost, next);
        }
      }
    }
    return {};
  }

  void describe_tables() {
    auto matched = [&](std::uint32_t t) {
      std::vector<std::string> words;
      for (const QueryTerm& q : terms_)
        if (x_.posting(q.term, t) && !contains(words, q.shown)) words.push_back(q.shown);
      return words;
    };
    auto round3 = [](double v) { return std::round(v * 1000.0) / 1000.0; };
    for (const std::uint32_t t : chosen_)
      result_.tables.push_back(LinkedTable{x_.tables[t].node, round3(score_[t]), reason_[t], matched(t)});
    for (const std::uint32_t t : added_)
      result_.tables.push_back(LinkedTable{x_.tables[t].node, round3(score_[t]), Reason::kJoin, matched(t)});
    for (const QueryTerm& q : terms_) weights_.emplace_back(q.term, weight(q));
    std::sort(weights_.begin(), weights_.end());
  }

  // The question's weighted terms against what a column or concept holds.
  double match(const Impl::Weighted& held) const {
    double s = 0;
    auto a = weights_.begin();
    auto b = held.begin();
    while (a != weights_.end() && b != held.end()) {
      if (a->first < b->first)
        ++a;
      else if (b->first < a->first)
        ++b;
      else
        s += (a++)->second * (b++)->second;
    }
    return s;
  }

  static void by_score(std::vector<std::pair<double, std::uint32_t>>& v) {
    std::stable_sort(v.begin(), v.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  }

  void pick_columns() {
    std::vector<std::pair<double, std::uint32_t>> scores;
    for (const std::uint32_t t : chosen_)
      for (const std::uint32_t c : x_.tables[t].columns)
        if (const double s = match(x_.column_terms(c)); s > 0) scores.emplace_back(s, c);
    by_score(scores);
    std::unordered_map<std::uint32_t, std::size_t> per_table;
    for (const auto& [s, c] : scores) {
      if (chosen_columns_.size() >= kMaxColumns || s < kColumnNearBest * scores.front().first) break;
      if (per_table[x_.columns[c].table]++ >= kColumnsPerTable) continue;
      chosen_columns_.push_back(c);
      result_.columns.push_back(x_.columns[c].node);
    }
  }

  void list_columns() {
    std::vector<double> column_score(x_.columns.size(), 0.0);
    std::vector<bool> matched(x_.columns.size(), false);
    for (const std::uint32_t c : chosen_columns_) matched[c] = true;
    std::vector<std::uint32_t> tables = chosen_;
    tables.insert(tables.end(), added_.begin(), added_.end());
    if (project_context_ != ~0u) tables.push_back(project_context_);
    if (place_context_ != ~0u) tables.push_back(place_context_);
    if (activity_context_ != ~0u) tables.push_back(activity_context_);
    if (crew_context_ != ~0u) tables.push_back(crew_context_);
    tables.insert(tables.end(), lookup_context_.begin(), lookup_context_.end());
    // Per table: what must be shown, then what may be.
    std::vector<std::vector<std::uint32_t>> must(tables.size()), may(tables.size());
    for (std::size_t k = 0; k < tables.size(); ++k) {
      const auto& columns = x_.tables[tables[k]].columns;
      std::vector<std::pair<double, std::uint32_t>> scored;
      const bool context = project_context_ == tables[k] || place_context_ == tables[k] ||
                           activity_context_ == tables[k] || crew_context_ == tables[k];
      for (const std::uint32_t c : columns) {
        const Impl::Column& column = x_.columns[c];
        if (column.key) {
          // Of the projects and places shown for their names, only their own identifier.
          if (!context || column.own_key) must[k].push_back(c);
          continue;
        }
        const double s = match(x_.column_terms(c));
        if (column.identifying || matched[c] || s > 0)
          scored.emplace_back((column.identifying ? 1e6 : 0.0) + s, c);
      }
      by_score(scored);
      // A joined table's current start and finish come first of what may
      // be shown: rows joined through it are mostly asked about by when
      // they happen.
      if (!is_chosen_[tables[k]] && !context)
        for (const std::uint32_t c : columns)
          if (x_.columns[c].current_date && !matched[c]) may[k].push_back(c);
      for (const auto& [score, c] : scored) {
        if (x_.columns[c].identifying || matched[c])
          must[k].push_back(c);
        else if (!contains(may[k], c))
          may[k].push_back(c);
      }
      // The projects and places the rows are of only say which: their
      // names, and what the question's words match.
      if (context) continue;
      // The rest in the document's order; a join table's optional columns,
      // those the question's words match first, come after the chosen
      // tables' (below).
      for (const std::uint32_t c : columns)
        if (!contains(must[k], c) && !contains(may[k], c)) may[k].push_back(c);
    }
    std::size_t total = 0;
    for (const auto& m : must) total += m.size();
    std::vector<std::size_t> extra(tables.size(), 0);
    // The budget goes to the tables in order, each up to its own limit: the
    // chosen tables first, then those added for joins with a smaller one.
    for (std::size_t k = 0; k < tables.size(); ++k) {
      const std::size_t limit = is_chosen_[tables[k]] ? kListedPerTable : kListedPerJoinTable;
      const std::size_t room = limit > must[k].size() ? limit - must[k].size() : 0;
      extra[k] = std::min({may[k].size(), room, kListedTotal > total ? kListedTotal - total : 0});
      total += extra[k];
    }
    for (std::size_t k = 0; k < tables.size(); ++k) {
      for (const std::uint32_t c : must[k]) result_.listed_columns.push_back(x_.columns[c].node);
      for (std::size_t i = 0; i < extra[k]; ++i) result_.listed_columns.push_back(x_.columns[may[k][i]].node);
    }
  }

  // Terms of the terminology whose words the question uses, all of them.
  void pick_terms() {
    std::vector<std::pair<double, std::uint32_t>> scores;
    for (std::uint32_t k = 0; k < x_.terms.size(); ++k) {
      const auto& stems = x_.terms[k].stems;
      if (stems.empty()) continue;
      double s = 0;
      bool all = true;
      for (const TermId t : stems) {
        auto it = term_slot_.find(t);
        if (it == term_slot_.end()) {
          all = false;
          break;
        }
        s += weight(terms_[it->second]);
      }
      if (all) scores.emplace_back(s + 0.1 * static_cast<double>(stems.size()), k);
    }
    by_score(scores);
    for (std::size_t i = 0; i < scores.size() && i < kMaxTerms; ++i)
      result_.terms.push_back(x_.terms[scores[i].second].node);
  }

  void pick_concepts() {
    std::vector<std::pair<double, std::uint32_t>> scores;
    std::unordered_set<std::uint32_t> seen;
    for (const std::uint32_t t : chosen_)
      for (const std::uint32_t c : x_.tables[t].columns)
        for (const std::uint32_t k : x_.columns[c].concepts)
          if (seen.insert(k).second)
            if (const double s = match(x_.concepts[k].terms); s > 0) scores.emplace_back(s, k);
    by_score(scores);
    for (const auto& [s, k] : scores) {
      if (result_.concepts.size() >= kMaxConcepts || s < kColumnNearBest * scores.front().first) break;
      result_.concepts.push_back(x_.concepts[k].node);
    }
  }

  // The rules of the chosen tables' columns that share words with the
  // question or govern a chosen column.
  void pick_rules() {
    std::vector<std::pair<double, std::uint32_t>> scores;
    std::unordered_set<std::uint32_t> seen;
    for (const std::uint32_t t : chosen_)
      for (const std::uint32_t c : x_.tables[t].columns)
        for (const std::uint32_t r : x_.columns[c].rules) {
          if (!seen.insert(r).second) continue;
          const auto& held = x_.rules[r].terms;
          double s = 0;
          for (const auto& [term, w] : weights_)
            if (std::binary_search(held.begin(), held.end(), term)) s += w;
          if (std::any_of(chosen_columns_.begin(), chosen_columns_.end(),
                          [&](std::uint32_t cc) { return contains(x_.columns[cc].rules, r); }))
            s += kChosenColumnRule;
          if (s > 0) scores.emplace_back(s, r);
        }
    by_score(scores);
    for (std::size_t i = 0; i < scores.size() && i < kMaxRules; ++i)
      result_.rules.push_back(x_.rules[scores[i].second].node);
  }

  // The cosine of the idf-weighted words of the question and of an example's
  // description, times how much of the chosen tables the example covers,
  // less for every table it uses that was not chosen.
  void pick_example() {
    if (chosen_.empty()) return;
    std::vector<bool> usable(n_, false);
    for (const std::uint32_t t : chosen_) usable[t] = true;
    for (const std::uint32_t t : added_) usable[t] = true;
    double question_mass = 0;
    for (const QueryTerm& q : terms_)
      if (!x_.is_pair[q.term]) question_mass += weight(q);
    if (question_mass <= 0) return;
    std::vector<std::pair<double, std::uint32_t>> similar;
    for (std::uint32_t e = 0; e < x_.examples.size(); ++e) {
      const Impl::Example& example = x_.examples[e];
      std::size_t covered = 0, foreign = 0;
      for (const std::uint32_t t : example.tables) foreign += !usable[t];
      for (const std::uint32_t t : chosen_)
        covered += std::binary_search(example.tables.begin(), example.tables.end(), t);
      if (covered == 0) continue;
      double shared = 0, mass = 0;
      for (const TermId t : example.terms) {
        mass += x_.idf[t];
        if (auto it = term_slot_.find(t); it != term_slot_.end()) shared += weight(terms_[it->second]);
      }
      if (mass <= 0) continue;
      const double similarity = shared / std::sqrt(question_mass * mass);
      const double coverage = static_cast<double>(covered) / static_cast<double>(chosen_.size());
      const double value = similarity * (0.5 + 0.5 * coverage) *
                           std::pow(kForeignExampleTable, static_cast<double>(foreign));
      if (similarity >= kExampleSimilarity) similar.emplace_back(value, e);
    }
    by_score(similar);
    for (std::size_t i = 0; i < similar.size() && i < kMaxExamples; ++i)
      result_.examples.push_back(x_.examples[similar[i].second].node);
    if (!similar.empty()) result_.example = result_.examples.front();
  }

  const Impl& x_;
  const Query& query_;
  const std::vector<std::string> question_words_;  // split_words() of the question, read once
  const std::size_t n_;
  Result result_;
  std::vector<std::vector<Resolved>> sequences_;  // the question, then each keyword
  std::vector<QueryTerm> terms_;
  std::unordered_map<TermId, std::size_t> term_slot_;
  std::vector<std::pair<TermId, double>> weights_;  // weight(q) by term, for columns and rules
  std::vector<bool> named_, context_, is_chosen_;
  bool refers_back_ = false;
  std::vector<double> evidence_, score_, covered_;
  double best_evidence_ = 0, best_score_ = 0;
  std::vector<std::uint32_t> chosen_, added_, chosen_columns_;
  std::vector<Reason> reason_;
  // The table of projects chosen only to say which project each row is of.
  std::uint32_t project_context_ = ~0u;
  std::uint32_t place_context_ = ~0u;
  std::uint32_t activity_context_ = ~0u;
  std::uint32_t crew_context_ = ~0u;
  std::vector<std::uint32_t> lookup_context_;
};

}  // namespace

detail::TermId Index::Impl::lookup(const Word& word, std::string& spelling, unsigned& distance) const {
  distance = 0;
  spelling = word.text;
  if (auto it = surface.find(word.text); it != surface.end()) return it->second;
  if (auto it = term_ids.find(word.stem); it != term_ids.end()) return it->second;
  // A schema word done again ("rebaselined", "replanned", "rescheduled").
  if (word.text.size() >= 8 && word.text.starts_with("re")) {
    const std::string again = word.text.substr(2);
    const auto it = term_ids.find(stem(again));
    if (it != term_ids.end() && !is_pair[it->second]) {
      spelling = again;
      return it->second;
    }
  }
  // A misspelling: the nearest schema word, the most widely held on ties.
  const std::vector<char32_t> cps = code_points(word.text);
  if (cps.size() < kTypoMinLength) return kNoTerm;
  const std::u32string_view own(cps.data(), cps.size());
  const unsigned limit = cps.size() >= kTypoTwoEditsLength ? 2 : 1;
  const Spelling* best = nullptr;
  unsigned best_distance = limit + 1;
  for (std::size_t len = cps.size() - limit; len <= cps.size() + limit && len < by_length.size(); ++len) {
    for (const Spelling& candidate : by_length[len]) {
      if (candidate.code_points[0] != cps[0]) continue;
      const unsigned d = edit_distance(own, candidate.code_points, limit);
      if (d > limit) continue;
      if (!best || d < best_distance ||
          (d == best_distance && postings[candidate.term].size() > postings[best->term].size())) {
        best = &candidate;
        best_distance = d;
      }
    }
  }
  if (!best) return kNoTerm;
  distance = best_distance;
  spelling = best->text;
  return best->term;
}

Result Index::link(const Query& query) const { return Linker(*impl_, query).run(); }

bool Index::is_name_word(std::string_view word) const {
  for (const std::string& form : noun_forms(std::string(word)))
    if (impl_->name_words.count(form)) return true;
  return false;
}

bool Index::is_table_word(std::string_view word) const {
  if (is_name_word(word)) return true;
  const auto surface = impl_->surface.find(std::string(word));
  if (surface != impl_->surface.end()) return impl_->table_terms.count(surface->second) > 0;
  const auto term = impl_->term_ids.find(stem(word));
  return term != impl_->term_ids.end() && impl_->table_terms.count(term->second) > 0;
}

bool Index::names_rows(std::string_view table, std::string_view column) const {
  return impl_->naming_columns.count(text::lower(table) + "\n" + text::lower(column)) > 0;
}

bool Index::holds_person(std::string_view table, std::string_view column) const {
  return impl_->person_columns.count(text::lower(table) + "\n" + text::lower(column)) > 0;
}

std::vector<std::string> Index::table_words(std::string_view table) const {
  const auto it = impl_->table_by_name.find(text::lower(table));
  return it == impl_->table_by_name.end() ? std::vector<std::string>() : impl_->tables[it->second].words;
}

bool Index::is_projects_table(std::string_view table) const {
  const auto it = impl_->table_by_name.find(text::lower(table));
  return it != impl_->table_by_name.end() && impl_->tables[it->second].projects;
}

std::string Index::synonym_of(std::string_view word) const {
  const auto it = impl_->synonyms.find(stem(word));
  return it == impl_->synonyms.end() ? std::string() : it->second;
}

bool Index::is_schema_word(std::string_view word) const {
  return impl_->surface.count(std::string(word)) > 0 || impl_->term_ids.count(stem(word)) > 0;
}

}  // namespace corvalt::linking

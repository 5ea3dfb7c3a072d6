#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/regex.hpp"
#include "corvalt/text.hpp"

using namespace corvalt;
using atlanor::AtlanorService;
using atlanor::SearchResult;

namespace {

// ---- helpers -----------------------------------------------------------------

using Reasons = std::vector<std::pair<std::string, std::vector<std::string>>>;

struct Readable {
  std::vector<std::string> ranked;
  Reasons matches;
  bool operator==(const Readable&) const = default;
};

Readable readable(const Graph& g, const SearchResult& r) {
  Readable out;
  for (Graph::Index i : r.ranked) out.ranked.emplace_back(g.id(i));
  for (const auto& [i, reasons] : r.matches) out.matches.emplace_back(g.id(i), reasons);
  return out;
}

std::ostream& operator<<(std::ostream& os, const Readable& r) {
  os << "ranked:";
  for (const auto& id : r.ranked) os << " [" << id << "]";
  os << "\nmatches:";
  for (const auto& [id, reasons] : r.matches) {
    os << "\n  [" << id << "]";
    for (const auto& reason : reasons) os << " {" << reason << "}";
  }
  return os;
}

// The search written the plain way: every test of every keyword against every
// node with a whole-word Regex, substring tests on the lower-cased text, a
// stable sort at the end.
Readable reference_search(const Graph& g, const std::vector<std::string>& keywords) {
  std::vector<std::string> normalised;
  std::vector<Regex> patterns;
  for (const auto& k : keywords) {
    normalised.emplace_back(text::strip(text::lower(k)));
    patterns.emplace_back("\\b" + Regex::escape(normalised.back()) + "\\b", Regex::kIgnoreCase);
  }
  auto search = [](const Regex& re, const Value& v) {
    if (!v.is_text())
      throw TypeError(std::string("expected string or bytes-like object, got '") + v.type_name() + "'");
    return re.search(v.as_text());
  };
  std::vector<std::pair<int, std::string>> scored;
  Readable out;
  for (Graph::Index i = 0; i < g.node_count(); ++i) {
    const Record& attrs = g.attrs(i);
    const Value* name = attrs.find("name");
    const Value* description = attrs.find("description");
    const Value* tags = attrs.find("keywords");
    int score = 0;
    std::vector<std::string> reasons;
    for (std::size_t k = 0; k < normalised.size(); ++k) {
      const std::string& kw = normalised[k];
      const Regex& re = patterns[k];
      auto hit = [&](int s, const char* prefix) {
        score += s;
        reasons.push_back(prefix + kw + "'");
      };
      if (re.search(g.id(i))) {
        hit(5, "ID contains '");
      } else if (name && search(re, *name)) {
        hit(4, "Name contains '");
      } else if (description && search(re, *description)) {
        hit(3, "Description contains '");
      } else if (tags && std::any_of(tags->as_list().begin(), tags->as_list().end(),
                                     [&](const Value& e) { return search(re, e); })) {
        hit(4, "Tagged with keyword '");
      } else if (name && text::lower(name->as_text()).find(kw) != std::string::npos) {
        hit(2, "Name partially matches '");
      } else if (description && text::lower(description->as_text()).find(kw) != std::string::npos) {
        hit(1, "Description partially matches '");
      }
    }
    if (score > 0) {
      scored.emplace_back(score, g.id(i));
      out.matches.emplace_back(g.id(i), reasons);
    }
  }
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& s : scored) out.ranked.push_back(s.second);
  return out;
}

AtlanorService service_over(std::shared_ptr<Graph> g) {
  AtlanorService service;
  service.set_graph(atlanor::KnowledgeGraph::from(std::move(g)));
  return service;
}

Readable run(const AtlanorService& service, const std::vector<std::string>& keywords) {
  return readable(*service.graph()->graph, service.search_by_keywords(keywords));
}

// A small schema document with one of each node kind.
const char* kDoc = R"json({
  "tables": {
    "activity": {"description": "Scheduled work items (tasks)", "domain": "scheduling",
      "columns": {
        "total_float": {"description": "Total float in days", "data_type": "REAL",
                        "business_rules": ["Float rule: float may be negative"]},
        "start_date": {"description": "Planned start", "data_type": "TEXT",
                       "business_rules": ["Float rule: repeated", "Date rule: ISO dates"]}}},
    "project": {"description": "A project groups activities", "domain": "portfolio",
      "columns": {"name": {"description": "Project name", "data_type": "TEXT"}}}
  },
  "relationships": [{"from_table": "activity", "to_table": "project",
                     "join_condition": "activity.project_id = project.id", "description": "belongs to"}],
  "keywords": {"slack": ["activity.total_float"], "work": ["activity"]},
  "terminology": {"float": "Scheduling flexibility"}
})json";

AtlanorService sample_service() {
  AtlanorService service;
  service.build_graph(json::parse(kDoc));
  return service;
}

const std::vector<std::string>& reasons_of(const Readable& r, const std::string& id) {
  for (const auto& m : r.matches)
    if (m.first == id) return m.second;
  static const std::vector<std::string> none;
  return none;
}

}  // namespace

// ---- scoring table ---------------------------------------------------------------

TEST(KeywordSearch, EachKeywordTakesTheFirstTestThatHolds) {
  auto service = sample_service();
  // "float" is a whole word in the description of total_float (3), but the
  // column is also named total_float (partial, 2) and not tagged with it:
  // the description test comes first and wins.
  Readable r = run(service, {"float"});
  EXPECT_EQ(reasons_of(r, "column:activity.total_float"),
            std::vector<std::string>{"Description contains 'float'"});
  // The term node has "float" in its id (after the colon): 5.
  EXPECT_EQ(reasons_of(r, "term:float"), std::vector<std::string>{"ID contains 'float'"});
  // Two id matches (5 each) lead, in node order: the rule came first.
  ASSERT_GE(r.ranked.size(), 2u);
  EXPECT_EQ(r.ranked[0], "rule:Float rule");
  EXPECT_EQ(r.ranked[1], "term:float");

  // Whole word in the description and tagged: the description (3) is tried
  // first, so the tag (4) never counts.
  r = run(service, {"work"});
  EXPECT_EQ(reasons_of(r, "table:activity"), std::vector<std::string>{"Description contains 'work'"});
  EXPECT_EQ(reasons_of(r, "keyword:work"), std::vector<std::string>{"ID contains 'work'"});

  // Tagged only.
  r = run(service, {"slack"});
  EXPECT_EQ(reasons_of(r, "column:activity.total_float"),
            std::vector<std::string>{"Tagged with keyword 'slack'"});

  // Underscore joins words: "total" is not a whole word of the id or name
  // total_float, so the description answers; "tota" is only part of a word.
  r = run(service, {"total"});
  EXPECT_EQ(reasons_of(r, "column:activity.total_float"),
            std::vector<std::string>{"Description contains 'total'"});
  r = run(service, {"tota"});
  EXPECT_EQ(reasons_of(r, "column:activity.total_float"),
            std::vector<std::string>{"Name partially matches 'tota'"});
  r = run(service, {"schedul"});
  EXPECT_EQ(reasons_of(r, "table:activity"),
            std::vector<std::string>{"Description partially matches 'schedul'"});
  EXPECT_EQ(r, reference_search(*service.graph()->graph, {"schedul"}));
}

TEST(KeywordSearch, ScoresAddUpAcrossKeywordsAndTiesKeepNodeOrder) {
  auto service = sample_service();
  // Name match for two keywords (4 + 4) outranks an id match (5).
  Readable r = run(service, {"project", "name"});
  EXPECT_EQ(reasons_of(r, "column:project.name"),
            (std::vector<std::string>{"ID contains 'project'", "ID contains 'name'"}));
  EXPECT_EQ(r.ranked.front(), "column:project.name");

  auto g = std::make_shared<Graph>();
  g->add_node("x:one", Record{{"name", "alpha beta"}});
  g->add_node("x:two", Record{{"name", "gamma"}});
  g->add_node("x:alpha", Record{});
  g->add_node("x:three", Record{{"name", "alpha"}});
  auto s = service_over(g);
  r = run(s, {"alpha", "beta"});
  // x:one 4+4, x:alpha 5, x:three 4: ranked by score, ties in node order;
  // the match map stays in node order.
  EXPECT_EQ(r.ranked, (std::vector<std::string>{"x:one", "x:alpha", "x:three"}));
  ASSERT_EQ(r.matches.size(), 3u);
  EXPECT_EQ(r.matches[0].first, "x:one");
  EXPECT_EQ(r.matches[1].first, "x:alpha");
  EXPECT_EQ(r.matches[2].first, "x:three");
  EXPECT_EQ(r.matches[0].second,
            (std::vector<std::string>{"Name contains 'alpha'", "Name contains 'beta'"}));
}

TEST(KeywordSearch, KeywordsAreNormalisedAndRepeatsCountAgain) {
  auto service = sample_service();
  Readable r = run(service, {"  FLOAT\t", "float"});
  EXPECT_EQ(reasons_of(r, "term:float"),
            (std::vector<std::string>{"ID contains 'float'", "ID contains 'float'"}));
  EXPECT_EQ(r, reference_search(*service.graph()->graph, {"  FLOAT\t", "float"}));
  EXPECT_EQ(run(service, {}), Readable{});
}

TEST(KeywordSearch, EmptyKeywordMatchesEveryIdWithAWordCharacter) {
  auto g = std::make_shared<Graph>();
  g->add_node("table:a", Record{{"name", "a"}});
  g->add_node("::", Record{{"name", "..."}, {"description", "x"}});
  g->add_node("--", Record{{"description", "--"}});
  g->add_node("..", Record{});
  auto s = service_over(g);
  for (const std::string k : {"", "   ", "\n"}) {
    Readable r = run(s, {k});
    // "::" fails the id and name but its description has a word character;
    // "--" only gets the plain substring test of its description.
    EXPECT_EQ(r.matches, (Reasons{{"table:a", {"ID contains ''"}},
                                  {"::", {"Description contains ''"}},
                                  {"--", {"Description partially matches ''"}}}));
    EXPECT_EQ(r, reference_search(*g, {k}));
  }
  auto service = sample_service();
  Readable r = run(service, {""});
  EXPECT_EQ(r.matches.size(), service.graph()->graph->node_count());
}

TEST(KeywordSearch, TypePrefixesMatchEveryNodeOfTheirKind) {
  auto service = sample_service();
  const Graph& g = *service.graph()->graph;
  Readable r = run(service, {"table"});
  std::vector<std::string> tables;
  for (Graph::Index i = 0; i < g.node_count(); ++i)
    if (g.id(i).starts_with("table:")) tables.emplace_back(g.id(i));
  std::vector<std::string> id_hits;
  for (const auto& [id, reasons] : r.matches)
    if (reasons == std::vector<std::string>{"ID contains 'table'"}) id_hits.push_back(id);
  EXPECT_EQ(id_hits, tables);
  r = run(service, {"column"});
  EXPECT_EQ(r.ranked.size(), 3u);
}

TEST(KeywordSearch, PatternCharactersAreLiteralAndBoundariesFollowTheirNeighbours) {
  auto g = std::make_shared<Graph>();
  g->add_node("n:1", Record{{"description", "uses activity.total_float here"}});
  g->add_node("n:2", Record{{"description", "activityXtotal_float"}});
  g->add_node("n:3", Record{{"description", "call f(x) now"}});
  g->add_node("n:4", Record{{"description", "callf(x)now"}});
  g->add_node("n:5", Record{{"description", "a+b and a.b"}});
  g->add_node("n:6", Record{{"description", "(x)y"}});
  auto s = service_over(g);
  // '.' is a full stop, not any character.
  EXPECT_EQ(run(s, {"activity.total_float"}).matches,
            (Reasons{{"n:1", {"Description contains 'activity.total_float'"}}}));
  // A keyword that ends in a non-word character needs a word character after
  // it for the closing boundary: "f(x) now" has a blank there.
  EXPECT_EQ(run(s, {"f(x)"}).matches, (Reasons{{"n:3", {"Description partially matches 'f(x)'"}},
                                               {"n:4", {"Description partially matches 'f(x)'"}}}));
  EXPECT_EQ(run(s, {"(x)"}).matches, (Reasons{{"n:3", {"Description partially matches '(x)'"}},
                                              {"n:4", {"Description contains '(x)'"}},
                                              {"n:6", {"Description partially matches '(x)'"}}}));
  EXPECT_EQ(run(s, {"a+b"}).matches, (Reasons{{"n:5", {"Description contains 'a+b'"}}}));
  for (const char* k : {"activity.total_float", "f(x)", "(x)", "a+b", "x", ".", ")y", "d a"})
    EXPECT_EQ(run(s, {k}), reference_search(*g, {k})) << k;
}

TEST(KeywordSearch, WordCharactersIncludeLettersOfEveryScript) {
  auto g = std::make_shared<Graph>();
  g->add_node("n:1", Record{{"description", "Le café, ouvert"}});
  g->add_node("n:2", Record{{"description", "cafés"}});
  g->add_node("n:3", Record{{"description", "ΣΟΦΟΣ σοφός"}});
  g->add_node("n:4", Record{{"description", "İstanbul and ıi"}});
  g->add_node("n:5", Record{{"description", "Kelvin \u212Aelvin, ſtatus"}});
  g->add_node("n:6", Record{{"description", "日本語_x"}});
  auto s = service_over(g);
  // é is a letter, so "caf" never ends at a boundary inside café.
  EXPECT_EQ(run(s, {"caf"}).matches, (Reasons{{"n:1", {"Description partially matches 'caf'"}},
                                              {"n:2", {"Description partially matches 'caf'"}}}));
  EXPECT_EQ(run(s, {"CAFÉ"}).matches, (Reasons{{"n:1", {"Description contains 'café'"}},
                                               {"n:2", {"Description partially matches 'café'"}}}));
  // Ignore-case pairs beyond ASCII: the Kelvin sign and the long s match
  // their ASCII letters; a CJK run is one word up to the underscore's end.
  EXPECT_EQ(reasons_of(run(s, {"kelvin"}), "n:5"),
            std::vector<std::string>{"Description contains 'kelvin'"});
  EXPECT_EQ(reasons_of(run(s, {"status"}), "n:5"),
            std::vector<std::string>{"Description contains 'status'"});
  EXPECT_EQ(reasons_of(run(s, {"日本"}), "n:6"),
            std::vector<std::string>{"Description partially matches '日本'"});
  for (const char* k : {"caf", "café", "σοφος", "σοφός", "σοφοσ", "i", "ı", "istanbul", "İstanbul",
                        "kelvin", "\u212Aelvin", "ſtatus", "status", "日本語_x", "x", "_x"})
    EXPECT_EQ(run(s, {k}), reference_search(*g, {k})) << k;
}

TEST(KeywordSearch, ValuesThatAreNotTextFailWhereATestReachesThem) {
  auto g = std::make_shared<Graph>();
  g->add_node("table:a", Record{{"name", "a"}, {"description", Value()}});
  g->add_node("table:b", Record{{"name", "b"}, {"description", "fine"}});
  auto s = service_over(g);
  // The id answers "table" first, so the null description is never read.
  EXPECT_EQ(run(s, {"table"}).ranked, (std::vector<std::string>{"table:a", "table:b"}));
  // A keyword that gets as far as the description test fails there.
  try {
    (void)s.search_by_keywords({"fine"});
    FAIL() << "no TypeError";
  } catch (const TypeError& e) {
    EXPECT_STREQ(e.what(), "expected string or bytes-like object, got 'NoneType'");
  }
  auto g2 = std::make_shared<Graph>();
  g2->add_node("n:1", Record{{"name", 7}});
  EXPECT_THROW((void)service_over(g2).search_by_keywords({"z"}), TypeError);
  EXPECT_EQ(run(service_over(g2), {"n"}).matches, (Reasons{{"n:1", {"ID contains 'n'"}}}));
}

TEST(KeywordSearch, NeedsAGraph) {
  AtlanorService service;
  try {
    (void)service.search_by_keywords({"a"});
    FAIL() << "no ValueError";
  } catch (const ValueError& e) {
    EXPECT_STREQ(e.what(), "Graph not built. Call build_graph first.");
  }
  EXPECT_THROW((void)service.get_related_rules("table:a"), ValueError);
  EXPECT_THROW((void)service.find_path("table:a", "table:b"), ValueError);
}

// ---- the indexed search against the plain one -------------------------------------

namespace {

// Pieces that stress the index: ASCII word and non-word characters, the
// letters whose case partners are outside ASCII, other scripts, combining
// marks, white space other than blanks.
const std::vector<std::string> kPieces = {
    "a", "b", "s", "k", "i", "I", "S", "K", "ab", "sk", "is", "_", "__", ".", ":", " ", "  ", "-",
    "(", ")", "+", "*", "'", "1", "42", "\n", "\t", "table", "col", "Ab_c", "x.y",
    "\u017F", "\u0131", "\u0130", "\u212A", "é", "É", "ß", "σ", "Σ", "ς", "\uFB00", "\u0307",
    "日", "😀", "\u01C5", "Ω", "ω", "\u2126", "µ", "\u212B", "å", "\u00A0", "\u2028", "٣"};

std::string random_text(std::mt19937& rng, bool ascii_only, int max_pieces) {
  std::uniform_int_distribution<int> count(0, max_pieces);
  std::string out;
  const int n = count(rng);
  for (int i = 0; i < n; ++i) {
    std::string piece;
    do {
      piece = kPieces[std::uniform_int_distribution<std::size_t>(0, kPieces.size() - 1)(rng)];
    } while (ascii_only && !text::is_ascii(piece));
    out += piece;
  }
  return out;
}

}  // namespace

TEST(KeywordSearch, IndexedSearchAgreesWithThePlainScanOnRandomGraphs) {
  std::mt19937 rng(20240611);
  std::bernoulli_distribution coin(0.5), often(0.8), rarely(0.25);
  int compared = 0, with_hits = 0;
  for (int round = 0; round < 250; ++round) {
    auto g = std::make_shared<Graph>();
    std::vector<std::string> texts;
    const bool ascii_graph = rarely(rng);
    const int nodes = std::uniform_int_distribution<int>(1, 40)(rng);
    for (int n = 0; n < nodes; ++n) {
      auto txt = [&] {
        std::string t = random_text(rng, ascii_graph || coin(rng), 6);
        texts.push_back(t);
        return t;
      };
      Record attrs;
      if (often(rng)) attrs.set("name", txt());
      if (often(rng)) attrs.set("description", txt());
      if (rarely(rng)) {
        List tags;
        for (int t = std::uniform_int_distribution<int>(0, 3)(rng); t > 0; --t) tags.push_back(txt());
        attrs.set("keywords", tags);
      }
      g->add_node((coin(rng) ? "table:" : "") + txt(), attrs);
    }
    auto service = service_over(g);
    for (int q = 0; q < 12; ++q) {
      std::vector<std::string> keywords;
      for (int k = std::uniform_int_distribution<int>(1, 3)(rng); k > 0; --k) {
        std::string kw;
        if (coin(rng) && !texts.empty()) {
          // A slice of a stored text, cut at code point bounds.
          const std::string& t = texts[std::uniform_int_distribution<std::size_t>(0, texts.size() - 1)(rng)];
          std::vector<std::size_t> cuts{0};
          for (std::size_t pos = 0; pos < t.size();) {
            text::next_code_point(t, pos);
            cuts.push_back(pos);
          }
          std::uniform_int_distribution<std::size_t> pick(0, cuts.size() - 1);
          std::size_t a = cuts[pick(rng)], b = cuts[pick(rng)];
          if (a > b) std::swap(a, b);
          kw = t.substr(a, b - a);
          if (coin(rng)) kw = " " + kw + " ";
        } else {
          kw = random_text(rng, coin(rng), 3);
        }
        keywords.push_back(kw);
      }
      if (rarely(rng)) keywords.push_back(keywords.front());
      Readable expected = reference_search(*g, keywords);
      Readable actual = run(service, keywords);
      ASSERT_EQ(actual, expected) << "round " << round << " query " << q;
      ++compared;
      if (!expected.matches.empty()) ++with_hits;
    }
  }
  // The generator must produce both hits and misses to mean anything.
  EXPECT_GT(with_hits, compared / 4);
  EXPECT_LT(with_hits, compared);
}

TEST(KeywordSearch, IndexedSearchAgreesOnDocumentLikeTexts) {
  // Longer ASCII texts with a few non-ASCII ones: the shape of real metadata.
  std::mt19937 rng(7);
  const std::vector<std::string> words = {
      "activity", "activities", "project", "float", "total_float", "free", "critical", "path",
      "resource", "cost", "date", "start_date", "end", "lag", "days", "id", "name", "Status",
      "status_code", "plan", "planned", "réunion", "coût", "naïve", "WBS", "wbs.code", "(days)",
      "e.g.", "-", "/", "100%", "Q1", "2024-01-01"};
  auto g = std::make_shared<Graph>();
  auto sentence = [&](int n) {
    std::string out;
    for (int i = 0; i < n; ++i) {
      if (i) out += std::bernoulli_distribution(0.1)(rng) ? ", " : " ";
      out += words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(rng)];
    }
    return out;
  };
  // Over 4,096 nodes: a search this large shares its keywords with a second
  // thread.
  for (int t = 0; t < 800; ++t) {
    const std::string table = sentence(1) + "_" + std::to_string(t);
    g->add_node("table:" + table, Record{{"type", "table"}, {"name", table}, {"description", sentence(8)}});
    for (int c = 0; c < 5; ++c) {
      const std::string column = sentence(1);
      g->add_edge("table:" + table, "column:" + table + "." + column);
      g->add_node("column:" + table + "." + column,
                  Record{{"type", "column"}, {"name", column}, {"description", sentence(6)}});
    }
  }
  g->add_node("keyword:float", Record{{"type", "keyword"}, {"name", "float"}});
  ASSERT_GE(g->node_count(), 4096u);
  auto service = service_over(g);
  std::vector<std::vector<std::string>> queries = {
      {"activities", "float", "critical", "path"}, {"total", "float?", "(days)", "days)"},
      {"wbs.code", "wbs", "code", "e.g."},         {"coût", "COÛT", "reunion", "naïve", "na"},
      {"table", "column", "id", "status"},         {"-", "/", "100%", "2024", "01-01"},
      {"start_date", "start", "_date", "date"},    {"", "s", "k", "i", "ı"}};
  for (const auto& keywords : queries)
    EXPECT_EQ(run(service, keywords), reference_search(*g, keywords)) << keywords.front();
}

// ---- related rules and paths ---------------------------------------------------------

TEST(RelatedRules, ColumnsGiveTheirRulesAndTablesTheRulesOfTheirColumns) {
  auto service = sample_service();
  const Graph& g = *service.graph()->graph;
  auto listed = [&](std::string_view id) {
    std::vector<std::pair<std::string, Value>> out;
    for (const auto& [rule, description] : service.get_related_rules(id))
      out.emplace_back(g.id(rule), description);
    return out;
  };
  using Rules = std::vector<std::pair<std::string, Value>>;
  EXPECT_EQ(listed("column:activity.start_date"),
            (Rules{{"rule:Float rule", Value("Float rule: float may be negative")},
                   {"rule:Date rule", Value("Date rule: ISO dates")}}));
  // Both columns are governed by "Float rule": listed twice, column by column.
  EXPECT_EQ(listed("table:activity"),
            (Rules{{"rule:Float rule", Value("Float rule: float may be negative")},
                   {"rule:Float rule", Value("Float rule: float may be negative")},
                   {"rule:Date rule", Value("Date rule: ISO dates")}}));
  EXPECT_TRUE(listed("table:project").empty());
  EXPECT_TRUE(listed("term:float").empty());
  EXPECT_TRUE(listed("rule:Float rule").empty());
  try {
    (void)service.get_related_rules("table:nowhere");
    FAIL() << "no NodeNotFound";
  } catch (const NodeNotFound& e) {
    EXPECT_EQ(e.node(), "table:nowhere");
  }
}

TEST(RelatedRules, RulesHangingDirectlyOffANodeComeFirstAndNeedADescription) {
  auto g = std::make_shared<Graph>();
  g->add_edge("table:t", "column:t.c");
  g->add_edge("column:t.c", "rule:deep", Record{});
  g->add_edge("table:t", "rule:direct");
  g->add_edge("table:t", "concept:x");
  g->attrs(g->index_of("rule:direct")).set("description", 42);
  g->attrs(g->index_of("rule:deep")).set("description", "deep one");
  auto s = service_over(g);
  auto rules = s.get_related_rules("table:t");
  ASSERT_EQ(rules.size(), 2u);
  EXPECT_EQ(g->id(rules[0].first), "rule:direct");
  EXPECT_EQ(rules[0].second, Value(42));
  EXPECT_EQ(g->id(rules[1].first), "rule:deep");
  // A non-table node does not look through its column successors.
  g->add_edge("concept:x", "column:t.c");
  EXPECT_TRUE(s.get_related_rules("concept:x").empty());

  g->add_edge("column:t.c", "rule:bare");
  try {
    (void)s.get_related_rules("column:t.c");
    FAIL() << "no KeyError";
  } catch (const KeyError& e) {
    EXPECT_EQ(e.key(), "description");
  }
}

TEST(FindPath, FollowsEdgeDirectionAndReportsNoPathAsNothing) {
  auto service = sample_service();
  const Graph& g = *service.graph()->graph;
  auto path = service.find_path("table:activity", "table:project");
  ASSERT_TRUE(path.has_value());
  ASSERT_EQ(path->size(), 2u);
  EXPECT_EQ(g.id((*path)[0]), "table:activity");
  EXPECT_EQ(g.id((*path)[1]), "table:project");
  EXPECT_FALSE(service.find_path("table:project", "table:activity").has_value());

  path = service.find_path("keyword:slack", "rule:Float rule");
  ASSERT_TRUE(path.has_value());
  std::vector<std::string> ids;
  for (auto i : *path) ids.emplace_back(g.id(i));
  EXPECT_EQ(ids, (std::vector<std::string>{"keyword:slack", "column:activity.total_float",
                                           "rule:Float rule"}));
  path = service.find_path("term:float", "term:float");
  ASSERT_TRUE(path.has_value());
  EXPECT_EQ(path->size(), 1u);
  EXPECT_THROW((void)service.find_path("table:activity", "table:missing"), NodeNotFound);
  EXPECT_THROW((void)service.find_path("table:missing", "table:activity"), NodeNotFound);
}

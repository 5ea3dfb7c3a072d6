// The question history service: loading, scoring and the strong-match search.
#include "corvalt/echovane.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>
#include <string>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/text.hpp"

namespace corvalt::echovane {
namespace {

namespace fs = std::filesystem;

// A service whose console lines are collected.
struct Service {
  std::vector<std::string> lines;
  EchovaneService svc{Console([this](std::string_view l) { lines.emplace_back(l); })};

  explicit Service(std::string_view history_json = {}, bool verbose = false) {
    svc.verbose = verbose;
    if (!history_json.empty()) svc.load_document(json::parse(history_json), "history.json");
    lines.clear();
  }
  // The `sql` of the match, "" for none: entries in these tests carry
  // distinct SQL, so it names the entry that won.
  std::string match(std::string_view question) {
    RecordPtr r = svc.find_strong_match(question);
    return r ? r->at("sql").as_text() : "";
  }
};

// Builds {"enriched_queries": [...]} from (question, variations) pairs; the
// SQL of entry i is "q{i}".
std::string history(const std::vector<std::pair<std::string, std::vector<std::string>>>& entries) {
  auto list = make_list();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    auto entry = make_record();
    entry->set("question", entries[i].first);
    auto vars = make_list();
    for (const auto& v : entries[i].second) vars->push_back(v);
    entry->set("natural_language_variations", Value(vars));
    entry->set("sql", "q" + std::to_string(i));
    list->push_back(Value(entry));
  }
  return json::dump_compact(Value(Record{{"enriched_queries", Value(list)}}));
}

// ---------------------------------------------------------------- scoring --

TEST(EchovaneScore, SharedQuestionWordsOverQuestionWords) {
  EXPECT_EQ(overlap_score("late activities", "show late activities by project"), 1.0);
  EXPECT_EQ(overlap_score("which activities are late", "late activities"), 0.5);
  EXPECT_EQ(overlap_score("late", "on time"), 0.0);
  // A repeated question word counts once, on both sides.
  EXPECT_EQ(overlap_score("late late activities", "late late"), 0.5);
  EXPECT_EQ(overlap_score("late", "late late late"), 1.0);
}

TEST(EchovaneScore, PunctuationStaysAttachedAndEmptyQuestionScoresZero) {
  EXPECT_EQ(overlap_score("late activities?", "late activities"), 0.5);
  EXPECT_EQ(overlap_score("(late)", "late"), 0.0);
  EXPECT_EQ(overlap_score("", "late activities"), 0.0);
  EXPECT_EQ(overlap_score("   ", ""), 0.0);
}

TEST(EchovaneScore, WordsSplitAtUnicodeWhiteSpace) {
  // U+3000 ideographic space, U+00A0 no-break space, U+001F unit separator
  // all separate words for the host; U+200B zero-width space does not.
  EXPECT_EQ(overlap_score("late activities", "late\u3000activities"), 1.0);
  EXPECT_EQ(overlap_score("late activities", "late\u00a0activities"), 1.0);
  EXPECT_EQ(overlap_score("late activities", "late\x1f" "activities"), 1.0);
  EXPECT_EQ(overlap_score("late activities", "late\u200bactivities"), 0.0);
}

// A direct rendering of the search over the stored texts, one candidate after
// another, to check the prepared index against.
std::string reference_match(const std::vector<std::pair<std::string, std::vector<std::string>>>& entries,
                            std::string_view question) {
  auto norm = [](std::string_view s) { return std::string(text::strip(text::lower(s))); };
  const std::string q = norm(question);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (norm(entries[i].first) == q) return "q" + std::to_string(i);
    for (const auto& v : entries[i].second)
      if (norm(v) == q) return "q" + std::to_string(i);
  }
  double best = 0.0;
  int best_index = -1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    double s = overlap_score(q, norm(entries[i].first));
    if (s > best) best = s, best_index = static_cast<int>(i);
    for (const auto& v : entries[i].second) {
      s = overlap_score(q, norm(v));
      if (s > best) best = s, best_index = static_cast<int>(i);
    }
  }
  return best > 0.7 && best_index >= 0 ? "q" + std::to_string(best_index) : "";
}

TEST(EchovaneScore, PreparedIndexAgreesWithDirectSearch) {
  // A small vocabulary with case and punctuation variants makes ties, exact
  // hits and near-threshold scores common.
  const std::vector<std::string> vocab = {"late", "Late", "LATE", "activities", "activities?",
                                          "project", "by",   "show", "float",      "critical",
                                          "path",    "ÉTAPE", "étape"};
  std::mt19937 rng(12345);
  auto phrase = [&](int max_words) {
    std::string s;
    int n = std::uniform_int_distribution<int>(0, max_words)(rng);
    for (int k = 0; k < n; ++k) {
      if (k) s += (rng() % 5 == 0) ? "  " : " ";
      s += vocab[rng() % vocab.size()];
    }
    if (rng() % 6 == 0) s = " " + s + "\t";
    return s;
  };
  int matches = 0;
  for (int round = 0; round < 40; ++round) {
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;
    int n = 1 + static_cast<int>(rng() % 12);
    for (int i = 0; i < n; ++i) {
      std::vector<std::string> vars;
      for (int v = static_cast<int>(rng() % 4); v > 0; --v) vars.push_back(phrase(5));
      entries.emplace_back(phrase(6), vars);
    }
    Service s(history(entries));
    for (int k = 0; k < 30; ++k) {
      std::string question = phrase(5);
      std::string expected = reference_match(entries, question);
      matches += !expected.empty();
      ASSERT_EQ(s.match(question), expected) << "question '" << question << "' in round " << round;
    }
  }
  EXPECT_GT(matches, 100);  // the comparison exercised real matches
}

TEST(EchovaneScore, LargeHistoryIndexAgreesWithDirectSearch) {
  // Enough texts that the index splits them between two threads: words that
  // first appear late, texts repeated across the halves, and exact repeats.
  std::mt19937 rng(777);
  const std::vector<std::string> common = {"late", "activities", "project", "Float", "zone"};
  auto phrase = [&](std::size_t at) {
    std::string s;
    for (int k = 0, n = 1 + static_cast<int>(rng() % 5); k < n; ++k) {
      if (k) s += ' ';
      if (rng() % 3 == 0) s += "w" + std::to_string(at / 2000 + rng() % 3);
      else s += common[rng() % common.size()];
    }
    return s;
  };
  std::vector<std::pair<std::string, std::vector<std::string>>> entries;
  std::vector<std::string> said;
  for (std::size_t i = 0; i < 17000; ++i) {
    std::vector<std::string> vars;
    for (int v = 0; v < 3; ++v) vars.push_back(rng() % 4 == 0 && !said.empty() ? said[rng() % said.size()] : phrase(i));
    entries.emplace_back(phrase(i), vars);
    if (i % 50 == 0) said.push_back(entries.back().first);
  }
  Service s(history(entries));
  int matches = 0;
  for (const std::string& question :
       {std::string("w8 late zone"), std::string("late activities w0"), said[200], said.back(),
        std::string("W7 project float"), std::string("nothing like it"), entries[16999].second[2],
        std::string("zone w8 w7 late")}) {
    const std::string expected = reference_match(entries, question);
    matches += !expected.empty();
    ASSERT_EQ(s.match(question), expected) << "question '" << question << "'";
  }
  EXPECT_GT(matches, 4);
}

// ----------------------------------------------------------------- search --

TEST(EchovaneSearch, ExactMatchIgnoresCaseAndSurroundingSpace) {
  Service s(history({{"Show late activities", {}}, {"  Critical PATH of Ελλάδα ΟΔΟΣ  ", {}}}));
  EXPECT_EQ(s.match("  show LATE activities\n"), "q0");
  // Full lower-casing, final sigma included, on both sides.
  EXPECT_EQ(s.match("CRITICAL PATH OF ΕΛΛΆΔΑ ΟΔΟΣ"), "q1");
  // Inner spacing is part of the text: no exact match, but all words shared.
  EXPECT_EQ(s.match("show  late activities"), "q0");
}

TEST(EchovaneSearch, VariationReturnsItsOwnEntry) {
  Service s(history({{"first", {"one"}}, {"second", {"two", "Deux Late"}}}));
  EXPECT_EQ(s.match("deux late"), "q1");
  EXPECT_EQ(s.match("ONE"), "q0");
}

TEST(EchovaneSearch, ExactPhaseRunsBeforeOverlapPhase) {
  // Entry 0 covers every question word (score 1.0) but entry 1 is the
  // question itself; so is entry 2's variation, which comes later.
  Service s(history({{"show late activities by project", {}},
                     {"late activities", {}},
                     {"other", {"late activities"}}}));
  EXPECT_EQ(s.match("late activities"), "q1");
}

TEST(EchovaneSearch, NodeTextComesBeforeItsVariations) {
  // Exact phase: entry 0's variation equals entry 1's question; entry 0 wins.
  Service exact(history({{"a", {"late activities"}}, {"late activities", {}}}));
  EXPECT_EQ(exact.match("late activities"), "q0");
  // Overlap phase: equal scores never replace an earlier best.
  Service tie(history({{"x late activities", {}}, {"late activities y", {}}}));
  EXPECT_EQ(tie.match("late activities"), "q0");
  Service var_tie(history({{"zzz", {"late activities x"}}, {"late activities y", {}}}));
  EXPECT_EQ(var_tie.match("late activities"), "q0");
  // A strictly better score later on does replace it.
  Service better(history({{"a b c d", {}}, {"a b c d e", {}}}));
  EXPECT_EQ(better.match("a b c d e f"), "q1");
}

TEST(EchovaneSearch, ThresholdIsStrictlyAboveSevenTenths) {
  Service s(history({{"w1 w2 w3 w4 w5 w6 w7", {}}}));
  EXPECT_EQ(s.match("w1 w2 w3 w4 w5 w6 w7 x8 x9 x10"), "");   // 7/10 = 0.7
  EXPECT_EQ(s.match("w1 w2 w3 w4 w5 w6 w7 x8 x9"), "q0");     // 7/9
  EXPECT_EQ(s.match("which activities are late"), "");
  Service half(history({{"late activities", {}}}));
  EXPECT_EQ(half.match("which activities are late"), "");     // 2/4
  EXPECT_EQ(half.match("late activities?"), "");              // 1/2
}

TEST(EchovaneSearch, EmptyQuestionMatchesOnlyAnEmptyEntry) {
  Service none(history({{"late", {}}}));
  EXPECT_EQ(none.match(""), "");
  EXPECT_EQ(none.match(" \t "), "");
  Service some(R"({"enriched_queries": [{"question": "late", "sql": "q0"}, {"sql": "q1"}]})");
  EXPECT_EQ(some.match("   "), "q1");
}

TEST(EchovaneSearch, NothingLoadedOrEmptyHistoryGivesNull) {
  Service unloaded("", true);
  EXPECT_EQ(unloaded.svc.find_strong_match("late"), nullptr);
  EXPECT_EQ(unloaded.lines, std::vector<std::string>{"[Echovane] No graph loaded, returning None"});
  Service empty(R"({"enriched_queries": []})", true);
  EXPECT_EQ(empty.svc.find_strong_match(""), nullptr);
  EXPECT_EQ(empty.lines, std::vector<std::string>{"[Echovane] No graph loaded, returning None"});
  Service absent(R"({"other": 1})");
  EXPECT_EQ(absent.svc.queries().as_list().size(), 0u);
  EXPECT_EQ(absent.svc.graph()->node_count(), 0u);
}

// --------------------------------------------------------------- messages --

TEST(EchovaneMessages, OverlapSearchPrintsEveryTextScoreAndHighVariationScores) {
  Service s(history({{"Late activities", {"late activities by project", "delayed work"}},
                     {"Show late activities by project", {}}}),
            true);
  EXPECT_EQ(s.match(" Activities BY late project?"), "q0");
  std::vector<std::string> expected = {
      "[Echovane] Looking for a match for: 'activities by late project?'",
      "[Echovane] Node query:0 text score: 0.50",
      "[Echovane] Node query:0 variation 'late activities by project' score: 0.75",
      "[Echovane] Node query:1 text score: 0.75",
      "[Echovane] Best match score: 0.75",
      "[Echovane] Returning match: 'Late activities'",
  };
  EXPECT_EQ(s.lines, expected);
}

TEST(EchovaneMessages, NoStrongMatchAndScoresWithTwoDecimals) {
  Service s(history({{"a b", {"a", "a b c"}}}), true);
  EXPECT_EQ(s.match("a b z"), "");
  std::vector<std::string> expected = {
      "[Echovane] Looking for a match for: 'a b z'",
      "[Echovane] Node query:0 text score: 0.67",
      "[Echovane] Node query:0 variation 'a b c' score: 0.67",
      "[Echovane] Best match score: 0.67",
      "[Echovane] No strong match found",
  };
  EXPECT_EQ(s.lines, expected);
}

TEST(EchovaneMessages, ExactMatchesNameTheirNode) {
  Service s(history({{"first", {" Second "}}, {"third", {}}}), true);
  s.match("THIRD");
  s.match("second");
  std::vector<std::string> expected = {
      "[Echovane] Looking for a match for: 'third'",
      "[Echovane] Found exact match on node query:1",
      "[Echovane] Looking for a match for: 'second'",
      "[Echovane] Found exact match in variations of node query:0",
  };
  EXPECT_EQ(s.lines, expected);
}

TEST(EchovaneMessages, LoadingReportsEachNode) {
  Service s("", true);
  s.svc.load_document(json::parse(R"({"enriched_queries": [
      {"question": "Late?", "natural_language_variations": ["a", "b"]},
      {"sql": "x"},
      {"question": "It's", "natural_language_variations": []}]})"),
                      "data/h.json");
  std::vector<std::string> expected = {
      "[Echovane] Added node query:0: 'Late?'",
      "[Echovane]   with 2 variations",
      "[Echovane] Added node query:1: ''",
      "[Echovane] Added node query:2: 'It's'",
      "[Echovane]   with 0 variations",
      "[Echovane] Loaded 3 queries from data/h.json",
  };
  EXPECT_EQ(s.lines, expected);
}

// ---------------------------------------------------------------- loading --

TEST(EchovaneLoad, GraphHoldsOneNodePerEntryWithDefaults) {
  Service s(R"({"enriched_queries": [
      {"question": "Q0", "natural_language_variations": ["v"], "timestamp": "2024-01-01", "x": 1},
      {}]})");
  auto g = s.svc.graph();
  ASSERT_EQ(g->node_count(), 2u);
  EXPECT_EQ(g->edge_count(), 0u);
  EXPECT_EQ(g->id(0), "query:0");
  EXPECT_EQ(g->id(1), "query:1");
  const Record& a = g->attrs(0);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a.item(0).first, "text");
  EXPECT_EQ(a.item(1).first, "variations");
  EXPECT_EQ(a.item(2).first, "timestamp");
  EXPECT_EQ(a.at("text"), Value("Q0"));
  EXPECT_EQ(a.at("timestamp"), Value("2024-01-01"));
  // The entry's own list, not a copy.
  const Record& entry0 = s.svc.queries().as_list()[0].as_record();
  EXPECT_EQ(a.at("variations").list_ptr(), entry0.at("natural_language_variations").list_ptr());
  const Record& b = g->attrs(1);
  EXPECT_EQ(b.at("text"), Value(""));
  EXPECT_EQ(b.at("variations").as_list().size(), 0u);
  EXPECT_EQ(b.at("timestamp"), Value(""));
}

TEST(EchovaneLoad, QueryDetailsAreTheEntrysOwnValuesInOrder) {
  Service s(R"({"enriched_queries": [
      {"domain_concepts": ["float", {"k": 1}], "sql": "SELECT 1", "question": "Late Work",
       "complexity_description": "simple"},
      {"question": "bare"}]})");
  RecordPtr r = s.svc.get_query_details(0);
  ASSERT_TRUE(r);
  std::vector<std::string> keys;
  for (const auto& item : *r) keys.push_back(item.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"question", "sql", "complexity_description",
                                            "domain_concepts"}));
  EXPECT_EQ(r->at("question"), Value("Late Work"));
  const Record& entry = s.svc.queries().as_list()[0].as_record();
  EXPECT_EQ(r->at("domain_concepts").list_ptr(), entry.at("domain_concepts").list_ptr());
  RecordPtr bare = s.svc.get_query_details(1);
  EXPECT_EQ(bare->at("sql"), Value(""));
  EXPECT_EQ(bare->at("complexity_description"), Value(""));
  EXPECT_EQ(bare->at("domain_concepts").as_list().size(), 0u);
  EXPECT_EQ(s.svc.get_query_details(2), nullptr);
  EXPECT_EQ(s.svc.get_query_details(-1), nullptr);
  EXPECT_EQ(Service().svc.get_query_details(0), nullptr);
}

TEST(EchovaneLoad, MalformedHistoryKeepsTheEarlierOne) {
  Service s(history({{"late activities", {}}}));
  const Value before = s.svc.queries();
  const auto graph_before = s.svc.graph();
  auto expect_refused = [&](std::string_view doc, const std::string& message) {
    try {
      s.svc.load_document(json::parse(doc), "h.json");
      ADD_FAILURE() << "accepted " << doc;
    } catch (const TypeError& e) {
      EXPECT_EQ(e.what(), message);
    }
    EXPECT_EQ(s.svc.queries().list_ptr(), before.list_ptr());
    EXPECT_EQ(s.svc.graph(), graph_before);
    EXPECT_EQ(s.match("late activities"), "q0");
  };
  expect_refused("[]", "Queries file h.json must hold a JSON object at the top level, not list");
  expect_refused(R"({"enriched_queries": {"a": 1}})",
                 "enriched_queries in h.json must be a list, not dict");
  expect_refused(R"({"enriched_queries": [{"question": "x"}, "y"]})",
                 "Entry 1 of enriched_queries in h.json must be a dict, not str");
  expect_refused(R"({"enriched_queries": [{"question": null}]})",
                 "Entry 0 of enriched_queries in h.json: question must be a str, not NoneType");
  expect_refused(R"({"enriched_queries": [{"natural_language_variations": "abc"}]})",
                 "Entry 0 of enriched_queries in h.json: natural_language_variations must be a "
                 "list, not str");
  expect_refused(R"({"enriched_queries": [{"natural_language_variations": ["a", 2]}]})",
                 "Entry 0 of enriched_queries in h.json: natural_language_variations[1] must be "
                 "a str, not int");
}

TEST(EchovaneLoad, FilesAreReadAndReplacedWhole) {
  fs::path dir = fs::temp_directory_path() / ("echovane_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::string path = (dir / "history.json").string();
  {
    std::ofstream(path) << history({{"Late activities", {}}, {"Float by project", {}}});
  }
  Service s;
  s.svc.load_history(path);
  EXPECT_EQ(s.match("float by project"), "q1");
  {
    std::ofstream(path) << history({{"Float by project", {}}});
  }
  s.svc.load_history(path);
  EXPECT_EQ(s.svc.graph()->node_count(), 1u);
  EXPECT_EQ(s.match("float by project"), "q0");

  std::string missing = (dir / "missing.json").string();
  try {
    s.svc.load_history(missing);
    ADD_FAILURE() << "no error for a missing file";
  } catch (const FileNotFoundError& e) {
    EXPECT_EQ(e.what(), "Queries file not found: " + missing);
  }
  EXPECT_THROW(s.svc.load_history(path + std::string(1, '\0') + "x"), FileNotFoundError);
  {
    std::ofstream(path) << "{\"enriched_queries\": [";
  }
  EXPECT_THROW(s.svc.load_history(path), JsonDecodeError);
  EXPECT_EQ(s.svc.graph()->node_count(), 1u);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace corvalt::echovane

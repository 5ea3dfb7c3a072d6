// Query processing of the schema service on a small graph, with fake AI and
// Models objects standing in for the host's.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/host.hpp"
#include "corvalt/json.hpp"
#include "corvalt/text.hpp"

using namespace corvalt;
using atlanor::AtlanorService;
using atlanor::ChatInput;

namespace {

constexpr const char* kDocument = R"({
  "tables": {
    "activities": {
      "description": "Schedule activities of a project", "domain": "scheduling",
      "columns": {
        "activity_id": {"description": "Activity identifier", "data_type": "INTEGER"},
        "total_float": {"description": "Total float in days", "data_type": "REAL",
                        "business_rules": ["NegFloat: negative float means late"],
                        "concepts": ["Slack"], "statistics": {"min": -5, "max": 20}}
      }
    },
    "projects": {
      "description": "Projects of the portfolio", "domain": "portfolio",
      "columns": {
        "project_id": {"description": "Project identifier", "data_type": "INTEGER",
                       "business_rules": ["PidRule: project ids are unique"]}
      }
    },
    "risks": {
      "description": "Risk register", "domain": "risk",
      "columns": {
        "exposure": {"description": "Monetary exposure", "data_type": "REAL",
                     "concepts": ["Contingency"]}
      }
    }
  },
  "relationships": [
    {"from_table": "activities", "to_table": "projects",
     "join_condition": "activities.project_id = projects.project_id",
     "description": "Activity belongs to project"}
  ],
  "business_concepts": {
    "Slack": {"description": "Spare time"},
    "Contingency": {"description": "Reserve held against risk"}
  }
})";

class FakeAi : public AiService {
 public:
  std::function<std::string(const std::string&)> reply;
  std::vector<std::string> prompts;
  bool truth = true;

  bool truthy() const override { return truth; }
  bool has_attribute(std::string_view) const override { return false; }
  std::string run(const std::string& prompt) override {
    prompts.push_back(prompt);
    return reply(prompt);
  }
  void clear_history() override {}
  std::string get_response_sync(const std::string& prompt) override { return run(prompt); }
};

// SQLPrompt stand-in: keeps what it was given, optionally with a history
// context of its own.
class FakeModels : public Models {
 public:
  Value history_context;
  int created = 0;
  Understanding make_sql_prompt(const Value&, const Value& ai_context, const Value& domains,
                                const Value& keywords) override {
    ++created;
    return Understanding{keywords, domains, ai_context, history_context};
  }
};

class VectorHistory : public ChatHistory {
 public:
  std::vector<ChatMessage> messages;
  mutable std::vector<std::size_t> read;
  std::size_t size() const override { return messages.size(); }
  ChatMessage at(std::size_t i) const override {
    read.push_back(i);
    return messages.at(i);
  }
};

class Processing : public ::testing::Test {
 protected:
  Processing() : service(Console([this](std::string_view l) { lines.emplace_back(l); })) {
    service.verbose = true;
    service.models = models;
    service.build_graph(json::parse(kDocument));
    lines.clear();  // the graph report
  }

  void attach_ai(std::function<std::string(const std::string&)> reply) {
    ai->reply = std::move(reply);
    service.ai = ai;
  }
  static std::vector<std::string> ids(const Record& out, const char* list) {
    std::vector<std::string> result;
    const Value& v = list == std::string("business_rules") ? out.at(list)
                                                            : out.at("database_objects").as_record().at(list);
    for (const Value& entry : v.as_list()) result.push_back(entry.as_record().at("id").as_text());
    return result;
  }
  const Record& ai_enhanced(const RecordPtr& out) { return out->at("ai_enhanced").as_record(); }

  std::vector<std::string> lines;
  std::shared_ptr<FakeModels> models = std::make_shared<FakeModels>();
  std::shared_ptr<FakeAi> ai = std::make_shared<FakeAi>();
  AtlanorService service;
};

// The prompt's fixed pieces, from tests/golden/understanding_prompts.json
// (shared with the Python tests).
const corvalt::Record& prompt_pieces() {
  static const Value doc =
      corvalt::json::parse_file(std::string(CORVALT_GOLDEN_DIR) + "/understanding_prompts.json");
  return doc.as_record();
}

std::string head_text(const std::string& q) {
  return corvalt::text::replace_all(prompt_pieces().at("head").as_text(), "{question}", q);
}

std::string expected_plain_prompt(const std::string& q) {
  return head_text(q) + "\n" + prompt_pieces().at("plain_instructions").as_text();
}

std::string chat_instructions() { return prompt_pieces().at("chat_instructions").as_text(); }

}  // namespace

// ---- rule-based understanding -------------------------------------------------

TEST_F(Processing, WithoutAiTheKeywordsAreTheLongWordsAndTheOnlyMessageSaysSo) {
  RecordPtr out = service.process_query("Which activities have FLOAT?", "json", ChatInput{});
  // A table was found, so SQL generation (with its own message) follows.
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Using basic keyword extraction: ['which', 'activities', 'have', 'float?']");
  EXPECT_EQ(lines[1], "Extracted keywords: ['which', 'activities', 'have', 'float?']");
  const Record& ai = ai_enhanced(out);
  ASSERT_EQ(ai.size(), 3u);
  EXPECT_EQ(ai.item(0).first, "keywords");
  EXPECT_EQ(ai.item(1).first, "business_domains");
  EXPECT_EQ(ai.item(2).first, "enhanced_query");
  EXPECT_EQ(to_repr(ai.at("keywords")), "['which', 'activities', 'have', 'float?']");
  EXPECT_EQ(to_repr(ai.at("business_domains")), "[]");
  EXPECT_EQ(ai.at("enhanced_query"), Value("Which activities have FLOAT?"));
  EXPECT_EQ(models->created, 1);
  EXPECT_FALSE(out->contains("chat_history_context"));
}

TEST_F(Processing, AFalseAiObjectIsNotCalled) {
  attach_ai([](const std::string&) -> std::string { throw HostError("called"); });
  ai->truth = false;
  service.process_query_with_ai("negative float", "json");
  EXPECT_TRUE(ai->prompts.empty());
  EXPECT_EQ(lines, std::vector<std::string>{"Using basic keyword extraction: ['negative', 'float']"});
}

TEST_F(Processing, ShortWordsOnlyGiveAnEmptySearchAndStillARecord) {
  RecordPtr out = service.process_query("how are you", "json", ChatInput{});
  // No table: no SQL generation, so no message of it.
  EXPECT_EQ(lines, std::vector<std::string>{"Using basic keyword extraction: []"});
  EXPECT_TRUE(ids(*out, "tables").empty());
  EXPECT_TRUE(ids(*out, "columns").empty());
  EXPECT_TRUE(ids(*out, "business_rules").empty());
  EXPECT_EQ(to_repr(ai_enhanced(out).at("keywords")), "[]");
}

TEST_F(Processing, MissingGraphFailsBeforeTheAiIsAsked) {
  AtlanorService empty(Console([](std::string_view) {}));
  ai->reply = [](const std::string&) { return std::string("{}"); };
  empty.ai = ai;
  try {
    empty.process_query("anything at all", "json", ChatInput{});
    FAIL() << "no error";
  } catch (const ValueError& e) {
    EXPECT_STREQ(e.what(), atlanor::kGraphNotBuilt);
  }
  EXPECT_TRUE(ai->prompts.empty());
}

// ---- context assembly -----------------------------------------------------------

TEST_F(Processing, ARuleReachedFromATableAndItsColumnIsListedOnce) {
  RecordPtr out = service.process_query("activities float", "json", ChatInput{});
  EXPECT_EQ(ids(*out, "tables"), std::vector<std::string>{"table:activities"});
  ASSERT_FALSE(ids(*out, "columns").empty());
  EXPECT_EQ(ids(*out, "columns")[0], "column:activities.total_float");
  EXPECT_EQ(ids(*out, "business_rules"), std::vector<std::string>{"rule:NegFloat"});
}

TEST_F(Processing, TablesFoundOnlyThroughAConceptComeFromItsColumns) {
  // "reserve" only matches the Contingency concept's description.
  RecordPtr out = service.process_query("reserve", "json", ChatInput{});
  EXPECT_EQ(ids(*out, "concepts"), std::vector<std::string>{"concept:Contingency"});
  EXPECT_EQ(ids(*out, "tables"), std::vector<std::string>{"table:risks"});
  // Such tables count: SQL generation is attempted.
  EXPECT_EQ(lines.back(), "Extracted keywords: ['reserve']");
}

TEST_F(Processing, BusinessDomainsWidenTheTablesWithOneKeywordSearches) {
  attach_ai([](const std::string&) {
    return std::string(
        R"({"keywords": ["Float"], "business_domains": ["portfolio"], "enhanced_query": "q"})");
  });
  RecordPtr out = service.process_query_with_ai("anything", "json");
  EXPECT_EQ(ids(*out, "tables"), std::vector<std::string>{"table:projects"});
  EXPECT_EQ(ids(*out, "columns")[0], "column:activities.total_float");
  // The AI's keywords are kept as given, not lower-cased.
  EXPECT_EQ(to_repr(ai_enhanced(out).at("keywords")), "['Float']");
  EXPECT_EQ(to_repr(ai_enhanced(out).at("business_domains")), "['portfolio']");
}

TEST(ProcessingTrim, OnlyTwoTablesAreNamedButJoinsAreLookedForAmongAllFound) {
  std::string doc = R"({"tables": {)";
  for (int i = 1; i <= 5; ++i) {
    if (i > 1) doc += ",";
    doc += "\"w" + std::to_string(i) +
           R"(": {"description": "widget store", "domain": "d", "columns": {}})";
  }
  doc += R"(}, "relationships": [{"from_table": "w1", "to_table": "w5", "join_condition": "w1.a = w5.a", "description": "d"}]})";
  AtlanorService service(Console([](std::string_view) {}));
  service.build_graph(json::parse(doc));
  RecordPtr out = service.process_query("widget", "json", ChatInput{});
  const List& tables = out->at("database_objects").as_record().at("tables").as_list();
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0].as_record().at("id"), Value("table:w1"));
  EXPECT_EQ(tables[1].as_record().at("id"), Value("table:w2"));
  const List& rels = out->at("relationships").as_list();
  ASSERT_EQ(rels.size(), 1u);
  EXPECT_EQ(rels[0].as_record().at("target"), Value("w5"));
}

TEST_F(Processing, MarkdownOnlyForTheExactFormatName) {
  RecordPtr md = service.process_query("activities float", "markdown", ChatInput{});
  ASSERT_TRUE(md->contains("markdown"));
  EXPECT_EQ(md->item(md->size() - 1).first, "markdown");
  // Rendered after ai_enhanced was set: the question shows as the enhanced query.
  const std::string& text = md->at("markdown").as_text();
  EXPECT_NE(text.find("## AI Enhanced Query\n\nactivities float\n\n"), std::string::npos);
  RecordPtr copy = make_record();
  for (const auto& [k, v] : *md)
    if (k != "markdown") copy->set(k, v);
  EXPECT_EQ(text, service.format_as_markdown(*copy));

  EXPECT_FALSE(service.process_query("activities float", "Markdown", ChatInput{})->contains("markdown"));
  EXPECT_FALSE(service.process_query("activities float", "json", ChatInput{})->contains("markdown"));
}

// ---- AI understanding -------------------------------------------------------------

TEST_F(Processing, PlainPromptIsSentByteForByte) {
  attach_ai([](const std::string&) { return std::string("{}"); });
  service.process_query_with_ai("Show \"late\" work", "json");
  ASSERT_EQ(ai->prompts.size(), 1u);
  EXPECT_EQ(ai->prompts[0], expected_plain_prompt("Show \"late\" work"));
}

TEST_F(Processing, ChatPromptSendsTheLastFiveMessagesAndThePreviousSql) {
  attach_ai([](const std::string&) { return std::string("{}"); });
  VectorHistory history;
  for (int i = 0; i < 6; ++i) history.messages.push_back({i % 2 == 0, "m" + std::to_string(i)});
  ChatInput chat{&history, std::string("SELECT 1")};
  service.process_query("and now?", "json", chat);
  ASSERT_EQ(ai->prompts.size(), 1u);
  std::string expected = head_text("and now?");
  expected += "\n\nConsider this conversation history:\n";
  expected += "Assistant: m1\nUser: m2\nAssistant: m3\nUser: m4\nAssistant: m5\n";
  expected += "\n\nThe previous SQL query was:\nSELECT 1\n";
  expected += "\n" + chat_instructions();
  EXPECT_EQ(ai->prompts[0], expected);
  // The oldest message is never read.
  for (std::size_t i : history.read) EXPECT_NE(i, 0u);
}

TEST_F(Processing, DispatchFollowsHistoryAndPreviousSql) {
  attach_ai([](const std::string&) { return std::string("{}"); });
  VectorHistory empty;
  service.process_query("q one", "json", ChatInput{&empty, std::string()});
  service.process_query("q one", "json", ChatInput{nullptr, std::string("SELECT 2")});
  ASSERT_EQ(ai->prompts.size(), 2u);
  EXPECT_EQ(ai->prompts[0], expected_plain_prompt("q one"));
  // Previous SQL alone: no history block, still the fourth instruction.
  EXPECT_EQ(ai->prompts[1], head_text("q one") +
                                "\n\nThe previous SQL query was:\nSELECT 2\n\n" +
                                chat_instructions());
  // The chat method itself without history or SQL.
  service.process_query_with_chat_history("q one", ChatInput{}, "json");
  EXPECT_EQ(ai->prompts[2], head_text("q one") + "\n" + chat_instructions());
}

TEST_F(Processing, FencedAnswersParseAndTheValuesArePrinted) {
  attach_ai([](const std::string&) {
    return std::string(
        "  ```json\n{\"keywords\": [\"float\"], \"business_domains\": [], \"enhanced_query\": "
        "\"Activities with float\", \"history_context\": \"x\"}\n```  ");
  });
  RecordPtr out = service.process_query_with_ai("q", "json");
  EXPECT_EQ(lines, (std::vector<std::string>{"AI enhanced query: Activities with float",
                                             "AI extracted keywords: ['float']",
                                             "AI identified domains: []"}));
  EXPECT_EQ(ai_enhanced(out).at("enhanced_query"), Value("Activities with float"));
  EXPECT_EQ(ids(*out, "columns")[0], "column:activities.total_float");
}

TEST_F(Processing, ParseErrorsPrintThreeLinesAndFallBack) {
  attach_ai([](const std::string&) { return std::string(" Here it is: {\"keywords\": []}\n"); });
  RecordPtr out = service.process_query_with_ai("late activities", "json");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Error parsing AI response: Expecting value: line 1 column 1 (char 0)");
  EXPECT_EQ(lines[1], "Raw response:  Here it is: {\"keywords\": []}\n");
  EXPECT_EQ(lines[2], "Cleaned response: Here it is: {\"keywords\": []}");
  EXPECT_EQ(lines[3], "Using basic keyword extraction: ['late', 'activities']");
  EXPECT_EQ(to_repr(ai_enhanced(out).at("keywords")), "['late', 'activities']");

  lines.clear();
  attach_ai([](const std::string&) { return std::string("```"); });
  service.process_query_with_ai("late activities", "json");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "Raw response: ```");
  EXPECT_EQ(lines[2], "Cleaned response: ");
}

TEST_F(Processing, OtherFailuresPrintOneLineAndFallBack) {
  struct Case {
    std::function<std::string(const std::string&)> reply;
    std::string message;
  };
  std::vector<Case> cases = {
      {[](const std::string&) -> std::string { throw HostError("service down"); }, "service down"},
      {[](const std::string&) { return std::string("[1, 2]"); },
       "'list' object has no attribute 'get'"},
      {[](const std::string&) { return std::string("null"); },
       "'NoneType' object has no attribute 'get'"},
  };
  for (const Case& c : cases) {
    lines.clear();
    attach_ai(c.reply);
    RecordPtr out = service.process_query_with_ai("late activities", "json");
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Error enhancing query with AI: " + c.message,
                         "Using basic keyword extraction: ['late', 'activities']",
                         "Extracted keywords: ['late', 'activities']"}));
    EXPECT_EQ(ai_enhanced(out).at("enhanced_query"), Value("late activities"));
  }
}

TEST_F(Processing, FailuresAreSilentWithoutVerbose) {
  service.verbose = false;
  attach_ai([](const std::string&) { return std::string("not json"); });
  service.process_query_with_ai("late activities", "json");
  EXPECT_TRUE(lines.empty());
}

TEST_F(Processing, AbsentAndNullAnswerValues) {
  attach_ai([](const std::string&) { return std::string(R"({"enhanced_query": null})"); });
  RecordPtr out = service.process_query_with_ai("activities float", "json");
  // No keywords in the answer: an empty search, not the rule-based words.
  EXPECT_EQ(to_repr(ai_enhanced(out).at("keywords")), "[]");
  EXPECT_TRUE(ai_enhanced(out).at("enhanced_query").is_null());
  EXPECT_TRUE(ids(*out, "tables").empty());
  EXPECT_EQ(lines[0], "AI enhanced query: None");

  attach_ai([](const std::string&) { return std::string("{}"); });
  out = service.process_query_with_ai("activities float", "json");
  EXPECT_EQ(ai_enhanced(out).at("enhanced_query"), Value("activities float"));
}

TEST_F(Processing, SqlIsGeneratedFromTheRewrittenQuestionUnlessItIsEmpty) {
  attach_ai([](const std::string&) {
    return std::string(R"({"keywords": ["activities"], "enhanced_query": "Rewritten words here"})");
  });
  service.process_query_with_ai("late activities", "json");
  EXPECT_EQ(lines.back(), "Extracted keywords: ['rewritten', 'words', 'here']");
  for (const char* empty : {"null", "\"\""}) {
    attach_ai([empty](const std::string&) {
      return std::string(R"({"keywords": ["activities"], "enhanced_query": )") + empty + "}";
    });
    service.process_query_with_ai("late activities", "json");
    EXPECT_EQ(lines.back(), "Extracted keywords: ['late', 'activities']");
  }
}

TEST_F(Processing, KeywordsThatAreNotAListReachTheCaller) {
  attach_ai([](const std::string&) { return std::string(R"({"keywords": "float"})"); });
  EXPECT_THROW(service.process_query_with_ai("q", "json"), TypeError);
  attach_ai([](const std::string&) { return std::string(R"({"keywords": ["float", 3]})"); });
  EXPECT_THROW(service.process_query_with_ai("q", "json"), TypeError);
}

TEST_F(Processing, HistoryContextComesOnlyFromTheUnderstandingRecordInTheChatMethod) {
  attach_ai([](const std::string&) {
    return std::string(R"({"keywords": ["float"], "history_context": "earlier talk"})");
  });
  VectorHistory history;
  history.messages.push_back({true, "hello"});
  RecordPtr out = service.process_query("q", "json", ChatInput{&history, std::nullopt});
  // The answer's value is printed, not stored.
  EXPECT_EQ(lines.back(), "AI history context: earlier talk");
  EXPECT_FALSE(out->contains("chat_history_context"));

  models->history_context = Value("from the prompt type");
  out = service.process_query("q", "markdown", ChatInput{&history, std::nullopt});
  EXPECT_EQ(out->at("chat_history_context"), Value("from the prompt type"));
  EXPECT_EQ(out->item(out->size() - 2).first, "chat_history_context");
  EXPECT_FALSE(service.process_query_with_ai("q", "json")->contains("chat_history_context"));
}

TEST_F(Processing, AFailingChatMessageFailsOnlyTheAiStep) {
  class BrokenHistory : public ChatHistory {
   public:
    std::size_t size() const override { return 1; }
    ChatMessage at(std::size_t) const override {
      throw HostError("'dict' object has no attribute 'is_user'");
    }
  } history;
  attach_ai([](const std::string&) { return std::string("{}"); });
  RecordPtr out = service.process_query("late activities", "json", ChatInput{&history, std::nullopt});
  EXPECT_TRUE(ai->prompts.empty());
  EXPECT_EQ(lines[0], "Error enhancing query with AI: 'dict' object has no attribute 'is_user'");
  EXPECT_EQ(to_repr(ai_enhanced(out).at("keywords")), "['late', 'activities']");
}

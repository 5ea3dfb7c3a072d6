// The road of one question through the three services: an earlier
// question, the context record, the AI's statement and its correction, a
// template refilled from an earlier question or an example, and the choice
// among them. Right or silent: without an AI service a question is answered
// only by the same earlier question or by a template that fits; otherwise
// the answer says there is none and suggests what it can.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/echovane.hpp"
#include "corvalt/host.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/quillon.hpp"
#include "corvalt/value.hpp"

namespace corvalt::road {

// Where an answer's statement came from.
enum class Source : std::uint8_t {
  kNone,         // no statement
  kHistory,      // the same question asked before (its text or a recorded variation)
  kTemplate,     // an earlier question's or an example's statement, refilled with this question's values
  kAi,           // the AI service's statement
  kCorrectedAi,  // the AI service's statement after a correction try
  kFixLog,       // a repaired statement logged for this question before
};
std::string_view source_name(Source source) noexcept;

// One statement the road considered.
struct Candidate {
  Source source = Source::kNone;
  std::string sql;
  std::string origin;  // the earlier question or example it came from, if any
  bool success = false;
  std::size_t row_count = 0;
  std::string error;
  bool chosen = false;
};

// What the road reports while it works, for a progress line.
struct Event {
  enum class Kind : std::uint8_t {
    kHistory,     // looked for an earlier question
    kContext,     // read the question against the schema
    kAiRequest,   // an AI request is about to be sent (text: what it is for)
    kRunning,     // a statement is about to run
    kChosen,      // the answer was chosen (text: why)
  };
  Kind kind;
  std::string text;
};
using Events = std::function<void(const Event&)>;

struct Question {
  std::string text;
  std::optional<std::string> previous_sql;  // the statement of the turn before
  const ChatHistory* chat = nullptr;        // the conversation so far, if any
};

struct Answer {
  std::string question;
  bool answered = false;  // a statement ran and is given as the answer
  Source source = Source::kNone;
  std::string sql;
  std::string explanation;
  quillon::ResultTable table;  // the answer's rows and columns
  std::string summary;
  // Why this statement was chosen, or why there is no answer.
  std::string reason;
  std::vector<Candidate> candidates;
  linking::Strength linking = linking::Strength::kNone;
  // For a question left without an answer: the tables it touches, the
  // closest earlier questions and the context's best-guess statement (a
  // suggestion, never run as an answer).
  std::vector<std::string> suggested_tables;
  std::vector<std::string> suggested_questions;
  std::optional<std::string> suggested_sql;
  int ai_requests = 0;
  std::string error;   // what failed, when something did (an AI service that did not answer)
  RecordPtr context;   // the context record the answer was written from
};

inline constexpr const char* kNoAnswerWithoutAi = "no answer without an AI service";

// The road over three services the caller owns (the history may be null).
// One road serves one caller at a time, as the services do.
class Road {
 public:
  Road(atlanor::AtlanorService& schema, quillon::Quillon& sql, echovane::EchovaneService* history);
  ~Road();
  Road(const Road&) = delete;
  Road& operator=(const Road&) = delete;

  Answer ask(const Question& question, const Events& events = {});

  struct Templates;  // the statements a question may be refilled from (road.cpp)

 private:
  atlanor::AtlanorService& schema_;
  quillon::Quillon& sql_;
  echovane::EchovaneService* history_;
  std::unique_ptr<Templates> templates_;
};

// The three services over one database, metadata document and history,
// with the road through them: what a host needs to answer questions.
class Assistant {
 public:
  struct Setup {
    std::string database;  // an SQLite file, which must exist, or a PostgreSQL server address
    std::string metadata;  // the metadata document describing it
    std::optional<std::string> history;
    linking::Mode linking = linking::Mode::kLexical;
    quillon::StatementLimits limits{quillon::kDefaultTimeoutSeconds, quillon::kDefaultMaxRows, {}};
    // Statements are proved read-only by the engine: an AI writes WITH ...
    // SELECT often, and the word guard refuses it.
    quillon::Quillon::ReadOnly read_only = quillon::Quillon::ReadOnly::kEngine;
    bool verbose = false;
  };

  // Loads everything; throws FileNotFoundError for a missing database,
  // document or history, and what loading them throws.
  Assistant(const Setup& setup, Console console, quillon::Unlocker unlocked, std::shared_ptr<AiService> ai,
            std::shared_ptr<Models> models);

  Answer ask(const Question& question, const Events& events = {}) { return road_->ask(question, events); }
  // Why the connection can change data (a server role that can write), or
  // empty: for the host to show once.
  std::string write_warning() const {
    return sql.conn() ? sql.conn()->write_warning() : std::string();
  }

  atlanor::AtlanorService schema;
  quillon::Quillon sql;
  echovane::EchovaneService history;

 private:
  std::unique_ptr<Road> road_;
};

// The answer as a record for a host, keys in this order: question,
// answered, source, sql, explanation, columns, rows (lists of values),
// row_count, summary, reason, candidates (source, sql, origin, success,
// row_count, error, chosen), linking, suggestions (tables, questions, sql),
// ai_requests, error (null when nothing failed).
RecordPtr answer_record(const Answer& answer);

// A summary of a result without any further statement: the row and column
// counts with the first rows, and for each numeric column its minimum,
// maximum and mean over the rows read.
std::string summarise(const quillon::ResultTable& table);

}  // namespace corvalt::road

// What the answering methods find, as typed values: a correction's tries,
// a comparison of two statements, the explorations around an answer and the
// best result. The methods decide on these; the records a caller receives
// are made from them in outcomes.cpp, and only there.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/quillon.hpp"
#include "corvalt/value.hpp"

namespace corvalt::quillon::outcome {

// ---- correction ---------------------------------------------------------------

// One AI try at repairing a failed statement.
struct FixTry {
  int number = 0;  // 1, 2, 3
  // The AI answered: its reply, the statement and explanation read from it,
  // and the attempt record test_query ran it in (attempt_record's keys, then
  // the run's).
  std::string sql, reply, explanation;
  RecordPtr ran;
  bool success = false;
  // The try failed before a statement ran: the error's text.
  std::optional<std::string> service_error;
};

struct Repair {
  bool available = false;  // an AI service and a connection were there
  std::string original_error;
  std::vector<FixTry> tries;
  std::optional<std::size_t> best;  // the try whose statement ran
};

// The attempt record of an answered try before it runs: question, sql,
// raw_ai_response, explanation, source ("ai_retry_attempt_<n>"), retry_attempt.
RecordPtr attempt_record(const Value& question, const FixTry& t);
// A try as the correction prompt and the retry record list it.
Value try_record(const FixTry& t);
// The tries so far, as the correction prompt lists them.
List tries_list(const std::vector<FixTry>& tries);
// The retry record: success, message, attempts, best_attempt.
RecordPtr repair_record(const Repair& r);

// Up to kMaxFixAttempts AI tries at repairing `failed_query`; a repair that
// runs is appended to the fix log.
Repair repair(Quillon& q, const Record& failed_query, std::string_view question, const Record& db_context);

// ---- comparison -----------------------------------------------------------------

enum class Pick : std::uint8_t { kNone, kHistorical, kAi };

struct Comparison {
  Value historical_success, ai_success;  // as the two records give them
  // Both ran: their relevance scores.
  std::optional<Value> historical_score, ai_score;
  Pick recommended = Pick::kNone;
  const char* reason = "";
};

Comparison compare(const Record& historical, const Record& ai, std::string_view question);
// The comparison record: question, historical_query, ai_query,
// historical_success, ai_success, [historical_relevance_score,
// ai_relevance_score], recommended_query, recommendation_reason.
RecordPtr comparison_record(const RecordPtr& historical, const RecordPtr& ai, std::string_view question,
                            const Comparison& c);

// ---- explorations ---------------------------------------------------------------

// One exploration: a statement the service built and ran on the connection,
// or (with `ran` set) the statistics statement, which ran as a query record.
struct Exploration {
  std::string name, description, sql;
  ListPtr rows;
  RecordPtr ran;
};

// The explorations list: name, description, sql, success, results for each
// built statement, and the statistics' query record as it is.
ListPtr explorations_list(const std::vector<Exploration>& explorations);

// ---- best result ----------------------------------------------------------------

struct BestResult {
  std::string timestamp;
  bool has_historical_match = false;
  RecordPtr ai_query;
  RecordPtr retry;  // the retry record, when the AI's statement failed and ran
  // A historical query was given (and not empty): it ran and was compared.
  RecordPtr historical, comparison;
  RecordPtr best;
  std::optional<std::vector<Exploration>> explorations;  // when the best one ran
};

// The best-result record: question, timestamp, has_historical_match,
// ai_query, [ai_query_retry_info], [historical_query, comparison],
// best_query, [additional_explorations].
RecordPtr best_result_record(std::string_view question, const BestResult& b);

}  // namespace corvalt::quillon::outcome

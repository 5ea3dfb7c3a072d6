// The records the answering methods hand to a caller, made from their typed
// outcomes (outcomes.hpp). Every key and its place is written here.
#include "outcomes.hpp"

#include <string>

namespace corvalt::quillon::outcome {

RecordPtr attempt_record(const Value& question, const FixTry& t) {
  const std::string number = std::to_string(t.number);
  auto attempt = make_record();
  attempt->append_new("question", question);
  attempt->append_new("sql", Value(t.sql));
  attempt->append_new("raw_ai_response", Value(t.reply));
  attempt->append_new("explanation", Value(t.explanation));
  attempt->append_new("source", Value("ai_retry_attempt_" + number));
  attempt->append_new("retry_attempt", Value(t.number));
  return attempt;
}

Value try_record(const FixTry& t) {
  if (!t.service_error) return Value(t.ran);
  auto failed = make_record();
  failed->append_new("success", Value(false));
  failed->append_new("execution_error", Value("Error during AI retry: " + *t.service_error));
  failed->append_new("retry_attempt", Value(t.number));
  return Value(failed);
}

List tries_list(const std::vector<FixTry>& tries) {
  List out;
  out.reserve(tries.size());
  for (const FixTry& t : tries) out.push_back(try_record(t));
  return out;
}

RecordPtr repair_record(const Repair& r) {
  auto retry = make_record();
  const bool fixed = r.best.has_value();
  retry->append_new("success", Value(fixed));
  if (!r.available) {
    retry->append_new("message", Value("AI service or database connection not available"));
  } else if (fixed) {
    retry->append_new("message", Value("SQL fixed on attempt #" + std::to_string(r.tries[*r.best].number)));
  } else {
    retry->append_new("message", Value("Failed to fix SQL after " + std::to_string(kMaxFixAttempts) +
                                       " attempts. Original error: " + r.original_error));
  }
  auto attempts = make_list();
  *attempts = tries_list(r.tries);
  retry->append_new("attempts", Value(attempts));
  retry->append_new("best_attempt", fixed ? Value(r.tries[*r.best].ran) : Value());
  return retry;
}

namespace {

Value pick_value(Pick p) {
  switch (p) {
    case Pick::kHistorical: return Value("historical");
    case Pick::kAi: return Value("ai");
    case Pick::kNone: break;
  }
  return Value();
}

}  // namespace

RecordPtr comparison_record(const RecordPtr& historical, const RecordPtr& ai, std::string_view question,
                            const Comparison& c) {
  auto r = make_record();
  r->append_new("question", Value(question));
  r->append_new("historical_query", Value(historical));
  r->append_new("ai_query", Value(ai));
  r->append_new("historical_success", c.historical_success);
  r->append_new("ai_success", c.ai_success);
  if (c.historical_score && c.ai_score) {
    r->append_new("historical_relevance_score", *c.historical_score);
    r->append_new("ai_relevance_score", *c.ai_score);
  }
  r->append_new("recommended_query", pick_value(c.recommended));
  r->append_new("recommendation_reason", Value(c.reason));
  return r;
}

ListPtr explorations_list(const std::vector<Exploration>& explorations) {
  auto out = make_list();
  for (const Exploration& e : explorations) {
    if (e.ran) {
      out->emplace_back(e.ran);
      continue;
    }
    auto r = make_record();
    r->append_new("name", Value(e.name));
    r->append_new("description", Value(e.description));
    r->append_new("sql", Value(e.sql));
    r->append_new("success", Value(true));
    r->append_new("results", Value(e.rows));
    out->emplace_back(r);
  }
  return out;
}

RecordPtr best_result_record(std::string_view question, const BestResult& b) {
  auto result = make_record();
  result->append_new("question", Value(question));
  result->append_new("timestamp", Value(b.timestamp));
  result->append_new("has_historical_match", Value(b.has_historical_match));
  result->append_new("ai_query", Value(b.ai_query));
  if (b.retry) result->append_new("ai_query_retry_info", Value(b.retry));
  if (b.historical) {
    result->append_new("historical_query", Value(b.historical));
    result->append_new("comparison", Value(b.comparison));
  }
  result->append_new("best_query", Value(b.best));
  if (b.explorations) result->append_new("additional_explorations", Value(explorations_list(*b.explorations)));
  return result;
}

}  // namespace corvalt::quillon::outcome

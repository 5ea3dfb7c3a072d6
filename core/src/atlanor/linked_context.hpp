// Query processing with lexical linking: the tables, columns, concepts,
// rules and SQL of a context record chosen by the linking index, and the
// record that says how well the question matched.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/host.hpp"

namespace corvalt::atlanor::detail {

struct LinkedContext {
  // Node ids for generate_output.
  std::vector<std::string> tables, columns, concepts, rules;
  std::optional<std::string> sql;  // the best-guess SQL, when a table was found
  RecordPtr linking;               // the record under the context record's "linking"
  RecordPtr sql_hints;             // the record under "sql_hints" (what else the AI should know)
};

// Links `question` (with the AI's keywords when `from_ai`, and the previous
// statement of `chat`) and turns the result into what the context record
// is built from.
LinkedContext link_context(const AtlanorService& service, const KnowledgeGraphPtr& kg,
                           const std::string& question, const Understanding& understanding,
                           bool from_ai, const ChatInput* chat);

}  // namespace corvalt::atlanor::detail

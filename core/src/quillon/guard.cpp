// The read-only guard: whole-word patterns over the normalised statement,
// then the "select " prefix test.
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/quillon.hpp"
#include "corvalt/regex.hpp"
#include "corvalt/text.hpp"
#include "utf8.hpp"

namespace corvalt::quillon {

namespace {

struct CompiledRule {
  const GuardRule* rule;
  std::string_view literal;
  Regex regex;
};

const std::vector<CompiledRule>& compiled_rules() {
  static const std::vector<CompiledRule> rules = [] {
    std::vector<CompiledRule> out;
    for (const GuardRule& rule : guard_rules()) {
      std::string pattern = "\\b" + Regex::escape(rule.pattern) + "\\b";
      out.push_back({&rule, rule.pattern, Regex(pattern)});
    }
    return out;
  }();
  return rules;
}

}  // namespace

const std::vector<GuardRule>& guard_rules() {
  static const std::vector<GuardRule> rules = {
      {"delete", "DELETE operations are not allowed"},
      {"drop", "DROP operations are not allowed"},
      {"update", "UPDATE operations are not allowed"},
      {"insert", "INSERT operations are not allowed"},
      {"alter", "ALTER operations are not allowed"},
      {"truncate", "TRUNCATE operations are not allowed"},
      {"create ", "CREATE operations are not allowed"},
      {"pragma", "PRAGMA operations are not allowed"},
      {"; vacuum", "VACUUM operations are not allowed"},
      {"attach ", "ATTACH DATABASE operations are not allowed"},
      {"detach ", "DETACH DATABASE operations are not allowed"},
  };
  return rules;
}

std::string normalise_sql(std::string_view sql) {
  // Text from the host may hold lone surrogates (not valid UTF-8). They are
  // neither letters nor white space, and neither is U+FFFD, so matching the
  // repaired text decides as the host would.
  std::string lowered = text::is_valid_utf8(sql) ? text::lower(sql)
                                                  : text::lower(replace_invalid_utf8(sql));
  return text::join(text::split_whitespace(lowered), " ");
}

GuardVerdict check_sql(std::string_view sql) {
  const std::string normalised = normalise_sql(sql);
  for (const CompiledRule& compiled : compiled_rules()) {
    // The expression can only match where its literal occurs; most
    // statements hold none of them, so the cheap search decides.
    if (normalised.find(compiled.literal) == std::string::npos) continue;
    if (!compiled.regex.search(normalised)) continue;
    GuardVerdict verdict;
    verdict.rule = compiled.rule;
    verdict.refusal = std::string("Security restriction: ") + compiled.rule->message +
                      ". SQL Query Builder only supports SELECT operations.";
    return verdict;
  }
  GuardVerdict verdict;
  if (!text::starts_with(normalised, "select ")) verdict.refusal = kOnlySelect;
  return verdict;
}

}  // namespace corvalt::quillon

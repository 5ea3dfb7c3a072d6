// The first check of a statement bound for PostgreSQL: PostgreSQL's own
// parser reads it, and the parse tree may hold one plain SELECT built only of
// the node kinds a report needs, calling only functions a report needs and
// reading no system catalog. Anything else, including any construct this
// list does not know, is refused by name.
#include <pg_query.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "corvalt/json.hpp"
#include "corvalt/quillon.hpp"
#include "postgres.hpp"

namespace corvalt::quillon {

namespace {

// Node kinds a read-only report is made of. A kind not listed here (a
// statement of another sort, INTO, FOR UPDATE, XML tables, parameters, ...)
// refuses the statement.
constexpr std::array kAllowedNodes = std::to_array<std::string_view>({
    "A_ArrayExpr", "A_Const", "A_Expr", "A_Indices", "A_Indirection", "A_Star", "Alias",
    "BitString", "BoolExpr", "Boolean", "BooleanTest", "CaseExpr", "CaseWhen", "CoalesceExpr",
    "CollateClause", "ColumnRef", "CommonTableExpr", "Float", "FuncCall", "GroupingSet",
    "Integer", "JoinExpr", "List", "MinMaxExpr", "NullTest", "RangeFunction", "RangeSubselect",
    "RangeVar", "ResTarget", "RowExpr", "SQLValueFunction", "SelectStmt", "SortBy", "String",
    "SubLink", "TypeCast", "TypeName", "WindowDef", "WithClause",
});

// What a refused kind does, where a planner can be told in a word.
std::string refused_node(std::string_view kind) {
  if (kind == "IntoClause") return "Security restriction: SELECT ... INTO is not allowed.";
  if (kind == "LockingClause") return "Security restriction: FOR UPDATE/SHARE is not allowed.";
  if (kind == "InsertStmt" || kind == "UpdateStmt" || kind == "DeleteStmt" || kind == "MergeStmt")
    return "Security restriction: a statement that changes data is not allowed.";
  if (kind == "ParamRef") return "Security restriction: parameter placeholders are not allowed.";
  return "Security restriction: " + std::string(kind) + " is not allowed in a query.";
}

// Built-in functions a report calls, by their bare lower-case name: aggregates,
// date and time, text, arithmetic, conditionals, window functions, casts
// written as calls, and a few set-returning helpers. Nothing that reads files,
// sleeps, takes locks, writes (sequences, large objects), changes settings or
// reaches another server, and nothing that builds a value of arbitrary size
// from a number (repeat, lpad, format widths).
constexpr std::array kAllowedFunctions = std::to_array<std::string_view>({
    // aggregates
    "array_agg", "avg", "bit_and", "bit_or", "bool_and", "bool_or", "corr", "count", "covar_pop",
    "covar_samp", "every", "json_agg", "jsonb_agg", "max", "min", "mode", "percentile_cont",
    "percentile_disc", "regr_avgx", "regr_avgy", "regr_count", "regr_intercept", "regr_r2",
    "regr_slope", "stddev", "stddev_pop", "stddev_samp", "string_agg", "sum", "var_pop",
    "var_samp", "variance",
    // window functions
    "cume_dist", "dense_rank", "first_value", "lag", "last_value", "lead", "nth_value", "ntile",
    "percent_rank", "rank", "row_number",
    // date and time
    "age", "clock_timestamp", "current_date", "date_bin", "date_part", "date_trunc", "extract",
    "isfinite", "justify_days", "justify_hours", "justify_interval", "localtime",
    "localtimestamp", "make_date", "make_interval", "make_time", "make_timestamp", "now",
    "overlaps", "statement_timestamp", "timezone", "to_char", "to_date", "to_number",
    "to_timestamp", "transaction_timestamp",
    // text
    "btrim", "char_length", "character_length", "concat", "concat_ws", "initcap", "left",
    "length", "lower", "ltrim", "octet_length", "overlay", "position", "regexp_match",
    "regexp_replace", "replace", "reverse", "right", "rtrim", "split_part", "starts_with",
    "strpos", "substr", "substring", "translate", "trim", "upper",
    // arithmetic
    "abs", "cbrt", "ceil", "ceiling", "degrees", "div", "exp", "floor", "gcd", "lcm", "ln", "log",
    "log10", "mod", "pi", "power", "radians", "round", "scale", "sign", "sqrt", "trunc",
    "width_bucket",
    // conditionals and comparisons
    "coalesce", "greatest", "least", "nullif", "num_nonnulls", "num_nulls",
    // arrays and JSON values
    "array_length", "array_position", "array_to_string", "cardinality", "json_build_array",
    "json_build_object", "jsonb_build_array", "jsonb_build_object", "string_to_array", "to_json",
    "to_jsonb", "unnest",
    // casts written as calls
    "bigint", "bool", "date", "float4", "float8", "int", "int2", "int4", "int8", "integer",
    "interval", "numeric", "text", "time", "timestamp", "timestamptz", "varchar",
    // rows of numbers and dates (bounded by the row cap and the deadline)
    "generate_series",
});

bool allowed_function(std::string_view name) {
  return std::find(kAllowedFunctions.begin(), kAllowedFunctions.end(), name) != kAllowedFunctions.end();
}

// The sval of a {"String": {"sval": ...}} node, or null.
const std::string* string_node(const Value& node) {
  if (!node.is_record()) return nullptr;
  const Value* s = node.as_record().find("String");
  if (!s || !s->is_record()) return nullptr;
  const Value* sval = s->as_record().find("sval");
  return sval && sval->is_text() ? &sval->as_text() : nullptr;
}

// Schemas a statement may not read or call into by name.
bool system_schema(std::string_view schema) {
  return schema == "pg_catalog" || schema == "information_schema" || schema.starts_with("pg_");
}

class Inspector {
 public:
  std::optional<std::string> refusal;

  void walk(const Value& v, int depth) {
    if (refusal) return;
    // The parser itself stops far below this; a bound keeps the walk's own
    // stack safe whatever it is handed.
    if (depth > 2000) {
      refusal = "Security restriction: the statement is nested too deeply.";
      return;
    }
    if (v.is_list()) {
      for (const Value& item : v.as_list()) walk(item, depth + 1);
      return;
    }
    if (!v.is_record()) return;
    for (const auto& [key, value] : v.as_record()) {
      if (refusal) return;
      // Some clauses are fields of a statement rather than nodes of their own.
      if (key == "intoClause") {
        refusal = refused_node("IntoClause");
        return;
      }
      if (!key.empty() && key[0] >= 'A' && key[0] <= 'Z') {
        // A node: its kind must be known, and some kinds are checked more.
        if (std::find(kAllowedNodes.begin(), kAllowedNodes.end(), key) == kAllowedNodes.end()) {
          refusal = refused_node(key);
          return;
        }
        if (key == "FuncCall") check_function(value);
        else if (key == "RangeVar") check_relation(value);
        else if (key == "A_Expr") check_operator(value);
        else if (key == "TypeCast") check_cast(value);
        if (refusal) return;
      }
      walk(value, depth + 1);
    }
  }

 private:
  void check_function(const Value& call) {
    const Value* names = call.is_record() ? call.as_record().find("funcname") : nullptr;
    if (!names || !names->is_list() || names->as_list().empty()) {
      refusal = "Security restriction: a function call without a name is not allowed.";
      return;
    }
    const List& parts = names->as_list();
    std::string written;
    for (const Value& part : parts) {
      const std::string* s = string_node(part);
      if (!written.empty()) written += '.';
      written += s ? *s : "?";
    }
    const std::string* name = string_node(parts.back());
    const bool qualified_ok = parts.size() == 1 ||
                              (parts.size() == 2 && string_node(parts[0]) && *string_node(parts[0]) == "pg_catalog");
    if (!name || !qualified_ok || !allowed_function(*name))
      refusal = "Security restriction: the function " + written + " is not allowed.";
  }

  void check_relation(const Value& relation) {
    if (!relation.is_record()) return;
    const Record& r = relation.as_record();
    const Value* schema = r.find("schemaname");
    const Value* name = r.find("relname");
    const Value* catalog = r.find("catalogname");
    std::string written = name && name->is_text() ? name->as_text() : "?";
    if (schema && schema->is_text()) written = schema->as_text() + "." + written;
    if (catalog || (schema && schema->is_text() && system_schema(schema->as_text())) ||
        (name && name->is_text() && name->as_text().starts_with("pg_")))
      refusal = "Security restriction: " + written + " may not be read.";
  }

  // Casts to the reg* types look names up in the system catalogs.
  void check_cast(const Value& cast) {
    if (!cast.is_record()) return;
    const Value* type = cast.as_record().find("typeName");
    const Value* names = type && type->is_record() ? type->as_record().find("names") : nullptr;
    if (!names || !names->is_list() || names->as_list().empty()) return;
    const std::string* name = string_node(names->as_list().back());
    if (name && name->starts_with("reg"))
      refusal = "Security restriction: a cast to " + *name + " is not allowed.";
  }

  // An operator named with a schema (OPERATOR(s.+)) runs whatever function
  // that schema gives it; only the built-in ones are allowed.
  void check_operator(const Value& expr) {
    if (!expr.is_record()) return;
    const Value* names = expr.as_record().find("name");
    if (!names || !names->is_list() || names->as_list().size() < 2) return;
    const std::string* schema = string_node(names->as_list().front());
    if (!schema || *schema != "pg_catalog")
      refusal = "Security restriction: an operator from another schema is not allowed.";
  }
};

struct ParseResult {
  PgQueryParseResult r;
  ~ParseResult() { pg_query_free_parse_result(r); }
};

}  // namespace

PostgresVerdict inspect_postgres_statement(std::string_view sql) {
  PostgresVerdict verdict;
  const std::string text(sql);
  ParseResult parsed{pg_query_parse(text.c_str())};
  if (parsed.r.error) {
    verdict.syntax_error = parsed.r.error->message ? parsed.r.error->message : "syntax error";
    return verdict;
  }
  Value tree;
  try {
    tree = json::parse(parsed.r.parse_tree ? parsed.r.parse_tree : "");
  } catch (const std::exception&) {
    verdict.refusal = "Security restriction: the statement could not be checked.";
    return verdict;
  }
  const Value* stmts = tree.is_record() ? tree.as_record().find("stmts") : nullptr;
  if (!stmts || !stmts->is_list() || stmts->as_list().empty()) {
    verdict.syntax_error = "the statement is empty";
    return verdict;
  }
  if (stmts->as_list().size() > 1) {
    verdict.refusal = "You can only execute one statement at a time.";
    return verdict;
  }
  const Value& raw = stmts->as_list().front();
  const Value* stmt = raw.is_record() ? raw.as_record().find("stmt") : nullptr;
  if (!stmt || !stmt->is_record() || stmt->as_record().size() != 1 ||
      stmt->as_record().item(0).first != "SelectStmt") {
    verdict.refusal = kOnlySelect;
    return verdict;
  }
  Inspector inspector;
  inspector.walk(*stmt, 0);
  verdict.refusal = std::move(inspector.refusal);
  return verdict;
}

std::optional<std::string> postgres_refusal(std::string_view sql) {
  return inspect_postgres_statement(sql).refusal;
}

}  // namespace corvalt::quillon

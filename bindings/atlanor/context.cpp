// generate_output and format_as_markdown.
#include <optional>
#include <string>
#include <vector>

#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/convert.hpp"
#include "corvalt/node_ids.hpp"

namespace corvalt::py {

namespace {

// The statistics in the record are the graph's own values, as a host holding
// the node dicts would pass them on: the same objects graph.nodes[id] holds.
void share_statistics(AtlanorPy& self, const std::vector<std::string>& column_ids,
                      nb::handle result) {
  nb::dict record = nb::borrow<nb::dict>(result);
  if (!record.contains("column_statistics")) return;
  nb::dict statistics = nb::borrow<nb::dict>(record["column_statistics"]);
  GraphView& view = self.graph_view();
  const Graph& graph = *view.graph();
  for (const auto& id : column_ids) {
    Graph::Index i = graph.index_of(id);
    if (!graph.attrs(i).contains("statistics")) continue;
    nb::dict attrs = nb::borrow<nb::dict>(view.node_dict(i));
    if (!attrs.contains("statistics")) continue;
    statistics[to_python_text(node_ids::name_of(id, node_ids::kColumn))] = attrs["statistics"];
  }
}

nb::object generate_output(AtlanorPy& self, nb::handle query_text, nb::handle results,
                           nb::handle matches, nb::handle tables, nb::handle columns,
                           nb::handle concepts, nb::handle rules, nb::handle sql,
                           nb::handle all_tables) {
  constexpr const char* fn = "generate_output";
  std::string query = arg_str(query_text, fn, "query_text");
  // results, matches and sql do not shape the record; only their types are checked.
  arg_list(results, fn, "results");
  arg_dict(matches, fn, "matches");
  auto table_ids = arg_str_list(tables, fn, "tables");
  auto column_ids = arg_str_list(columns, fn, "columns");
  auto concept_ids = arg_str_list(concepts, fn, "concepts");
  auto rule_ids = arg_str_list(rules, fn, "rules");
  arg_opt_str(sql, fn, "sql");
  std::optional<std::vector<std::string>> found_tables;
  if (!all_tables.is_none()) found_tables = arg_str_list(all_tables, fn, "all_tables");
  RecordPtr output = self.core.generate_output(query, table_ids, column_ids, concept_ids, rule_ids,
                                               found_tables ? &*found_tables : nullptr);
  nb::object result = to_python(Value(output));
  share_statistics(self, column_ids, result);
  return result;
}

nb::object format_as_markdown(AtlanorPy& self, nb::handle output_data) {
  arg_dict(output_data, "format_as_markdown", "output_data");
  Value record = to_value(output_data);
  return to_python_text(self.core.format_as_markdown(record.as_record()));
}

}  // namespace

void bind_context(AtlanorClass& cls) {
  cls.def("generate_output", &generate_output, nb::arg("query_text"), nb::arg("results"),
          nb::arg("matches"), nb::arg("tables"), nb::arg("columns"), nb::arg("concepts"),
          nb::arg("rules"), nb::arg("sql") = nb::none(), nb::arg("all_tables") = nb::none(),
          nb::sig("def generate_output(self, query_text: str, results: list[typing.Any], "
                  "matches: dict[str, typing.Any], tables: list[str], columns: list[str], "
                  "concepts: list[str], rules: list[str], sql: str | None = None, "
                  "all_tables: list[str] | None = None) -> Record"),
          "Build the context record for a question from the chosen node ids.")
      .def("format_as_markdown", &format_as_markdown, nb::arg("output_data"),
           nb::sig("def format_as_markdown(self, output_data: Record) -> str"),
           "Render a context record as Markdown text.");
}

}  // namespace corvalt::py

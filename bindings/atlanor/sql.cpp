// generate_sql, generate_sql_from_nl and _get_schema_summary.
#include <optional>
#include <string>
#include <vector>

#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/convert.hpp"

namespace corvalt::py {

namespace {

nb::object generate_sql(AtlanorPy& self, nb::handle table_nodes, nb::handle condition_nodes) {
  auto tables = arg_str_list(table_nodes, "generate_sql", "table_nodes");
  std::optional<std::vector<std::string>> conditions;
  if (!condition_nodes.is_none())
    conditions = arg_str_list(condition_nodes, "generate_sql", "condition_nodes");
  return to_python_text(self.core.generate_sql(tables, conditions ? &*conditions : nullptr));
}

nb::object generate_sql_from_nl(AtlanorPy& self, nb::handle natural_language_query) {
  std::string question =
      arg_str(natural_language_query, "generate_sql_from_nl", "natural_language_query");
  return to_python_text(self.core.generate_sql_from_nl(question));
}

nb::object get_schema_summary(AtlanorPy& self) {
  return to_python(Value(self.core.get_schema_summary()));
}

}  // namespace

void bind_sql(AtlanorClass& cls) {
  cls.def("generate_sql", &generate_sql, nb::arg("table_nodes"),
          nb::arg("condition_nodes") = nb::none(),
          nb::sig("def generate_sql(self, table_nodes: list[str], "
                  "condition_nodes: list[str] | None = None) -> str"),
          "A SELECT template joining the given table nodes, with a placeholder test per column.")
      .def("generate_sql_from_nl", &generate_sql_from_nl, nb::arg("natural_language_query"),
           nb::sig("def generate_sql_from_nl(self, natural_language_query: str) -> str"),
           "Best-guess SQL for a question, from the example queries or the graph.")
      .def("_get_schema_summary", &get_schema_summary,
           nb::sig("def _get_schema_summary(self) -> Record"),
           "Tables, columns and relationships of the loaded document, condensed.");
}

}  // namespace corvalt::py

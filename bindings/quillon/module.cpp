// Corvalt.Quillon: the SQL answering service.
#include <nanobind/nanobind.h>

#include "common/convert.hpp"
#include "common/errors.hpp"
#include "common/args.hpp"
#include "corvalt/quillon.hpp"
#include "quillon/quillon_py.hpp"

namespace nb = nanobind;

namespace {

// Which backend a database argument selects, and loading a server.
void bind_backends(nb::module_& m) {
  using namespace corvalt;
  m.def(
      "is_server_target",
      [](nb::handle target) { return quillon::is_server_target(py::arg_str(target, "is_server_target", "target")); },
      nb::arg("target").none(), nb::sig("def is_server_target(target: str) -> bool"),
      "True when `target` names a PostgreSQL server (postgresql:// or postgres:// URI, or libpq's "
      "key=value form) rather than an SQLite file.");
  m.def(
      "masked_target",
      [](nb::handle target) {
        return py::to_python_text(quillon::masked_target(py::arg_str(target, "masked_target", "target")));
      },
      nb::arg("target").none(), nb::sig("def masked_target(target: str) -> str"),
      "`target` with any password replaced by ***.");
  m.def(
      "copy_sqlite_to_postgres",
      [](nb::handle sqlite_path, nb::handle target, bool replace) {
        const char* f = "copy_sqlite_to_postgres";
        std::string path = py::arg_str(sqlite_path, f, "sqlite_path");
        std::string to = py::arg_str(target, f, "target");
        std::vector<std::pair<std::string, std::size_t>> counts;
        {
          nb::gil_scoped_release release;
          counts = quillon::copy_sqlite_to_postgres(path, to, replace);
        }
        nb::list out;
        for (const auto& [table, rows] : counts) out.append(nb::make_tuple(py::to_python_text(table), rows));
        return out;
      },
      nb::arg("sqlite_path").none(), nb::arg("target").none(), nb::kw_only(), nb::arg("replace") = false,
      nb::sig("def copy_sqlite_to_postgres(sqlite_path: str, target: str, *, replace: bool = False) -> "
              "list[tuple[str, int]]"),
      "Copy every table of an SQLite file into the PostgreSQL database at `target`, in one "
      "transaction; a table that exists already is an error unless `replace`. Returns (table, rows) "
      "per table.");
}

}  // namespace

NB_MODULE(Quillon, m) {
  m.doc() = "SQL answering service: AI generation and correction, guarded execution on SQLite or PostgreSQL, comparison with history, explorations, result summaries, fix log.";
  corvalt::py::register_errors(m);
  // The records the service takes and returns; named in its signatures.
  m.attr("Record") = corvalt::py::record_alias();
  // The bounds every statement runs under unless told otherwise, for hosts'
  // own defaults and help texts.
  m.attr("DEFAULT_STATEMENT_TIMEOUT") = corvalt::quillon::kDefaultTimeoutSeconds;
  m.attr("DEFAULT_MAX_ROWS") = corvalt::quillon::kDefaultMaxRows;
  corvalt::py::bind_connection(m);
  corvalt::py::bind_quillon(m);
  corvalt::py::bind_assistant(m);
  bind_backends(m);
}

// Quillon: construction, attributes, connection, the guard, test_query,
// result summaries and the fix log.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "common/args.hpp"
#include "common/console.hpp"
#include "common/convert.hpp"
#include "common/errors.hpp"
#include "common/host_adapters.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/release.hpp"
#include "corvalt/result_text.hpp"
#include "quillon/quillon_py.hpp"

namespace corvalt::py {

QuillonPy::QuillonPy() : core(python_console(), release_gil()) {
  core.ai = ai;
  // Called from SQLite's progress handler while the GIL is released: a
  // Ctrl-C raised by the host's handler stops the statement.
  core.limits.interrupt_requested = []() -> std::shared_ptr<void> {
    nb::gil_scoped_acquire gil;
    try {
      return take_signal_exception();
    } catch (...) {
      return nullptr;
    }
  };
}

// The host's number is read here; what it may be is the core's rule.
void QuillonPy::set_statement_timeout(nb::handle value) {
  if (value.is_none()) {
    core.limits.set_timeout(std::nullopt);
    return;
  }
  if (PyBool_Check(value.ptr()) || !(PyLong_Check(value.ptr()) || PyFloat_Check(value.ptr())))
    wrong_type("Quillon", "statement_timeout", "a number or None", value);
  double seconds = PyFloat_AsDouble(value.ptr());
  if (seconds == -1.0 && PyErr_Occurred()) throw nb::python_error();
  core.limits.set_timeout(seconds);
}

void QuillonPy::set_max_rows(nb::handle value) {
  if (value.is_none()) {
    core.limits.set_max_rows(std::nullopt);
    return;
  }
  if (PyBool_Check(value.ptr()) || !PyLong_Check(value.ptr()))
    wrong_type("Quillon", "max_rows", "int or None", value);
  int overflow = 0;
  long long rows = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (rows == -1 && PyErr_Occurred()) throw nb::python_error();
  core.limits.set_max_rows(rows, overflow);
}

void QuillonPy::set_verbose(nb::handle value) {
  bool on = truth(value);
  verbose = nb::borrow(value);
  core.verbose = on;
}

void QuillonPy::set_mindloom(nb::handle value) { ai->set_object(value); }

void QuillonPy::set_conn(nb::handle value) {
  if (value.is_none()) {
    core.set_conn(nullptr);
  } else if (nb::isinstance<ConnectionPy>(value)) {
    core.set_conn(nb::inst_ptr<ConnectionPy>(value)->db);
  } else {
    throw TypeError(std::string("conn must be a Connection or None, not ") +
                    Py_TYPE(value.ptr())->tp_name);
  }
  conn = nb::borrow(value);
}

nb::object QuillonPy::conn_object() {
  const quillon::DatabasePtr& db = core.conn();
  if (!db) {
    conn = nb::none();
  } else if (conn.is_none() || !nb::isinstance<ConnectionPy>(conn) ||
             nb::inst_ptr<ConnectionPy>(conn)->db != db) {
    conn = nb::cast(ConnectionPy{db});
  }
  return conn;
}

namespace {

// ---------------------------------------------------------- test_query --

// The statement of a query record: text, or null for any false value.
Value sql_of(nb::handle query) {
  PyObject* sql = PyDict_GetItemWithError(query.ptr(), nb::str("sql").ptr());
  if (!sql) {
    if (PyErr_Occurred()) throw nb::python_error();
    return Value();
  }
  if (PyUnicode_Check(sql)) return Value(utf8_of(sql));
  if (!truth(sql)) return Value();
  throw TypeError(std::string("test_query() record key 'sql' must be str, not ") +
                  Py_TYPE(sql)->tp_name);
}

nb::object test_query(QuillonPy& self, nb::handle query) {
  arg_dict(query, "test_query", "query");
  // Only `sql` is read; the core writes the outcome keys into `outcome` in
  // order, and they are set on the host's dict in that same order, which
  // leaves every other key (and the dict's identity) as it was.
  // The rows stay in `table` and become dicts here, without row records.
  Record outcome;
  quillon::ResultTable table;
  if (self.core.connected()) outcome.append_new("sql", sql_of(query));
  RowDicts rows;
  {
    // The row dicts are made while the statement runs, between waits.
    GcPause pause;
    self.core.test_query(outcome, table,
                         [&](const std::vector<std::string>& columns, const Value* cells,
                             std::size_t begin, std::size_t end) {
                           rows.add(columns, cells, begin, end);
                         });
  }
  for (const auto& [key, value] : outcome) {
    if (key == "sql") continue;
    nb::object v = key == "results" ? rows.take() : to_python(value);
    if (PyDict_SetItem(query.ptr(), to_python_text(key).ptr(), v.ptr()) != 0)
      throw nb::python_error();
  }
  // A large table's cells (a Value each, a block per long text) are freed
  // on a helper thread: nothing waits for that.
  if (table.row_count >= kFreeLaterFrom)
    release_in_background(std::make_shared<std::vector<Value>>(std::move(table.cells)));
  return nb::borrow(query);
}

// The same run with the rows as tuples in column order beside the column
// names: a name the statement repeats keeps every value.
// With `on_rows` the rows go to it in batches while the statement runs
// (a list of tuples each time, with the column names) and are not kept.
// With `as_text` ("json" or "csv") each batch goes to it as text instead,
// written by the core (quillon::RowText), beside the unique column names.
nb::object run_rows(QuillonPy& self, nb::handle sql, nb::handle on_rows, nb::handle as_text) {
  Record outcome;
  outcome.append_new("sql", Value(arg_str(sql, "run_rows", "sql")));
  if (!on_rows.is_none() && !PyCallable_Check(on_rows.ptr())) wrong_type("run_rows", "on_rows", "callable or None", on_rows);
  std::optional<quillon::RowText::Format> format;
  if (!as_text.is_none()) {
    const std::string name = arg_str(as_text, "run_rows", "as_text");
    if (name == "json")
      format = quillon::RowText::Format::kJson;
    else if (name == "csv")
      format = quillon::RowText::Format::kCsv;
    else
      throw ValueError("run_rows() argument 'as_text' must be 'json', 'csv' or None");
    if (on_rows.is_none()) throw ValueError("run_rows() argument 'as_text' needs on_rows");
  }
  quillon::ResultTable table;
  nb::list kept;
  auto tuples = [](const Value* cells, std::size_t width, std::size_t count) {
    nb::list batch;
    for (std::size_t r = 0; r < count; ++r) {
      nb::object row = nb::steal(PyTuple_New(static_cast<Py_ssize_t>(width)));
      if (!row.is_valid()) throw nb::python_error();
      for (std::size_t c = 0; c < width; ++c)
        PyTuple_SET_ITEM(row.ptr(), static_cast<Py_ssize_t>(c), to_python(cells[r * width + c]).release().ptr());
      batch.append(row);
    }
    return batch;
  };
  std::optional<quillon::RowText> text;
  std::string chunk;
  nb::list names;
  self.core.test_query(outcome, table,
                       [&](const std::vector<std::string>& columns, const Value* cells, std::size_t begin,
                           std::size_t end) {
                         const std::size_t width = columns.size();
                         if (format) {
                           if (!text) {
                             text.emplace(*format, columns);
                             for (const std::string& c : text->names()) names.append(to_python_text(c));
                           }
                           chunk.clear();
                           text->append(chunk, cells + begin * width, end - begin);
                           on_rows(names, to_python_text(chunk));
                           return;
                         }
                         nb::list batch = tuples(cells + begin * width, width, end - begin);
                         if (on_rows.is_none()) {
                           for (nb::handle row : batch) kept.append(row);
                         } else {
                           nb::list raw;
                           for (const std::string& c : columns) raw.append(to_python_text(c));
                           on_rows(raw, batch);
                         }
                       });
  nb::dict out;
  for (const auto& [key, value] : outcome)
    if (key != "results") out[to_python_text(key)] = to_python(value);
  if (on_rows.is_none()) out["rows"] = kept;
  if (table.row_count >= kFreeLaterFrom)
    release_in_background(std::make_shared<std::vector<Value>>(std::move(table.cells)));
  return out;
}

// ---------------------------------------------------------- summaries --

// A result table from the host: a list of row dicts or row sequences (the
// core applies the shape rules), or a table object with `columns` and
// `itertuples` (a data frame), read as its column names and row tuples.
quillon::ResultTable table_of(nb::handle rows, nb::handle columns) {
  constexpr const char* fn = "_generate_result_summary";
  FromPython from_py;
  if (!PyList_Check(rows.ptr()) && nb::hasattr(rows, "itertuples") && nb::hasattr(rows, "columns")) {
    std::vector<std::string> names;
    for (nb::handle name : rows.attr("columns")) names.push_back(str_of(name));
    nb::object tuples = rows.attr("itertuples")(nb::arg("index") = false, nb::arg("name") = nb::none());
    List records;
    for (nb::handle row : tuples) {
      nb::object seq = nb::steal(PySequence_Tuple(row.ptr()));
      if (!seq.is_valid()) throw nb::python_error();
      records.push_back(from_py(seq));
    }
    return quillon::table_from_rows(records, &names, fn);
  }
  arg_list(rows, fn, "rows");
  std::vector<std::string> names;
  if (!columns.is_none()) names = arg_str_list(columns, fn, "columns");
  Value list = from_py(rows);
  return quillon::table_from_rows(list.as_list(), columns.is_none() ? nullptr : &names, fn);
}

// ------------------------------------------------------------- fix log --

Record record_of(nb::handle obj, const char* argument) {
  arg_dict(obj, "_log_corrected_sql", argument);
  Value v = to_value(obj);
  return v.as_record();
}

}  // namespace

namespace {

// A settable float property over one of the core's summed durations; the
// signatures are literals, as nanobind keeps the pointers.
void seconds_property(QuillonClass& cls, const char* name,
                      std::chrono::steady_clock::duration quillon::Quillon::*member,
                      const char* getter, const char* setter, const char* doc) {
  cls.def_prop_rw(
      name,
      [member](QuillonPy& self) { return std::chrono::duration<double>(self.core.*member).count(); },
      [member](QuillonPy& self, double seconds) {
        self.core.*member = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds));
      },
      nb::for_getter(nb::sig(getter)), nb::for_setter(nb::sig(setter)), doc);
}

}  // namespace

void bind_quillon(nb::module_& m) {
  QuillonClass cls(m, "Quillon", gc_slots<QuillonPy>(), "Class for building and testing SQL queries using AI and historical data.");
  // Setters and arguments take any value, None included; each checks its own.
  const auto kAnyValue = nb::for_setter(nb::arg("value").none());
  static const std::string init_signature =
      "def __init__(self, database_path: str | None = None, verbose: typing.Any = False, "
      "mindloom: typing.Any = None, *, statement_timeout: float | None = " +
      std::to_string(quillon::kDefaultTimeoutSeconds) +
      ", max_rows: int | None = " + std::to_string(quillon::kDefaultMaxRows) +
      ", read_only: str = 'words') -> None";
  cls.def(
         "__init__",
         [](QuillonPy* self, nb::handle database_path, nb::handle verbose, nb::handle mindloom,
            nb::handle statement_timeout, nb::handle max_rows, nb::handle read_only) {
           auto path = arg_opt_str(database_path, "Quillon", "database_path");
           bool on = truth(verbose);
           const auto mode = quillon::Quillon::read_only_mode(arg_str(read_only, "Quillon", "read_only"));
           new (self) QuillonPy();
           try {
             self->core.read_only = mode;
             self->set_statement_timeout(statement_timeout);
             self->set_max_rows(max_rows);
             self->verbose = nb::borrow(verbose);
             self->core.verbose = on;
             self->set_mindloom(mindloom);
             // A server address is kept without its password.
             self->core.database_path = path ? std::optional(quillon::masked_target(*path)) : std::nullopt;
             self->core.open_initial(path);
           } catch (...) {
             self->~QuillonPy();
             throw;
           }
         },
         nb::arg("database_path").none() = nb::none(), nb::arg("verbose").none() = false,
         nb::arg("mindloom").none() = nb::none(), nb::kw_only(),
         nb::arg("statement_timeout").none() = quillon::kDefaultTimeoutSeconds,
         nb::arg("max_rows").none() = quillon::kDefaultMaxRows, nb::arg("read_only") = "words",
         nb::sig(init_signature.c_str()),
         "Open the database at `database_path` for read-only answering: an SQLite file (when it "
         "exists) or a PostgreSQL server (a postgresql:// URI or libpq key=value string).\n\n"
         "Every statement the service runs stops with an execution error after "
         "`statement_timeout` seconds or past `max_rows` result rows (None: no limit). "
         "`read_only` is how test_query decides a statement only reads (see the read_only "
         "property).")
      .def_prop_rw(
          "read_only",
          [](QuillonPy& self) {
            const std::string_view name = quillon::Quillon::read_only_name(self.core.read_only);
            return nb::str(name.data(), name.size());
          },
          [](QuillonPy& self, nb::handle v) {
            self.core.read_only = quillon::Quillon::read_only_mode(arg_str(v, "read_only", "value"));
          },
          kAnyValue, nb::for_getter(nb::sig("def read_only(self, /) -> str")),
          nb::for_setter(nb::sig("def read_only(self, value: str, /) -> None")),
          "'words' (the default): a statement runs when it begins with SELECT and holds none of the "
          "guard's words (DELETE, DROP, UPDATE, ...). 'engine': it runs when SQLite compiles it as "
          "one read-only query that only reads tables and calls functions, which also admits "
          "WITH ... SELECT, VALUES and comments and refuses every write, pragma, attach and "
          "transaction statement.")
      .def_prop_rw(
          "statement_timeout",
          [](QuillonPy& self) -> nb::object {
            if (!self.core.limits.timeout_seconds) return nb::none();
            return nb::float_(*self.core.limits.timeout_seconds);
          },
          [](QuillonPy& self, nb::handle v) { self.set_statement_timeout(v); }, kAnyValue,
          nb::for_getter(nb::sig("def statement_timeout(self, /) -> float | None")),
          nb::for_setter(nb::sig("def statement_timeout(self, value: float | None, /) -> None")),
          "Seconds a statement may run before it fails (None: no limit).")
      .def_prop_rw(
          "max_rows",
          [](QuillonPy& self) -> nb::object {
            if (!self.core.limits.max_rows) return nb::none();
            return nb::int_(*self.core.limits.max_rows);
          },
          [](QuillonPy& self, nb::handle v) { self.set_max_rows(v); }, kAnyValue,
          nb::for_getter(nb::sig("def max_rows(self, /) -> int | None")),
          nb::for_setter(nb::sig("def max_rows(self, value: int | None, /) -> None")),
          "Most result rows a statement may yield before it fails (None: no limit).")
      .def_prop_rw(
          "verbose", [](QuillonPy& self) { return self.verbose; },
          [](QuillonPy& self, nb::handle v) { self.set_verbose(v); }, kAnyValue,
          nb::for_getter(nb::sig("def verbose(self, /) -> typing.Any")),
          nb::for_setter(nb::sig("def verbose(self, value: typing.Any, /) -> None")),
          "As passed; messages are printed while it is true.")
      .def_prop_rw(
          "mindloom", [](QuillonPy& self) { return self.mindloom(); },
          [](QuillonPy& self, nb::handle v) { self.set_mindloom(v); }, kAnyValue,
          nb::for_getter(nb::sig("def mindloom(self, /) -> typing.Any")),
          nb::for_setter(nb::sig("def mindloom(self, value: typing.Any, /) -> None")),
          "The AI service object: clear_history() and get_response_sync(prompt) are called.")
      .def_prop_rw(
          "database_path",
          [](QuillonPy& self) -> nb::object {
            if (!self.core.database_path) return nb::none();
            return to_python_text(*self.core.database_path);
          },
          [](QuillonPy& self, nb::handle v) {
            self.core.database_path = arg_opt_str(v, "database_path", "value");
          },
          kAnyValue, nb::for_getter(nb::sig("def database_path(self, /) -> str | None")),
          nb::for_setter(nb::sig("def database_path(self, value: str | None, /) -> None")),
          "Path of the SQLite database file.")
      .def_prop_rw(
          "conn", [](QuillonPy& self) { return self.conn_object(); },
          [](QuillonPy& self, nb::handle v) { self.set_conn(v); }, kAnyValue,
          nb::for_getter(nb::sig("def conn(self, /) -> Connection | None")),
          nb::for_setter(nb::sig("def conn(self, value: Connection | None, /) -> None")),
          "The open connection, or None.")
      .def(
          "connect_database",
          [](QuillonPy& self, nb::handle database_path) {
            std::string path = arg_str(database_path, "connect_database", "database_path");
            return self.core.connect_database(path);
          },
          nb::arg("database_path").none(),
          nb::sig("def connect_database(self, database_path: str) -> bool"),
          "Connect to the SQLite database at `database_path`.")
      .def(
          "close_connection", [](QuillonPy& self) { self.core.close_connection(); },
          nb::sig("def close_connection(self) -> None"), "Close the database connection.")
      .def(
          "_validate_safe_sql",
          [](QuillonPy& self, nb::handle sql) -> nb::object {
            std::string text = arg_str(sql, "_validate_safe_sql", "sql");
            auto refusal = self.core.validate_safe_sql(text);
            if (!refusal) return nb::none();
            return to_python_text(*refusal);
          },
          nb::arg("sql").none(), nb::sig("def _validate_safe_sql(self, sql: str) -> str | None"),
          "None when `sql` is a read-only SELECT that may run, else the refusal text.")
      .def("test_query", &test_query, nb::arg("query").none(),
           nb::sig("def test_query(self, query: Record) -> Record"),
           "Run the query record's `sql` and record the outcome in that same dict.")
      .def("run_rows", &run_rows, nb::arg("sql").none(), nb::arg("on_rows").none() = nb::none(), nb::kw_only(),
           nb::arg("as_text").none() = nb::none(),
           nb::sig("def run_rows(self, sql: str, on_rows: typing.Callable[[list[str], typing.Any], "
                   "typing.Any] | None = None, *, as_text: typing.Literal['json', 'csv'] | None = None) -> Record"),
           "Run `sql` as test_query does and return its outcome (sql, success, execution_error or "
           "row_count, column_count, columns, summary) with `rows`: a list of tuples in column "
           "order, so a repeated column name keeps every value. With `on_rows`, the rows are "
           "handed to on_rows(columns, batch) while the statement runs instead, and not kept; "
           "what it raises stops the statement and reaches the caller. With `as_text`, each batch "
           "is a str instead: 'json' gives the rows as objects under the columns named uniquely "
           "(status, status_2, ...), separated by ', '; 'csv' gives one line per row, ending in a "
           "line break; the columns handed along are then the unique names.")
      .def(
          "_generate_result_summary",
          [](QuillonPy&, nb::handle rows, nb::handle columns) {
            return to_python_text(quillon::generate_result_summary(table_of(rows, columns)));
          },
          nb::arg("rows").none(), nb::arg("columns").none() = nb::none(),
          nb::sig("def _generate_result_summary(self, rows: typing.Any, "
                  "columns: list[str] | None = None) -> str"),
          "Generate a human-readable summary of query results.")
      .def(
          "_log_corrected_sql",
          [](QuillonPy& self, nb::handle question, nb::handle failed_query,
             nb::handle working_query) {
            std::string q = arg_str(question, "_log_corrected_sql", "question");
            Record failed = record_of(failed_query, "failed_query");
            Record working = record_of(working_query, "working_query");
            self.core.log_corrected_sql(Value(q), failed, working);
          },
          nb::arg("question").none(), nb::arg("failed_query").none(), nb::arg("working_query").none(),
          nb::sig("def _log_corrected_sql(self, question: str, failed_query: Record, "
                  "working_query: Record) -> None"),
          "Append a repaired statement to data/failed_sql.json.")
      .def(
          "_read_fix_log",
          [](QuillonPy&) { return to_python(quillon::read_fix_log_or_empty()); },
          nb::sig("def _read_fix_log(self) -> list[Record]"),
          "The entries of data/failed_sql.json (an empty list when there is none).");
  seconds_property(cls, "_statement_seconds", &quillon::Quillon::statement_time,
                   "def _statement_seconds(self, /) -> float",
                   "def _statement_seconds(self, value: float, /) -> None",
                   "Seconds this service's statements ran, summed (for benchmarks; "
                   "test_query makes its row dicts meanwhile).");
  seconds_property(cls, "_fix_log_seconds", &quillon::Quillon::fix_log_time,
                   "def _fix_log_seconds(self, /) -> float",
                   "def _fix_log_seconds(self, value: float, /) -> None", "Seconds spent appending to the fix log, summed (for benchmarks).");
  bind_answering(cls);
  m.def(
      "unique_column_names",
      [](nb::handle columns) {
        nb::list out;
        for (const std::string& name :
             quillon::unique_column_names(arg_str_list(columns, "unique_column_names", "columns")))
          out.append(to_python_text(name));
        return out;
      },
      nb::arg("columns").none(), nb::sig("def unique_column_names(columns: list[str]) -> list[str]"),
      "The column names with each repeat numbered (status, status_2, ...), skipping a name the "
      "list has already, so that every column keeps its own place.");
}

}  // namespace corvalt::py

// The Python-side Quillon: the core service plus the host objects it hands
// back unchanged (verbose as passed, the AI object) and the connection
// object, kept so that repeated reads of `conn` return the same object.
#pragma once

#include <nanobind/nanobind.h>

#include <memory>

#include "common/gc.hpp"
#include "common/host_adapters.hpp"
#include "corvalt/quillon.hpp"

namespace corvalt::py {

namespace nb = nanobind;

// The `conn` attribute's object: truthy while the connection is open.
struct ConnectionPy {
  quillon::DatabasePtr db;
};

struct QuillonPy {
  QuillonPy();
  QuillonPy(const QuillonPy&) = delete;
  QuillonPy& operator=(const QuillonPy&) = delete;

  quillon::Quillon core;
  nb::object verbose = nb::bool_(false);
  // The one adapter over `mindloom` for the service's whole life (core.ai),
  // re-pointed when the host sets another object.
  std::shared_ptr<PyAiService> ai = std::make_shared<PyAiService>();
  nb::object conn = nb::none();  // ConnectionPy over core.conn(), or None

  nb::object mindloom() const { return nb::borrow(ai->object()); }
  // The host's collector: every Python object the instance holds.
  void traverse(GcVisitor& visit) const {
    visit(verbose);
    visit(ai->object());
    visit(conn);
  }
  void clear() {
    ai->set_object(nb::none());
    verbose = nb::bool_(false);
    core.verbose = false;
    conn = nb::none();
  }

  void set_verbose(nb::handle value);
  void set_mindloom(nb::handle value);
  void set_conn(nb::handle value);
  // statement_timeout: a positive number of seconds or None; max_rows: a
  // positive int or None.
  void set_statement_timeout(nb::handle value);
  void set_max_rows(nb::handle value);
  // The connection object for core.conn(), made anew only when it changed.
  nb::object conn_object();
};

using QuillonClass = nb::class_<QuillonPy>;

void bind_connection(nb::module_& m);
void bind_quillon(nb::module_& m);
// The answering road over the three services (assistant.cpp).
void bind_assistant(nb::module_& m);
// Generation, correction, exploration, comparison and answering methods.
void bind_answering(QuillonClass& cls);

// The rows of a result as a list of the host's dicts, one per row, keyed by
// column name in column order, made batch by batch as the rows are read
// (rows.cpp).
class RowDicts {
 public:
  RowDicts();
  ~RowDicts();
  RowDicts(const RowDicts&) = delete;
  RowDicts& operator=(const RowDicts&) = delete;
  // Rows [begin, end), whose cells start at `cells` (see quillon::RowFeed).
  void add(const std::vector<std::string>& columns, const Value* cells, std::size_t begin,
           std::size_t end);
  // The list of every row added.
  nb::object take();

 private:
  class TextCache;
  nb::object list_, row_template_;
  std::vector<nb::object> keys_;
  std::unique_ptr<TextCache[]> texts_;  // one per column
  const Value* cells_ = nullptr;
};

// Core calls whose work is only SQLite's run with the GIL released.
quillon::Quillon::Unlocker release_gil();

}  // namespace corvalt::py

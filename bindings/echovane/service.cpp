// EchovaneService as the host sees it.
#include <nanobind/stl/string.h>

#include <new>

#include "common/args.hpp"
#include "common/console.hpp"
#include "common/convert.hpp"
#include "common/graph_view.hpp"
#include "corvalt/errors.hpp"
#include "echovane/echovane_py.hpp"

namespace corvalt::py {

EchovanePy::EchovanePy() : core(python_console()) {}

void EchovanePy::set_verbose(nb::handle value) {
  bool on = truth(value);
  verbose = nb::borrow(value);
  core.verbose = on;
}

void EchovanePy::load_history(const std::string& filename) {
  core.load_history(filename);
  sync();
}

void EchovanePy::sync() {
  if (shown_ == core.history()) return;
  shown_ = core.history();
  graph_ = nb::object();
  queries_ = nb::object();
}

nb::object EchovanePy::graph_object() {
  sync();
  if (!shown_) return nb::none();
  if (!graph_.is_valid()) graph_ = wrap_graph(shown_->graph);
  return graph_;
}

nb::object EchovanePy::queries_object() {
  sync();
  if (!shown_) return nb::none();
  if (!queries_.is_valid()) queries_ = to_python(shown_->queries);
  return queries_;
}

namespace {

nb::object record_or_none(const RecordPtr& record) {
  return record ? to_python(Value(record)) : nb::none();
}

nb::object query_details(EchovanePy& self, nb::handle index) {
  if (!PyLong_Check(index.ptr())) wrong_type("_get_query_details", "index", "int", index);
  int overflow = 0;
  long long i = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
  if (i == -1 && PyErr_Occurred()) throw nb::python_error();
  // Beyond 64 bits lies beyond any list.
  if (overflow) return nb::none();
  return record_or_none(self.core.get_query_details(i));
}

}  // namespace

void bind_echovane_service(nb::module_& m) {
  nb::class_<EchovanePy>(m, "EchovaneService",
                         "Recognises a question that was asked before, from a history of "
                         "earlier questions and their SQL.")
      .def(
          "__init__",
          [](EchovanePy* self, nb::handle queries_file, nb::handle verbose, nb::handle mindloom) {
            auto path = arg_opt_str(queries_file, "EchovaneService", "queries_file");
            new (self) EchovanePy();
            try {
              self->set_verbose(verbose);
              self->mindloom = nb::borrow(mindloom);
              if (path && !path->empty()) self->load_history(*path);
            } catch (...) {
              self->~EchovanePy();
              throw;
            }
          },
          nb::arg("queries_file") = nb::none(), nb::arg("verbose") = false,
          nb::arg("mindloom") = nb::none())
      .def_prop_ro("graph", [](EchovanePy& self) { return self.graph_object(); },
                   "The history graph (node \"query:{i}\" per entry), or None before loading.")
      .def_prop_ro("queries", [](EchovanePy& self) { return self.queries_object(); },
                   "The loaded entry list, or None before loading.")
      .def_prop_rw(
          "verbose", [](EchovanePy& self) { return self.verbose; },
          [](EchovanePy& self, nb::handle v) { self.set_verbose(v); })
      .def_prop_rw(
          "mindloom", [](EchovanePy& self) { return self.mindloom; },
          [](EchovanePy& self, nb::handle v) { self.mindloom = nb::borrow(v); },
          "The AI service object, kept for the host; this service never calls it.")
      .def(
          "load_history",
          [](EchovanePy& self, nb::handle filename) {
            self.load_history(arg_str(filename, "load_history", "filename"));
          },
          nb::arg("filename"), "Load query history from a JSON file and build a graph.")
      .def(
          "find_strong_match",
          [](EchovanePy& self, nb::handle question) {
            std::string q = arg_str(question, "find_strong_match", "question");
            return record_or_none(self.core.find_strong_match(q));
          },
          nb::arg("question"),
          "Check if there's a strong match in the loaded queries.\n\n"
          "Return the matching query information if found, otherwise None.")
      .def("_get_query_details", &query_details, nb::arg("index"),
           "Extract all relevant details from a query by index");
}

}  // namespace corvalt::py

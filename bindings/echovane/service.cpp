// EchovaneService as the host sees it.
#include <nanobind/stl/string.h>

#include <new>
#include <utility>

#include "common/args.hpp"
#include "common/console.hpp"
#include "common/convert.hpp"
#include "common/graph_view.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/release.hpp"
#include "echovane/echovane_py.hpp"

namespace corvalt::py {

EchovanePy::EchovanePy() : core(python_console()) {}

void EchovanePy::set_verbose(nb::handle value) {
  bool on = truth(value);
  verbose = nb::borrow(value);
  core.verbose = on;
}

void EchovanePy::traverse(GcVisitor& visit) const {
  visit(verbose);
  visit(mindloom);
  visit(graph_);
  visit(queries_);
}

void EchovanePy::clear() {
  verbose = nb::bool_(false);
  core.verbose = false;
  mindloom = nb::none();
  // Built again from the core's history when next read.
  graph_ = nb::object();
  queries_ = nb::object();
}

void EchovanePy::load_history(const std::string& filename) {
  core.load_history(filename);
  sync();
}

void EchovanePy::sync() {
  if (shown_ == core.history()) return;
  std::shared_ptr<const echovane::History> replaced = std::exchange(shown_, core.history());
  graph_ = nb::object();
  queries_ = nb::object();
  // A replaced history is freed off the host's thread when this was its last holder.
  release_in_background(std::move(replaced));
}

nb::object EchovanePy::graph_object() {
  sync();
  if (!shown_) return nb::none();
  if (!graph_.is_valid()) graph_ = wrap_graph(shown_->graph());
  return graph_;
}

nb::object EchovanePy::queries_object() {
  sync();
  if (!shown_) return nb::none();
  // Made from the parsed document directly, without the core's Values.
  if (!queries_.is_valid())
    queries_ = walked_to_python([this](json::Visitor& v) { shown_->walk_queries(v); });
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
  // Attribute setters take any value, None included; each checks its own.
  const auto kAnyValue = nb::for_setter(nb::arg("value").none());
  nb::class_<EchovanePy>(m, "EchovaneService", gc_slots<EchovanePy>(),
                         "Recognises a question that was asked before, from a history of "
                         "earlier questions and their SQL (the `enriched_queries` list of a "
                         "JSON file).")
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
          nb::arg("mindloom") = nb::none(),
          nb::sig("def __init__(self, queries_file: str | None = None, verbose: typing.Any = False, "
                  "mindloom: typing.Any = None) -> None"),
          "Loads `queries_file` when it is a non-empty str (FileNotFoundError when it does not "
          "exist).")
      .def_prop_ro("graph", [](EchovanePy& self) { return self.graph_object(); },
                   nb::sig("def graph(self, /) -> Graph | None"),
                   "The history graph (node \"query:{i}\" per entry), or None before loading; "
                   "the same object until reloaded.")
      .def_prop_ro("queries", [](EchovanePy& self) { return self.queries_object(); },
                   nb::sig("def queries(self, /) -> list[Record] | None"),
                   "The loaded entries, or None before loading; the same list until reloaded.\n"
                   "It is a copy: changing it does not change what the service matches or "
                   "returns.")
      .def_prop_rw(
          "verbose", [](EchovanePy& self) { return self.verbose; },
          [](EchovanePy& self, nb::handle v) { self.set_verbose(v); }, kAnyValue,
          nb::for_getter(nb::sig("def verbose(self, /) -> typing.Any")),
          nb::for_setter(nb::sig("def verbose(self, value: typing.Any, /) -> None")),
          "As passed; messages are printed while it is true.")
      .def_prop_rw(
          "mindloom", [](EchovanePy& self) { return self.mindloom; },
          [](EchovanePy& self, nb::handle v) { self.mindloom = nb::borrow(v); }, kAnyValue,
          nb::for_getter(nb::sig("def mindloom(self, /) -> typing.Any")),
          nb::for_setter(nb::sig("def mindloom(self, value: typing.Any, /) -> None")),
          "The AI service object, kept for the host; this service never calls it.")
      .def(
          "load_history",
          [](EchovanePy& self, nb::handle filename) {
            self.load_history(arg_str(filename, "load_history", "filename"));
          },
          nb::arg("filename"), nb::sig("def load_history(self, filename: str) -> None"),
          "Load query history from a JSON file and build a graph.\n\n"
          "Raises FileNotFoundError \"Queries file not found: {filename}\", the JSON reader's "
          "errors, and TypeError for a document of the wrong shape; on any error the earlier "
          "history stays loaded.")
      .def(
          "find_strong_match",
          [](EchovanePy& self, nb::handle question) {
            std::string q = arg_str(question, "find_strong_match", "question");
            return record_or_none(self.core.find_strong_match(q));
          },
          nb::arg("question"), nb::sig("def find_strong_match(self, question: str) -> Record | None"),
          "Check if there's a strong match in the loaded queries.\n\n"
          "Return the matching query information if found, otherwise None: the entry's own "
          "question, sql, complexity_description and domain_concepts, with '' for an absent "
          "key ([] for domain_concepts).")
      .def(
          "match_score",
          [](EchovanePy& self, nb::handle question) -> nb::object {
            std::string q = arg_str(question, "match_score", "question");
            auto score = self.core.match_score(q);
            if (!score) return nb::none();
            return nb::float_(*score);
          },
          nb::arg("question"), nb::sig("def match_score(self, question: str) -> float | None"),
          "The score of the strong match find_strong_match would return for `question`: 1.0 "
          "for an exact question or variation, else the share of the question's words found "
          "in the earlier question (above 0.7); None when there is no strong match. Prints "
          "nothing.")
      .def("_get_query_details", &query_details, nb::arg("index"),
           nb::sig("def _get_query_details(self, index: int) -> Record | None"),
           "Extract all relevant details from a query by index");
}

}  // namespace corvalt::py

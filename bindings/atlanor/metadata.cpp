// AtlanorService construction, attributes, load_metadata and build_graph.
#include <new>

#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/console.hpp"
#include "common/convert.hpp"
#include "common/host_adapters.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"

namespace corvalt::py {

AtlanorPy::AtlanorPy() : core(python_console()) {
  core.models = host_models();
  core.ai = ai;
}

void AtlanorPy::set_verbose(nb::handle value) {
  bool on = truth(value);
  verbose = nb::borrow(value);
  core.verbose = on;
}

void AtlanorPy::set_mindloom(nb::handle value) { ai->set_object(value); }

void AtlanorPy::traverse(GcVisitor& visit) const {
  visit(verbose);
  // The adapter's reference is the instance's own: see `ai`. The Models
  // adapter in core.models is shared by every service and is not visited.
  visit(ai->object());
  visit(metadata);
  visit(graph);
}

void AtlanorPy::clear() {
  ai->set_object(nb::none());
  verbose = nb::bool_(false);
  core.verbose = false;
  metadata = nb::none();
  graph = nb::none();
}

nb::object AtlanorPy::graph_object() {
  const auto& kg = core.graph();
  if (!kg) {
    graph = nb::none();
    return graph;
  }
  if (!graph.is_none() && nb::inst_ptr<GraphView>(graph)->graph() == kg->graph) return graph;
  graph = wrap_graph(kg->graph);
  return graph;
}

GraphView& AtlanorPy::graph_view() {
  core.require_graph();
  return *nb::inst_ptr<GraphView>(graph_object());
}

namespace {

void set_graph(AtlanorPy& self, nb::handle value) {
  if (value.is_none()) {
    self.core.set_graph(nullptr);
    self.graph = nb::none();
    return;
  }
  if (!nb::isinstance<GraphView>(value))
    throw TypeError(std::string("graph must be a Graph or None, not ") + Py_TYPE(value.ptr())->tp_name);
  GraphView* view = nb::inst_ptr<GraphView>(value);
  const auto& current = self.core.graph();
  if (!current || current->graph != view->graph())
    self.core.set_graph(atlanor::KnowledgeGraph::from(view->graph()));
  self.graph = nb::borrow(value);
}

void set_metadata(AtlanorPy& self, nb::handle value) {
  self.core.set_metadata(to_value(value));
  self.metadata = nb::borrow(value);
}

void set_linking(AtlanorPy& self, nb::handle value) {
  if (!PyUnicode_Check(value.ptr()))
    throw TypeError(std::string("linking must be str, not ") + Py_TYPE(value.ptr())->tp_name);
  self.core.linking_mode = linking::mode_named(utf8_of(value));
}

nb::object load_metadata(AtlanorPy& self, nb::handle filename) {
  std::string path = arg_str(filename, "load_metadata", "filename");
  // The dict is made from the parsed document while the core makes its Values.
  nb::object dict;
  self.core.load_metadata(path, [&dict](const json::Document& doc) { dict = document_to_python(doc); });
  self.metadata = std::move(dict);
  return self.metadata;
}

}  // namespace

void bind_metadata(AtlanorClass& cls) {
  // Attribute setters take any value, None included; each checks its own.
  const auto kAnyValue = nb::for_setter(nb::arg("value").none());
  cls.def(
         "__init__",
         [](AtlanorPy* self, nb::handle metadata_file, nb::handle verbose, nb::handle mindloom,
            nb::handle linking, nb::handle database) {
           auto path = arg_opt_str(metadata_file, "AtlanorService", "metadata_file");
           const linking::Mode mode =
               linking::mode_named(arg_str(linking, "AtlanorService", "linking"));
           auto db = arg_opt_str(database, "AtlanorService", "database");
           new (self) AtlanorPy();
           try {
             self->core.linking_mode = mode;
             if (db) self->core.database = *db;
             self->set_verbose(verbose);
             self->set_mindloom(mindloom);
             if (path && !path->empty()) load_metadata(*self, metadata_file);
           } catch (...) {
             self->~AtlanorPy();
             throw;
           }
         },
         nb::arg("metadata_file") = nb::none(), nb::arg("verbose") = false,
         nb::arg("mindloom") = nb::none(), nb::kw_only(), nb::arg("linking") = "keyword",
         nb::arg("database") = nb::none(),
         nb::sig("def __init__(self, metadata_file: str | None = None, verbose: typing.Any = False, "
                 "mindloom: typing.Any = None, *, linking: str = 'keyword', "
                 "database: str | None = None) -> None"),
         "Loads `metadata_file` when it is a non-empty str (FileNotFoundError when it does not "
         "exist). `linking` chooses how query processing finds a question's tables: 'keyword' "
         "(the keyword search) or 'lexical' (see the linking property). `database`, the SQLite "
         "file the document describes, lets the lexical mode match the question against the "
         "values stored in its text columns (see the database property).")
      .def_prop_rw(
          "database",
          [](AtlanorPy& self) -> nb::object {
            if (self.core.database.empty()) return nb::none();
            return nb::str(self.core.database.c_str(), self.core.database.size());
          },
          [](AtlanorPy& self, nb::handle value) {
            auto db = arg_opt_str(value, "database", "value");
            self.core.database = db ? *db : std::string();
          },
          kAnyValue, nb::for_getter(nb::sig("def database(self, /) -> str | None")),
          nb::for_setter(nb::sig("def database(self, value: str | None, /) -> None")),
          "The SQLite database whose stored values the lexical mode matches, or None. It is "
          "opened read-only on the first lexical query after the graph is built (or after it "
          "changes), its short text values indexed once; a file that cannot be read as a "
          "database fails that query with an error.")
      .def_prop_rw(
          "linking",
          [](AtlanorPy& self) { return nb::str(linking::mode_name(self.core.linking_mode).data()); },
          &set_linking, kAnyValue, nb::for_getter(nb::sig("def linking(self, /) -> str")),
          nb::for_setter(nb::sig("def linking(self, value: str, /) -> None")),
          "How query processing finds a question's tables: 'keyword', the keyword search, or "
          "'lexical': stemmed words scored against names, descriptions, tags, concepts, terms "
          "and examples, the tables that score well and those joining them; the context record "
          "then says how well they matched under 'linking'.")
      .def_prop_rw(
          "verbose", [](AtlanorPy& self) { return self.verbose; },
          [](AtlanorPy& self, nb::handle v) { self.set_verbose(v); }, kAnyValue,
          nb::for_getter(nb::sig("def verbose(self, /) -> typing.Any")),
          nb::for_setter(nb::sig("def verbose(self, value: typing.Any, /) -> None")),
          "As passed; messages are printed while it is true.")
      .def_prop_rw(
          "mindloom", [](AtlanorPy& self) { return self.mindloom(); },
          [](AtlanorPy& self, nb::handle v) { self.set_mindloom(v); }, kAnyValue,
          nb::for_getter(nb::sig("def mindloom(self, /) -> typing.Any")),
          nb::for_setter(nb::sig("def mindloom(self, value: typing.Any, /) -> None")),
          "The AI text service object as passed, or None; a false object means no AI.")
      .def_prop_rw(
          "metadata", [](AtlanorPy& self) { return self.metadata; }, &set_metadata, kAnyValue,
          nb::for_getter(nb::sig("def metadata(self, /) -> Record | None")),
          nb::for_setter(nb::sig("def metadata(self, value: Record | None, /) -> None")),
          "The metadata document: the dict load_metadata returned or the one assigned, or None.")
      .def_prop_rw(
          "graph", [](AtlanorPy& self) { return self.graph_object(); }, &set_graph, kAnyValue,
          nb::for_getter(nb::sig("def graph(self, /) -> Graph | None")),
          nb::for_setter(nb::sig("def graph(self, value: Graph | None, /) -> None")),
          "The knowledge graph, or None before build_graph; the same object until rebuilt.")
      .def("load_metadata", &load_metadata, nb::arg("filename"),
           nb::sig("def load_metadata(self, filename: str) -> Record"),
           "Load the metadata document at `filename`; returns it as a dict.")
      .def(
          "build_graph",
          [](AtlanorPy& self, nb::handle metadata) {
            if (metadata.is_none()) {
              self.core.build_graph();
            } else {
              arg_dict(metadata, "build_graph", "metadata");
              self.core.build_graph(to_value(metadata));
            }
            return self.graph_object();
          },
          nb::arg("metadata") = nb::none(),
          nb::sig("def build_graph(self, metadata: Record | None = None) -> Graph"),
          "Build the knowledge graph from `metadata` (default: the loaded document).");
}

}  // namespace corvalt::py

// Corvalt.Quillon.Assistant: the three services over one database, metadata
// document and history, and the road of one question through them.
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "common/args.hpp"
#include "common/console.hpp"
#include "common/convert.hpp"
#include "common/errors.hpp"
#include "common/gc.hpp"
#include "common/host_adapters.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/linking.hpp"
#include "corvalt/road.hpp"
#include "quillon/quillon_py.hpp"

namespace corvalt::py {

namespace {

struct AssistantPy {
  explicit AssistantPy(const road::Assistant::Setup& setup)
      : core(setup, python_console(), release_gil(), ai, host_models()) {}
  AssistantPy(const AssistantPy&) = delete;
  AssistantPy& operator=(const AssistantPy&) = delete;

  // Made before `core`, which hands it to the services.
  std::shared_ptr<PyAiService> ai = std::make_shared<PyAiService>();
  road::Assistant core;

  void traverse(GcVisitor& visit) const { visit(ai->object()); }
  void clear() { ai->set_object(nb::none()); }
};

const char* event_name(road::Event::Kind kind) {
  switch (kind) {
    case road::Event::Kind::kHistory: return "history";
    case road::Event::Kind::kContext: return "context";
    case road::Event::Kind::kAiRequest: return "ai_request";
    case road::Event::Kind::kRunning: return "running";
    case road::Event::Kind::kChosen: return "chosen";
  }
  return "event";
}

}  // namespace

void bind_assistant(nb::module_& m) {
  static const std::string init_signature =
      "def __init__(self, db: str, metadata: str, history: str | None = None, *, "
      "mindloom: typing.Any = None, linking: str = 'lexical', statement_timeout: float | None = " +
      std::to_string(quillon::kDefaultTimeoutSeconds) + ", max_rows: int | None = " +
      std::to_string(quillon::kDefaultMaxRows) + ", read_only: str = 'engine', verbose: typing.Any = False) -> None";
  nb::class_<AssistantPy>(m, "Assistant", gc_slots<AssistantPy>(),
                          "The three services over one database, metadata document and question "
                          "history, answering questions through one road: the same earlier "
                          "question, the AI service's statement (corrected when it fails), or an "
                          "earlier question's statement refilled with this question's values. "
                          "Without an AI service a question is answered only by history or a "
                          "fitting template; otherwise the answer says so and offers suggestions.")
      .def(
          "__init__",
          [](AssistantPy* self, nb::handle db, nb::handle metadata, nb::handle history, nb::handle mindloom,
             nb::handle linking, nb::handle statement_timeout, nb::handle max_rows, nb::handle read_only,
             nb::handle verbose) {
            road::Assistant::Setup setup;
            setup.database = arg_str(db, "Assistant", "db");
            setup.metadata = arg_str(metadata, "Assistant", "metadata");
            setup.history = arg_opt_str(history, "Assistant", "history");
            const std::string mode = arg_str(linking, "Assistant", "linking");
            if (auto parsed = linking::parse_mode(mode))
              setup.linking = *parsed;
            else
              throw ValueError("linking must be 'keyword' or 'lexical', not " + mode);
            // The limits as Quillon takes them.
            QuillonPy limits;
            limits.set_statement_timeout(statement_timeout);
            limits.set_max_rows(max_rows);
            setup.limits = limits.core.limits;
            setup.read_only = quillon::Quillon::read_only_mode(arg_str(read_only, "Assistant", "read_only"));
            setup.verbose = truth(verbose);
            new (self) AssistantPy(setup);
            self->ai->set_object(mindloom);
          },
          nb::arg("db"), nb::arg("metadata"), nb::arg("history") = nb::none(), nb::kw_only(),
          nb::arg("mindloom") = nb::none(), nb::arg("linking") = "lexical",
          nb::arg("statement_timeout") = quillon::kDefaultTimeoutSeconds,
          nb::arg("max_rows") = quillon::kDefaultMaxRows, nb::arg("read_only") = "engine",
          nb::arg("verbose") = false, nb::sig(init_signature.c_str()),
          "Opens the database `db` (an SQLite file, which must exist, or a PostgreSQL address such as "
          "postgresql://user@host/dbname), loads the metadata document and "
          "builds its graph, and loads the question history when given. `mindloom` is the AI "
          "service object (None: answer offline). Statements are bounded by `statement_timeout` "
          "seconds and `max_rows` rows (None: no limit), and run only when `read_only` ('engine': "
          "SQLite proves them read-only, WITH ... SELECT admitted; 'words': Quillon's word guard) "
          "lets them.")
      .def(
          "ask",
          [](AssistantPy& self, nb::handle question, nb::handle previous_sql, nb::handle chat_history,
             nb::handle progress) {
            road::Question q;
            q.text = arg_str(question, "ask", "question");
            q.previous_sql = arg_opt_str(previous_sql, "ask", "previous_sql");
            std::optional<PyChatHistory> chat;
            if (!chat_history.is_none()) {
              arg_list(chat_history, "ask", "chat_history");
              chat.emplace(chat_history);
              q.chat = &*chat;
            }
            road::Events events;
            if (!progress.is_none()) {
              if (!PyCallable_Check(progress.ptr())) wrong_type("ask", "progress", "callable or None", progress);
              events = [progress](const road::Event& e) {
                progress(nb::str(event_name(e.kind)), nb::str(e.text.data(), e.text.size()));
              };
            }
            const road::Answer answer = self.core.ask(q, events);
            return to_python(Value(road::answer_record(answer)));
          },
          nb::arg("question"), nb::arg("previous_sql") = nb::none(), nb::arg("chat_history") = nb::none(),
          nb::kw_only(), nb::arg("progress") = nb::none(),
          nb::sig("def ask(self, question: str, previous_sql: str | None = None, "
                  "chat_history: list | None = None, *, "
                  "progress: typing.Callable[[str, str], typing.Any] | None = None) -> Record"),
          "Answers `question` (with the statement of the turn before and the conversation so far, "
          "for a follow-up). `progress(kind, text)` is called at each step. Returns the answer "
          "record: question, answered, source ('history', 'template', 'ai', 'corrected_ai', "
          "'fix_log' or 'none'), sql, explanation, columns, rows, row_count, summary, reason, "
          "candidates, linking, suggestions, ai_requests, error.")
      .def_prop_ro(
          "mindloom", [](AssistantPy& self) { return nb::borrow(self.ai->object()); },
          nb::sig("def mindloom(self, /) -> typing.Any"), "The AI service object as passed, or None.")
      .def_prop_ro(
          "write_warning", [](AssistantPy& self) { return to_python_text(self.core.write_warning()); },
          nb::sig("def write_warning(self, /) -> str"),
          "Why the connection can change data (a PostgreSQL role that can write), or ''.");
}

}  // namespace corvalt::py

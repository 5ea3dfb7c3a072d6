// process_query, process_query_with_ai and process_query_with_chat_history.
#include <optional>
#include <string>

#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/convert.hpp"
#include "common/host_adapters.hpp"

namespace corvalt::py {

namespace {

// The arguments as the core takes them; the chat history stays the host's
// list and is read only if the AI step needs it.
struct ProcessArgs {
  std::string query_text;
  std::string output_format;
  std::optional<PyChatHistory> history;
  atlanor::ChatInput chat;

  ProcessArgs(const char* function, nb::handle query, nb::handle format, nb::handle chat_history,
              nb::handle previous_sql)
      : query_text(arg_str(query, function, "query_text")),
        output_format(arg_str(format, function, "output_format")) {
    if (!chat_history.is_none()) {
      if (!PyList_Check(chat_history.ptr()))
        wrong_type(function, "chat_history", "list or None", chat_history);
      history.emplace(chat_history);
    }
    chat.previous_sql = arg_opt_str(previous_sql, function, "previous_sql");
    chat.history = history ? &*history : nullptr;
  }
  ProcessArgs(const ProcessArgs&) = delete;
};

nb::object to_host(const RecordPtr& record) { return to_python(Value(record)); }

}  // namespace

void bind_processing(AtlanorClass& cls) {
  cls.def(
         "process_query",
         [](AtlanorPy& self, nb::handle query_text, nb::handle output_format,
            nb::handle chat_history, nb::handle previous_sql) {
           ProcessArgs a("process_query", query_text, output_format, chat_history, previous_sql);
           return to_host(self.core.process_query(a.query_text, a.output_format, a.chat));
         },
         nb::arg("query_text").none(), nb::arg("output_format").none() = "json",
         nb::arg("chat_history") = nb::none(), nb::arg("previous_sql") = nb::none(),
         nb::sig("def process_query(self, query_text: str, output_format: str = 'json', "
                 "chat_history: list[typing.Any] | None = None, "
                 "previous_sql: str | None = None) -> Record"),
         "Build the context record for a question. With a chat history or a previous SQL "
         "statement the question is understood in that light.")
      .def(
          "process_query_with_ai",
          [](AtlanorPy& self, nb::handle query_text, nb::handle output_format) {
            ProcessArgs a("process_query_with_ai", query_text, output_format, nb::none(),
                          nb::none());
            return to_host(self.core.process_query_with_ai(a.query_text, a.output_format));
          },
          nb::arg("query_text").none(), nb::arg("output_format").none() = "json",
          nb::sig("def process_query_with_ai(self, query_text: str, "
                  "output_format: str = 'json') -> Record"),
          "Build the context record for a question understood on its own.")
      .def(
          "process_query_with_chat_history",
          [](AtlanorPy& self, nb::handle query_text, nb::handle chat_history,
             nb::handle previous_sql, nb::handle output_format) {
            ProcessArgs a("process_query_with_chat_history", query_text, output_format,
                          chat_history, previous_sql);
            return to_host(
                self.core.process_query_with_chat_history(a.query_text, a.chat, a.output_format));
          },
          nb::arg("query_text").none(), nb::arg("chat_history") = nb::none(),
          nb::arg("previous_sql") = nb::none(), nb::arg("output_format").none() = "json",
          nb::sig("def process_query_with_chat_history(self, query_text: str, "
                  "chat_history: list[typing.Any] | None = None, "
                  "previous_sql: str | None = None, output_format: str = 'json') -> Record"),
          "Build the context record for a question asked within a conversation.");
}

}  // namespace corvalt::py

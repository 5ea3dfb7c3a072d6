#include "common/host_adapters.hpp"

#include "common/args.hpp"
#include "common/convert.hpp"

namespace corvalt::py {

namespace detail {

void rethrow_as_host_error(nb::python_error& e) {
  // Only ordinary exceptions are the host object's failures; interrupts and
  // exits go on as they are.
  if (!e.matches(PyExc_Exception)) throw;
  std::string message = str_of(e.value());
  throw HostError(message);
}

}  // namespace detail

namespace {

std::string reply_text(nb::handle reply) {
  if (!PyUnicode_Check(reply.ptr()))
    throw HostError(std::string("'") + Py_TYPE(reply.ptr())->tp_name +
                    "' object has no attribute 'strip'");
  return utf8_of(reply);
}

class PyModels : public Models {
 public:
  explicit PyModels(nb::object sql_prompt) : sql_prompt_(std::move(sql_prompt)) {}

  Understanding make_sql_prompt(const Value& user_prompt, const Value& ai_context,
                                const Value& buisness_domains, const Value& keywords) override {
    return call_host([&] {
      ToPython to_py;
      nb::object prompt = sql_prompt_(nb::arg("user_prompt") = to_py(user_prompt),
                                      nb::arg("ai_context") = to_py(ai_context),
                                      nb::arg("buisness_domains") = to_py(buisness_domains),
                                      nb::arg("keywords") = to_py(keywords));
      Understanding u;
      FromPython from_py;
      u.keywords = from_py(prompt.attr("keywords"));
      u.buisness_domains = from_py(prompt.attr("buisness_domains"));
      u.ai_context = from_py(prompt.attr("ai_context"));
      nb::object history = nb::getattr(prompt, "history_context", nb::none());
      if (truth(history)) u.history_context = from_py(history);
      return u;
    });
  }

 private:
  nb::object sql_prompt_;
};

}  // namespace

bool PyAiService::truthy() const { return truth(obj_); }

bool PyAiService::has_attribute(std::string_view name) const {
  return nb::hasattr(obj_, std::string(name).c_str());
}

std::string PyAiService::run(const std::string& prompt) {
  return call_host([&] { return reply_text(obj_.attr("run")(to_python_text(prompt))); });
}

void PyAiService::clear_history() {
  call_host([&] { obj_.attr("clear_history")(); });
}

std::string PyAiService::get_response_sync(const std::string& prompt) {
  return call_host(
      [&] { return reply_text(obj_.attr("get_response_sync")(to_python_text(prompt))); });
}

std::shared_ptr<Models> host_models() {
  // Leaked on purpose: it holds a Python object and must not be released
  // after the interpreter has shut down.
  static auto* models = new std::shared_ptr<Models>([] {
    nb::object module;
    try {
      module = nb::module_::import_("Models");
    } catch (nb::python_error& e) {
      if (!e.matches(PyExc_ImportError)) throw;
      module = nb::module_::import_("Corvalt.ai");
    }
    return std::make_shared<PyModels>(module.attr("SQLPrompt"));
  }());
  return *models;
}

std::size_t PyChatHistory::size() const {
  Py_ssize_t n = PyObject_Length(list_.ptr());
  if (n < 0) throw nb::python_error();
  return static_cast<std::size_t>(n);
}

ChatMessage PyChatHistory::at(std::size_t i) const {
  return call_host([&] {
    nb::object message = list_[i];
    ChatMessage m;
    m.is_user = truth(message.attr("is_user"));
    m.content = str_of(message.attr("content"));
    return m;
  });
}

}  // namespace corvalt::py

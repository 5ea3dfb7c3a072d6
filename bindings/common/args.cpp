#include "common/args.hpp"

#include "common/convert.hpp"
#include "corvalt/errors.hpp"

namespace corvalt::py {

void wrong_type(const char* function, const char* argument, const char* expected, nb::handle got) {
  throw TypeError(std::string(function) + "() argument '" + argument + "' must be " + expected +
                  ", not " + Py_TYPE(got.ptr())->tp_name);
}

std::string arg_str(nb::handle obj, const char* function, const char* argument) {
  if (!PyUnicode_Check(obj.ptr())) wrong_type(function, argument, "str", obj);
  return utf8_of(obj);
}

std::optional<std::string> arg_opt_str(nb::handle obj, const char* function, const char* argument) {
  if (obj.is_none()) return std::nullopt;
  if (!PyUnicode_Check(obj.ptr())) wrong_type(function, argument, "str or None", obj);
  return utf8_of(obj);
}

void arg_list(nb::handle obj, const char* function, const char* argument) {
  if (!PyList_Check(obj.ptr())) wrong_type(function, argument, "list", obj);
}

std::vector<std::string> arg_str_list(nb::handle obj, const char* function, const char* argument) {
  arg_list(obj, function, argument);
  std::vector<std::string> out;
  Py_ssize_t n = PyList_GET_SIZE(obj.ptr());
  out.reserve(static_cast<std::size_t>(n));
  for (Py_ssize_t i = 0; i < n; ++i) {
    PyObject* item = PyList_GET_ITEM(obj.ptr(), i);
    if (!PyUnicode_Check(item))
      throw TypeError(std::string(function) + "() argument '" + argument +
                      "' must be a list of str, not a list holding " + Py_TYPE(item)->tp_name);
    out.push_back(utf8_of(item));
  }
  return out;
}

void arg_dict(nb::handle obj, const char* function, const char* argument) {
  if (!PyDict_Check(obj.ptr())) wrong_type(function, argument, "dict", obj);
}

bool truth(nb::handle obj) {
  int result = PyObject_IsTrue(obj.ptr());
  if (result < 0) throw nb::python_error();
  return result == 1;
}

}  // namespace corvalt::py

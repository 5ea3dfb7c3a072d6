#include "common/convert.hpp"

#include <cstring>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"

namespace corvalt::py {

namespace {

[[noreturn]] void raise_python() { throw nb::python_error(); }

}  // namespace

std::string utf8_of(nb::handle str) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(str.ptr(), &size);
  if (data) return std::string(data, static_cast<std::size_t>(size));
  // Lone surrogates have no UTF-8 form; keep them as the host would write
  // them with 'surrogatepass' rather than failing.
  PyErr_Clear();
  nb::object bytes = nb::steal(PyUnicode_AsEncodedString(str.ptr(), "utf-8", "surrogatepass"));
  if (!bytes.is_valid()) raise_python();
  return std::string(PyBytes_AS_STRING(bytes.ptr()), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes.ptr())));
}

std::string str_of(nb::handle obj) {
  nb::object s = nb::steal(PyObject_Str(obj.ptr()));
  if (!s.is_valid()) raise_python();
  return utf8_of(s);
}

nb::object to_python_text(std::string_view s) {
  PyObject* obj = PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogatepass");
  if (!obj) raise_python();
  return nb::steal(obj);
}

// ------------------------------------------------------------ FromPython --

Value FromPython::operator()(nb::handle obj) {
  PyObject* o = obj.ptr();
  if (o == Py_None) return Value();
  if (PyBool_Check(o)) return Value(o == Py_True);
  if (PyLong_Check(o)) {
    int overflow = 0;
    long long v = PyLong_AsLongLongAndOverflow(o, &overflow);
    if (overflow) return Value(BigInt{str_of(obj)});
    if (v == -1 && PyErr_Occurred()) raise_python();
    return Value(static_cast<std::int64_t>(v));
  }
  if (PyFloat_Check(o)) return Value(PyFloat_AS_DOUBLE(o));
  if (PyUnicode_Check(o)) return Value(utf8_of(obj));
  if (PyBytes_Check(o))
    return Value(Bytes{std::string(PyBytes_AS_STRING(o), static_cast<std::size_t>(PyBytes_GET_SIZE(o)))});
  if (PyDict_Check(o)) {
    if (auto it = seen_.find(o); it != seen_.end()) return it->second;
    auto record = make_record();
    seen_.emplace(o, Value(record));
    record->reserve(static_cast<std::size_t>(PyDict_GET_SIZE(o)));
    PyObject *key, *value;
    Py_ssize_t pos = 0;
    while (PyDict_Next(o, &pos, &key, &value)) {
      if (!PyUnicode_Check(key))
        throw TypeError(std::string("keys must be str, not ") + Py_TYPE(key)->tp_name);
      record->append_new(utf8_of(key), (*this)(value));
    }
    return Value(record);
  }
  if (PyList_Check(o) || PyTuple_Check(o)) {
    if (auto it = seen_.find(o); it != seen_.end()) return it->second;
    auto list = make_list();
    seen_.emplace(o, Value(list));
    Py_ssize_t n = PySequence_Fast_GET_SIZE(o);
    list->reserve(static_cast<std::size_t>(n));
    for (Py_ssize_t i = 0; i < n; ++i) list->push_back((*this)(PySequence_Fast_GET_ITEM(o, i)));
    return Value(list);
  }
  throw TypeError(std::string("Object of type ") + Py_TYPE(o)->tp_name +
                  " cannot be used as a value here");
}

// -------------------------------------------------------------- ToPython --

void ToPython::adopt(const FromPython& from) {
  for (const auto& [obj, value] : from.seen()) {
    if (value.is_record()) origin_[value.record_ptr().get()] = nb::borrow(obj);
    else if (value.is_list()) origin_[value.list_ptr().get()] = nb::borrow(obj);
  }
}

nb::object ToPython::text(std::string_view s) { return to_python_text(s); }

nb::object ToPython::key(const std::string& k) {
  // Keys repeat across records ("description", "type", ...): share them.
  auto it = keys_.find(k);
  if (it != keys_.end()) return it->second;
  nb::object obj = to_python_text(k);
  if (keys_.size() < 4096) keys_.emplace(k, obj);
  return obj;
}

nb::object ToPython::record(const RecordPtr& rec) {
  if (auto it = seen_.find(rec.get()); it != seen_.end()) return it->second;
  nb::object dict;
  if (auto origin = origin_.find(rec.get()); origin != origin_.end()) dict = origin->second;
  else dict = nb::steal(PyDict_New());
  if (!dict.is_valid()) raise_python();
  seen_.emplace(rec.get(), dict);
  for (const auto& [k, v] : *rec) {
    nb::object value = (*this)(v);
    if (PyDict_SetItem(dict.ptr(), key(k).ptr(), value.ptr()) != 0) raise_python();
  }
  return dict;
}

nb::object ToPython::list(const ListPtr& lst) {
  if (auto it = seen_.find(lst.get()); it != seen_.end()) return it->second;
  // The core only reads the lists it was given (it writes records), so a
  // host list goes back as it is.
  if (auto origin = origin_.find(lst.get()); origin != origin_.end()) return origin->second;
  nb::object out = nb::steal(PyList_New(static_cast<Py_ssize_t>(lst->size())));
  if (!out.is_valid()) raise_python();
  seen_.emplace(lst.get(), out);
  for (std::size_t i = 0; i < lst->size(); ++i) {
    nb::object item = (*this)((*lst)[i]);
    PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(i), item.release().ptr());
  }
  return out;
}

nb::object ToPython::operator()(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: return nb::none();
    case Value::Kind::Bool: return nb::bool_(v.as_bool());
    case Value::Kind::Int: return nb::steal(PyLong_FromLongLong(v.as_int()));
    case Value::Kind::BigInt: {
      PyObject* obj = PyLong_FromString(v.as_bigint().digits.c_str(), nullptr, 10);
      if (!obj) raise_python();
      return nb::steal(obj);
    }
    case Value::Kind::Real: return nb::steal(PyFloat_FromDouble(v.as_real()));
    case Value::Kind::Text: return text(v.as_text());
    case Value::Kind::Bytes: {
      const std::string& data = v.as_bytes().data;
      return nb::steal(PyBytes_FromStringAndSize(data.data(), static_cast<Py_ssize_t>(data.size())));
    }
    case Value::Kind::List: return list(v.list_ptr());
    case Value::Kind::Record: return record(v.record_ptr());
  }
  return nb::none();
}

PyObject* presized_dict(std::size_t n) {
#if PY_VERSION_HEX < 0x030D0000
  return _PyDict_NewPresized(static_cast<Py_ssize_t>(n));
#else
  (void)n;  // no public way to size a dict ahead
  return PyDict_New();
#endif
}

nb::object record_alias() {
  nb::handle dict_type(reinterpret_cast<PyObject*>(&PyDict_Type));
  nb::handle str_type(reinterpret_cast<PyObject*>(&PyUnicode_Type));
  return dict_type[nb::make_tuple(str_type, nb::module_::import_("typing").attr("Any"))];
}

Value to_value(nb::handle obj) { return FromPython()(obj); }
nb::object to_python(const Value& value) { return ToPython()(value); }

}  // namespace corvalt::py

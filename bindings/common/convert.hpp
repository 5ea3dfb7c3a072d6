// Conversion between core values and Python objects.
//
// Identity is kept in both directions within one conversion: a dict reached
// twice becomes one record, and one core record becomes one dict. A ToPython
// can also adopt what a FromPython converted, so that a core record or list
// made from a host dict or list converts back to that very object, updated in
// place (keys keep their places; new keys are appended).
#pragma once

#include <nanobind/nanobind.h>

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "corvalt/json.hpp"
#include "corvalt/value.hpp"

namespace corvalt::py {

namespace nb = nanobind;

class FromPython {
 public:
  // Throws corvalt::TypeError for objects with no core counterpart.
  Value operator()(nb::handle obj);
  // Every dict and list converted so far, with the core value made of it.
  const std::unordered_map<PyObject*, Value>& seen() const { return seen_; }

 private:
  std::unordered_map<PyObject*, Value> seen_;
};

class ToPython {
 public:
  nb::object operator()(const Value& value);
  // From now on the records and lists that `from` made convert back to the
  // host objects they were made of.
  void adopt(const FromPython& from);
  nb::object text(std::string_view s);

 private:
  nb::object key(const std::string& k);
  nb::object record(const RecordPtr& record);
  nb::object list(const ListPtr& list);

  std::unordered_map<const void*, nb::object> seen_;
  std::unordered_map<const void*, nb::object> origin_;
  std::unordered_map<std::string, nb::object> keys_;
};

// dict[str, typing.Any]: the `Record` alias the modules export and their
// signatures name.
nb::object record_alias();

// The host's objects for a parsed document, as json.load makes them (a
// repeated key keeps its first position and last value); each distinct key
// is made once and shared. The host's cyclic collector is paused meanwhile.
nb::object document_to_python(const json::Document& document);
// The same for what `walk` reports to the visitor it is given.
nb::object walked_to_python(const std::function<void(json::Visitor&)>& walk);

// The host's cyclic collector paused for a scope: while a large result of
// new containers is assembled, the collections its allocations would start
// can find nothing to free.
class GcPause {
 public:
  GcPause() : was_enabled_(PyGC_Disable() == 1) {}
  ~GcPause() {
    if (was_enabled_) PyGC_Enable();
  }
  GcPause(const GcPause&) = delete;
  GcPause& operator=(const GcPause&) = delete;

 private:
  bool was_enabled_;
};

// A new dict with room for `n` items from the start (a new reference, or null
// with the host's error set).
PyObject* presized_dict(std::size_t n);

// One-shot helpers.
Value to_value(nb::handle obj);
nb::object to_python(const Value& value);
nb::object to_python_text(std::string_view s);
// str() of any Python object as UTF-8.
std::string str_of(nb::handle obj);
// UTF-8 of a Python str (surrogates passed through).
std::string utf8_of(nb::handle str);

}  // namespace corvalt::py

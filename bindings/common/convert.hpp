// Conversion between core values and Python objects.
//
// Identity is kept in both directions within one conversion: a dict reached
// twice becomes one record, and one core record becomes one dict. A converter
// can also be told that a core record stands for a dict the host passed in,
// so that the result updates that very dict instead of building a new one.
#pragma once

#include <nanobind/nanobind.h>

#include <string>
#include <string_view>
#include <unordered_map>

#include "corvalt/value.hpp"

namespace corvalt::py {

namespace nb = nanobind;

class FromPython {
 public:
  // Throws corvalt::TypeError for objects with no core counterpart.
  Value operator()(nb::handle obj);
  // The core record built for a dict of this conversion (nullptr if none).
  RecordPtr record_for(nb::handle dict) const;

 private:
  std::unordered_map<PyObject*, Value> seen_;
};

class ToPython {
 public:
  nb::object operator()(const Value& value);
  // From now on `record` converts to `dict`, whose items are replaced by the
  // record's (keys keep their places; new keys are appended).
  void bind(const RecordPtr& record, nb::handle dict);
  nb::object text(std::string_view s);

 private:
  nb::object key(const std::string& k);
  nb::object record(const RecordPtr& record);
  nb::object list(const ListPtr& list);

  std::unordered_map<const void*, nb::object> seen_;
  std::unordered_map<const Record*, nb::object> bound_;
  std::unordered_map<std::string, nb::object> keys_;
};

// One-shot helpers.
Value to_value(nb::handle obj);
nb::object to_python(const Value& value);
nb::object to_python_text(std::string_view s);
// str() of any Python object as UTF-8.
std::string str_of(nb::handle obj);
// UTF-8 of a Python str (surrogates passed through).
std::string utf8_of(nb::handle str);

}  // namespace corvalt::py

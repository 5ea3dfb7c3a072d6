// Result rows as the host's dicts: the one converter for a result table.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/convert.hpp"
#include "quillon/quillon_py.hpp"

namespace corvalt::py {

namespace {

// The str objects of one column: a column's texts repeat (statuses, dates,
// names of a few resources), and an equal text met again takes the str made
// for it before instead of a new one. A small direct-mapped cache; long texts
// are rarely repeated and are not kept.
class TextCache {
 public:
  nb::object get(const std::string& s) {
    if (s.size() > kLongest) return to_python_text(s);
    Entry& e = entries_[hash(s) & (kEntries - 1)];
    if (e.text && *e.text == s) return e.object;
    e.object = to_python_text(s);
    e.text = &s;
    return e.object;
  }

 private:
  static constexpr std::size_t kEntries = 1024;
  static constexpr std::size_t kLongest = 48;
  struct Entry {
    const std::string* text = nullptr;  // a cell of the table being converted
    nb::object object;
  };
  static std::size_t hash(const std::string& s) {
    std::uint64_t h = s.size() * 0x9E3779B97F4A7C15ull;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
      std::uint64_t w;
      std::memcpy(&w, s.data() + i, 8);
      h = (h ^ w) * 0xbf58476d1ce4e5b9ull;
    }
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, s.size() - i);
    h = (h ^ w) * 0x94d049bb133111ebull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
  Entry entries_[kEntries];
};

// The rows of a result table as the host's dicts. Every row starts as a copy
// of one template dict that holds the column names already (a repeated name
// once, in its first place), so a row costs one copy and one replacement per
// column; the last of repeated columns sets the value, as in a row record.
}  // namespace

nb::object rows_to_python(const quillon::ResultTable& table) {
  GcPause pause;
  const std::size_t ncols = table.columns.size();
  std::vector<nb::object> keys;
  keys.reserve(ncols);
  nb::object row_template = nb::steal(PyDict_New());
  if (!row_template.is_valid()) throw nb::python_error();
  for (const std::string& name : table.columns) {
    keys.push_back(to_python_text(name));
    if (PyDict_SetItem(row_template.ptr(), keys.back().ptr(), Py_None) != 0) throw nb::python_error();
  }
  nb::object out = nb::steal(PyList_New(static_cast<Py_ssize_t>(table.row_count)));
  if (!out.is_valid()) throw nb::python_error();
  ToPython other;
  std::vector<TextCache> texts(ncols);
  const Value* cell = table.cells.data();
  for (std::size_t r = 0; r < table.row_count; ++r) {
    PyObject* dict = PyDict_Copy(row_template.ptr());
    if (!dict) throw nb::python_error();
    // Owned by the list from here on, so an error below frees it with the list.
    PyList_SET_ITEM(out.ptr(), static_cast<Py_ssize_t>(r), dict);
    for (std::size_t c = 0; c < ncols; ++c, ++cell) {
      PyObject* v;
      switch (cell->kind()) {
        case Value::Kind::Int: v = PyLong_FromLongLong(cell->as_int()); break;
        case Value::Kind::Real: v = PyFloat_FromDouble(cell->as_real()); break;
        case Value::Kind::Text: v = texts[c].get(cell->as_text()).release().ptr(); break;
        case Value::Kind::Null: v = Py_NewRef(Py_None); break;
        default: v = other(*cell).release().ptr();
      }
      if (!v) throw nb::python_error();
      const int failed = PyDict_SetItem(dict, keys[c].ptr(), v);
      Py_DECREF(v);
      if (failed != 0) throw nb::python_error();
    }
  }
  return out;
}

}  // namespace corvalt::py

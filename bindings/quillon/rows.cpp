// Result rows as the host's dicts: the one converter for a result table.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/convert.hpp"
#include "corvalt/text_hash.hpp"
#include "quillon/quillon_py.hpp"

namespace corvalt::py {

// The str objects of one column: a column's texts repeat (statuses, dates,
// names of a few resources), and an equal text met again takes the str made
// for it before instead of a new one. A small direct-mapped cache; long texts
// are rarely repeated and are not kept.
class RowDicts::TextCache {
 public:
  nb::object get(const std::string& s) {
    if (s.size() > kLongest) return to_python_text(s);
    Entry& e = entries_[hash_text(s) & (kEntries - 1)];
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
  Entry entries_[kEntries];
};

// Every row starts as a copy of one template dict that holds the column
// names already (a repeated name once, in its first place), so a row costs
// one copy and one replacement per column; the last of repeated columns
// sets the value, as in a row record.
void RowDicts::add(const std::vector<std::string>& columns, const Value* cells, std::size_t begin,
                   std::size_t end) {
  const std::size_t ncols = columns.size();
  if (!list_.is_valid()) {
    list_ = nb::steal(PyList_New(0));
    if (!list_.is_valid()) throw nb::python_error();
    row_template_ = nb::steal(PyDict_New());
    if (!row_template_.is_valid()) throw nb::python_error();
    keys_.reserve(ncols);
    for (const std::string& name : columns) {
      keys_.push_back(to_python_text(name));
      if (PyDict_SetItem(row_template_.ptr(), keys_.back().ptr(), Py_None) != 0)
        throw nb::python_error();
    }
    texts_ = std::make_unique<TextCache[]>(ncols);
  }
  // The caches point into the cells, which may have moved since last time.
  if (cells != cells_) {
    cells_ = cells;
    texts_ = std::make_unique<TextCache[]>(ncols);
  }
  ToPython other;
  const Value* cell = cells + begin * ncols;
  for (std::size_t r = begin; r < end; ++r) {
    nb::object dict = nb::steal(PyDict_Copy(row_template_.ptr()));
    if (!dict.is_valid()) throw nb::python_error();
    for (std::size_t c = 0; c < ncols; ++c, ++cell) {
      PyObject* v;
      switch (cell->kind()) {
        case Value::Kind::Int: v = PyLong_FromLongLong(cell->as_int()); break;
        case Value::Kind::Real: v = PyFloat_FromDouble(cell->as_real()); break;
        case Value::Kind::Text: v = texts_[c].get(cell->as_text()).release().ptr(); break;
        case Value::Kind::Null: v = Py_NewRef(Py_None); break;
        default: v = other(*cell).release().ptr();
      }
      if (!v) throw nb::python_error();
      const int failed = PyDict_SetItem(dict.ptr(), keys_[c].ptr(), v);
      Py_DECREF(v);
      if (failed != 0) throw nb::python_error();
    }
    if (PyList_Append(list_.ptr(), dict.ptr()) != 0) throw nb::python_error();
  }
}

nb::object RowDicts::take() {
  if (!list_.is_valid()) {
    list_ = nb::steal(PyList_New(0));
    if (!list_.is_valid()) throw nb::python_error();
  }
  return std::move(list_);
}

RowDicts::RowDicts() = default;
RowDicts::~RowDicts() = default;

}  // namespace corvalt::py

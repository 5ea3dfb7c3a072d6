// A parsed JSON document as the host's objects, the way json.load builds
// them: the one converter for documents.
#include "common/convert.hpp"

#include <cstring>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"
#include "corvalt/text_hash.hpp"

namespace corvalt::py {

namespace {

PyObject* text_object(std::string_view s) {
  if (text::is_ascii(s)) {
    // The common case, without the decoder's set-up.
    PyObject* obj = PyUnicode_New(static_cast<Py_ssize_t>(s.size()), 127);
    if (obj) std::memcpy(PyUnicode_1BYTE_DATA(obj), s.data(), s.size());
    return obj;
  }
  return PyUnicode_DecodeUTF8(s.data(), static_cast<Py_ssize_t>(s.size()), "surrogatepass");
}

// The str of each distinct key, made once: open addressing over views into
// the document, by the core's hash of texts.
class KeyTable {
 public:
  KeyTable() : slots_(1024) {}
  ~KeyTable() {
    for (const Slot& slot : slots_) Py_XDECREF(slot.object);
  }
  KeyTable(const KeyTable&) = delete;
  KeyTable& operator=(const KeyTable&) = delete;

  // A new reference to the key's str.
  PyObject* get(std::string_view key) {
    const std::uint64_t h = hash_text(key);
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (!slot.object) {
        PyObject* obj = text_object(key);
        if (!obj) throw nb::python_error();
        slot = Slot{h, key, obj};
        if (++used_ * 2 > slots_.size()) grow();
        return Py_NewRef(obj);
      }
      if (slot.hash == h && slot.key == key) return Py_NewRef(slot.object);
    }
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::string_view key;
    PyObject* object = nullptr;
  };
  void grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (!slot.object) continue;
      std::size_t i = slot.hash & mask;
      while (slots_[i].object) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

class HostBuilder : public json::Visitor {
 public:
  ~HostBuilder() override {
    for (Frame& f : stack_) Py_XDECREF(f.key);
    Py_XDECREF(root_);
  }

  nb::object take() {
    PyObject* root = root_;
    root_ = nullptr;
    return nb::steal(root);
  }

  void null() override { add(Py_NewRef(Py_None)); }
  void boolean(bool b) override { add(Py_NewRef(b ? Py_True : Py_False)); }
  void integer(std::int64_t i) override { add(PyLong_FromLongLong(i)); }
  void big_integer(std::string_view digits) override {
    add(PyLong_FromString(std::string(digits).c_str(), nullptr, 10));
  }
  void real(double d) override { add(PyFloat_FromDouble(d)); }
  void text(std::string_view s) override { add(text_object(s)); }
  void begin_list(std::size_t size) override {
    PyObject* list = PyList_New(static_cast<Py_ssize_t>(size));
    open(list, true);
  }
  void end_list() override { stack_.pop_back(); }
  void begin_record(std::size_t size) override { open(presized_dict(size), false); }
  void key(std::string_view k) override { stack_.back().key = keys_.get(k); }
  void end_record() override { stack_.pop_back(); }

 private:
  struct Frame {
    PyObject* container;  // borrowed: its parent (or root_) holds it
    bool list;
    Py_ssize_t next = 0;
    PyObject* key = nullptr;  // owned, for the value that comes next
  };

  // Takes the new reference `obj` (null: the host's error is set).
  void add(PyObject* obj) {
    if (!obj) throw nb::python_error();
    if (stack_.empty()) {
      root_ = obj;
      return;
    }
    Frame& top = stack_.back();
    if (top.list) {
      PyList_SET_ITEM(top.container, top.next++, obj);
      return;
    }
    const int failed = PyDict_SetItem(top.container, top.key, obj);
    Py_DECREF(obj);
    Py_CLEAR(top.key);
    if (failed != 0) throw nb::python_error();
  }

  void open(PyObject* container, bool list) {
    add(container);  // its parent owns it from here on
    stack_.push_back(Frame{container, list});
  }

  PyObject* root_ = nullptr;
  std::vector<Frame> stack_;
  KeyTable keys_;
};

}  // namespace

nb::object document_to_python(const json::Document& document) {
  return walked_to_python([&document](json::Visitor& v) { document.walk(v); });
}

nb::object walked_to_python(const std::function<void(json::Visitor&)>& walk) {
  GcPause pause;
  HostBuilder builder;
  walk(builder);
  return builder.take();
}

}  // namespace corvalt::py

// Cyclic garbage collection for binding classes that hold Python objects.
//
// A class T that keeps host objects (the values it hands back, the AI
// object, dicts the host may change) takes part in the host's collector by
// providing two members
//
//   void traverse(GcVisitor& visit) const;  // visit(h) once per reference T owns
//   void clear();                           // drops those references
//
// and binding with nb::class_<T>(m, "Name", gc_slots<T>(), ...).
//
// traverse() must visit exactly the references T owns: visiting one that is
// shared with something else (the process-wide Models adapter, say) would let
// the collector free an object that is still in use. clear() runs only on
// garbage, but finalizers of other objects in the same cycle may still call
// the instance afterwards, so it leaves every member valid (None rather than
// null where the code reads it).
#pragma once

#include <nanobind/nanobind.h>

namespace corvalt::py {

namespace nb = nanobind;

class GcVisitor {
 public:
  GcVisitor(visitproc visit, void* arg) noexcept : visit_(visit), arg_(arg) {}

  // Null handles are skipped; after a visit that answered non-zero (the
  // collector asking to stop) the rest are skipped too.
  void operator()(nb::handle obj) noexcept {
    if (result_ == 0 && obj.ptr()) result_ = visit_(obj.ptr(), arg_);
  }
  int result() const noexcept { return result_; }

 private:
  visitproc visit_;
  void* arg_;
  int result_ = 0;
};

namespace detail {

template <typename T>
int gc_traverse(PyObject* self, visitproc visit, void* arg) {
  // Instances of heap types hold a reference to their type.
  Py_VISIT(Py_TYPE(self));
  // Before __init__ has finished (or after it failed) there is no T to read.
  if (!nb::inst_ready(self)) return 0;
  GcVisitor visitor(visit, arg);
  nb::inst_ptr<T>(self)->traverse(visitor);
  return visitor.result();
}

template <typename T>
int gc_clear(PyObject* self) {
  if (nb::inst_ready(self)) nb::inst_ptr<T>(self)->clear();
  return 0;
}

template <typename T>
inline PyType_Slot gc_slot_table[] = {
    {Py_tp_traverse, reinterpret_cast<void*>(&gc_traverse<T>)},
    {Py_tp_clear, reinterpret_cast<void*>(&gc_clear<T>)},
    {0, nullptr},
};

}  // namespace detail

// The type slots that make T's instances visible to the collector.
template <typename T>
nb::type_slots gc_slots() {
  return nb::type_slots(detail::gc_slot_table<T>);
}

}  // namespace corvalt::py

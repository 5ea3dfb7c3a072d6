// The Python-side EchovaneService: the core service plus the host objects it
// hands back (verbose as passed, the AI object, and the Graph object and
// entry list of the loaded history, built once per history so that repeated
// reads return the same objects).
#pragma once

#include <nanobind/nanobind.h>

#include <memory>

#include "common/gc.hpp"
#include "corvalt/echovane.hpp"

namespace corvalt::py {

namespace nb = nanobind;

struct EchovanePy {
  EchovanePy();

  echovane::EchovaneService core;
  nb::object verbose = nb::bool_(false);
  nb::object mindloom = nb::none();  // kept for the host; the core never sees it

  void set_verbose(nb::handle value);
  // Cyclic GC (common/gc.hpp): every Python reference the instance owns.
  void traverse(GcVisitor& visit) const;
  void clear();
  void load_history(const std::string& filename);
  // None before anything was loaded.
  nb::object graph_object();
  nb::object queries_object();

 private:
  // Drops the host objects when they belong to another history than the
  // core's. Holding that history keeps its address from being reused.
  void sync();
  std::shared_ptr<const echovane::History> shown_;
  nb::object graph_;
  nb::object queries_;
};

void bind_echovane_service(nb::module_& m);

}  // namespace corvalt::py

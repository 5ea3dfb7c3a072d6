#include "common/errors.hpp"

#include "common/convert.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/host.hpp"

namespace corvalt::py {

namespace {

nb::object python_class(const char* module, const char* name) {
  return nb::module_::import_(module).attr(name);
}

void set_error(nb::handle type, nb::handle value) { PyErr_SetObject(type.ptr(), value.ptr()); }

// A Python exception held by the core as an opaque cause.
struct PendingException {
  PyObject* type = nullptr;
  PyObject* value = nullptr;
  PyObject* traceback = nullptr;
  ~PendingException() {
    if (!type && !value && !traceback) return;
    nb::gil_scoped_acquire gil;
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(traceback);
  }
};

void translate(const std::exception_ptr& p, void*) {
  try {
    std::rethrow_exception(p);
  } catch (const Interrupted& e) {
    auto* pending = static_cast<PendingException*>(e.cause().get());
    if (pending && pending->type) {
      // The error indicator takes over the references.
      PyErr_Restore(pending->type, pending->value, pending->traceback);
      pending->type = pending->value = pending->traceback = nullptr;
    } else {
      PyErr_SetNone(PyExc_KeyboardInterrupt);
    }
  } catch (const KeyError& e) {
    set_error(PyExc_KeyError, to_python_text(e.key()));
  } catch (const NodeNotFound& e) {
    set_error(python_class("Corvalt.errors", "NodeNotFound"), to_python_text(e.node()));
  } catch (const JsonDecodeError& e) {
    // JSONDecodeError(msg, doc, pos) derives line and column from doc itself.
    nb::object cls = python_class("json", "JSONDecodeError");
    nb::object err = cls(to_python_text(e.msg()), to_python_text(e.doc()), e.pos());
    set_error(cls, err);
  } catch (const UnicodeDecodeError& e) {
    PyObject* err = PyUnicodeDecodeError_Create(
        "utf-8", e.data().data(), static_cast<Py_ssize_t>(e.data().size()),
        static_cast<Py_ssize_t>(e.start()), static_cast<Py_ssize_t>(e.end()), e.reason().c_str());
    if (err) {
      PyErr_SetObject(PyExc_UnicodeDecodeError, err);
      Py_DECREF(err);
    }
  } catch (const FileNotFoundError& e) {
    PyErr_SetString(PyExc_FileNotFoundError, e.what());
  } catch (const OsError& e) {
    PyErr_SetString(PyExc_OSError, e.what());
  } catch (const TypeError& e) {
    PyErr_SetString(PyExc_TypeError, e.what());
  } catch (const ValueError& e) {
    PyErr_SetString(PyExc_ValueError, e.what());
  } catch (const HostError& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  } catch (const Error& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  }
}

}  // namespace

std::shared_ptr<void> take_signal_exception() {
  if (PyErr_CheckSignals() == 0) return nullptr;
  auto pending = std::make_shared<PendingException>();
  PyErr_Fetch(&pending->type, &pending->value, &pending->traceback);
  return pending;
}

void register_errors(nb::module_& m) {
  nb::register_exception_translator(translate);
  m.attr("NodeNotFound") = python_class("Corvalt.errors", "NodeNotFound");
}

}  // namespace corvalt::py

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

// The whole message, NUL characters included.
void set_message(PyObject* type, const Error& e) {
  const std::string& m = e.message();
  PyObject* text = PyUnicode_DecodeUTF8(m.data(), static_cast<Py_ssize_t>(m.size()), "surrogatepass");
  if (!text) {
    PyErr_Clear();
    text = PyUnicode_DecodeUTF8(m.data(), static_cast<Py_ssize_t>(m.size()), "replace");
  }
  if (!text) return;  // the decoder's own error (out of memory) stands
  PyErr_SetObject(type, text);
  Py_DECREF(text);
}

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
    set_message(PyExc_FileNotFoundError, e);
  } catch (const OsError& e) {
    set_message(PyExc_OSError, e);
  } catch (const TypeError& e) {
    set_message(PyExc_TypeError, e);
  } catch (const ValueError& e) {
    set_message(PyExc_ValueError, e);
  } catch (const HostError& e) {
    set_message(PyExc_RuntimeError, e);
  } catch (const Error& e) {
    set_message(PyExc_RuntimeError, e);
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

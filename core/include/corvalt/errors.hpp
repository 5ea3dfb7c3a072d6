// Error kinds raised by the core. Each maps onto one host exception in the
// bindings (see bindings/common/errors.cpp); the core itself never sees Python.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>

namespace corvalt {

// Base of every core error; what() is the message the host shows.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The host asked the running work to stop (an interrupt signal arrived while
// a statement ran). Deliberately not an Error: no error guard of the core
// absorbs it. `cause` is the host's own exception (KeyboardInterrupt, say),
// opaque to the core; the bindings raise it again.
class Interrupted : public std::exception {
 public:
  explicit Interrupted(std::shared_ptr<void> cause = nullptr) : cause_(std::move(cause)) {}
  const char* what() const noexcept override { return "interrupted"; }
  const std::shared_ptr<void>& cause() const noexcept { return cause_; }

 private:
  std::shared_ptr<void> cause_;
};

// -> ValueError
class ValueError : public Error {
 public:
  using Error::Error;
};

// -> TypeError
class TypeError : public Error {
 public:
  using Error::Error;
};

// -> FileNotFoundError
class FileNotFoundError : public Error {
 public:
  using Error::Error;
};

// -> OSError (unreadable file, failed write, ...)
class OsError : public Error {
 public:
  using Error::Error;
};

// -> KeyError(key): a required key of a record is missing.
class KeyError : public Error {
 public:
  explicit KeyError(std::string key) : Error(key), key_(std::move(key)) {}
  const std::string& key() const noexcept { return key_; }

 private:
  std::string key_;
};

// -> json.JSONDecodeError(msg, doc, pos). Positions count code points, as
// the host's decoder counts them.
class JsonDecodeError : public ValueError {
 public:
  JsonDecodeError(std::string msg, std::string doc, std::size_t pos, std::size_t lineno,
                  std::size_t colno);
  const std::string& msg() const noexcept { return msg_; }
  const std::string& doc() const noexcept { return doc_; }
  std::size_t pos() const noexcept { return pos_; }
  std::size_t lineno() const noexcept { return lineno_; }
  std::size_t colno() const noexcept { return colno_; }

 private:
  std::string msg_, doc_;
  std::size_t pos_, lineno_, colno_;
};

// -> UnicodeDecodeError('utf-8', data, start, end, reason): text that is not
// valid UTF-8. `data` holds the offending bytes' surroundings as read.
class UnicodeDecodeError : public ValueError {
 public:
  UnicodeDecodeError(std::string data, std::size_t start, std::size_t end, std::string reason);
  const std::string& data() const noexcept { return data_; }
  std::size_t start() const noexcept { return start_; }
  std::size_t end() const noexcept { return end_; }
  const std::string& reason() const noexcept { return reason_; }

 private:
  std::string data_;
  std::size_t start_, end_;
  std::string reason_;
};

// -> the package's NodeNotFound (a KeyError subclass): a graph node id that
// is not in the graph.
class NodeNotFound : public Error {
 public:
  explicit NodeNotFound(std::string node);
  const std::string& node() const noexcept { return node_; }

 private:
  std::string node_;
};

}  // namespace corvalt

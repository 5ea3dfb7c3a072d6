// Every error the core raises, in one place. Each maps onto one host
// exception in the bindings (one switch: bindings/common/errors.cpp); the core
// itself never sees Python.
//
//   std::exception
//   ├── Interrupted            the host's own exception, raised again (KeyboardInterrupt)
//   └── Error                  RuntimeError; message() is the host's str() of the error
//       ├── ValueError         ValueError
//       │   ├── JsonDecodeError     json.JSONDecodeError(msg, doc, pos)
//       │   └── UnicodeDecodeError  UnicodeDecodeError('utf-8', data, start, end, reason)
//       ├── TypeError          TypeError
//       ├── KeyError           KeyError(key)
//       ├── FileNotFoundError  FileNotFoundError
//       ├── OsError            OSError (unreadable file, failed write, ...)
//       ├── NodeNotFound       Corvalt.NodeNotFound (a KeyError subclass)
//       ├── HostError          RuntimeError: a host object (the AI service, a ChatMessage,
//       │                      the SQLPrompt type) raised; message() is its str()
//       └── DatabaseError      reported inside query records, never raised to the host
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvalt {

// Base of every core error. message() is the whole text the host shows;
// what() stops at a NUL character, which a quoted statement may hold.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message), message_(message) {}
  const std::string& message() const noexcept { return message_; }

 private:
  std::string message_;
};

// The text the host shows for any exception: message() of an Error, else
// what().
std::string error_text(const std::exception& e);

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

class ValueError : public Error {
 public:
  using Error::Error;
};

class TypeError : public Error {
 public:
  using Error::Error;
};

class FileNotFoundError : public Error {
 public:
  using Error::Error;
};

class OsError : public Error {
 public:
  using Error::Error;
};

// A required key of a record is missing.
class KeyError : public Error {
 public:
  explicit KeyError(std::string key) : Error(key), key_(std::move(key)) {}
  const std::string& key() const noexcept { return key_; }

 private:
  std::string key_;
};

// Positions count code points, as the host's decoder counts them.
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

// Text that is not valid UTF-8. `data` holds the offending bytes'
// surroundings as read; the message is the host's ("'utf-8' codec can't
// decode byte 0xff in position 3: invalid start byte").
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

// A graph node id that is not in the graph.
class NodeNotFound : public Error {
 public:
  explicit NodeNotFound(std::string node);
  const std::string& node() const noexcept { return node_; }

 private:
  std::string node_;
};

class HostError : public Error {
 public:
  using Error::Error;
};

// A failure of the database or of reading a result; its message is what a
// query record's `execution_error` shows.
class DatabaseError : public Error {
 public:
  using Error::Error;
};

// The host's str() of a UTF-8 decoding failure of `data` between `start`
// and `end`.
std::string unicode_decode_text(std::string_view data, std::size_t start, std::size_t end,
                                std::string_view reason);

}  // namespace corvalt

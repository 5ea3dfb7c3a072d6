// JSON with the host's `json` module semantics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "corvalt/value.hpp"

namespace corvalt::json {

// json.loads(): integers and reals kept apart, NaN/Infinity/-Infinity
// accepted, a repeated key keeps its first position with the last value.
// Errors are JsonDecodeError worded and positioned as the host words them.
// `text` must be valid UTF-8.
Value parse(std::string_view text);

// Reads a whole file as UTF-8 and parses it. Throws OsError when it cannot be
// read, UnicodeDecodeError for bad UTF-8, JsonDecodeError for bad JSON.
Value parse_file(const std::string& path);

// What Document::walk reports, in document order: a container's begin, its
// members (a key before each value of a record) and its end.
class Visitor {
 public:
  virtual ~Visitor() = default;
  virtual void null() = 0;
  virtual void boolean(bool b) = 0;
  virtual void integer(std::int64_t i) = 0;
  // An integer beyond 64 bits, as its decimal digits (optional '-').
  virtual void big_integer(std::string_view digits) = 0;
  virtual void real(double d) = 0;
  virtual void text(std::string_view s) = 0;
  virtual void begin_list(std::size_t size) = 0;
  virtual void end_list() = 0;
  // `size` counts the members as written, a repeated key each time.
  virtual void begin_record(std::size_t size) = 0;
  virtual void key(std::string_view k) = 0;
  virtual void end_record() = 0;
};

// A parsed document that has not been turned into Values yet. A valid
// document is read by a fast SIMD reader into its compact form; one that
// reader refuses goes through the exact reader above, which either raises
// the host's error or (for what only the host accepts: NaN and Infinity,
// integers beyond 64 bits, lone surrogates, deep nesting) gives the Values.
// Either way the values, and any error, are parse()'s own.
class Document {
 public:
  // `text` as read (valid UTF-8, no newline translation needed).
  static std::shared_ptr<const Document> parse(std::string text);
  // parse_file(), up to the Values: the same errors.
  static std::shared_ptr<const Document> read_file(const std::string& path);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // The document as Values, exactly what parse() gives for its text.
  Value value() const;
  // Reports the document to `visitor`; a repeated key of a record is
  // reported each time (the host's dict keeps its first position and last
  // value). Safe to run on several threads at once.
  void walk(Visitor& visitor) const;
  // The top-level value is an object.
  bool is_record() const noexcept;
  // The fast reader read it (for tests).
  bool fast() const noexcept;

 private:
  struct Impl;
  explicit Document(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// json.dumps(value, indent=2): two-space indent, one element per line,
// ", "/": " separators, non-ASCII as \uXXXX escapes, no final line break.
std::string dump_indented(const Value& value);
// json.dumps(value): the compact one-line form used in prompts.
std::string dump_compact(const Value& value);

}  // namespace corvalt::json

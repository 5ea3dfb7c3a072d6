// JSON with the host's `json` module semantics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
  class Node;
  // `text` as read (valid UTF-8, no newline translation needed).
  static std::shared_ptr<const Document> parse(std::string text);
  // parse_file(), up to the Values: the same errors.
  static std::shared_ptr<const Document> read_file(const std::string& path);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // The document as Values, exactly what parse() gives for its text.
  Value value() const;
  // The top-level value, to read parts of the document without making Values
  // of the rest.
  Node root() const;
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

// One value inside a Document, valid while the document lives; cheap to copy.
// A record reads as the host's dict would: for a repeated key, the last value.
class Document::Node {
 public:
  Node() = default;
  // A node over Values held elsewhere, which must outlive it.
  static Node over(const Value& v) {
    Node n;
    n.exact_ = &v;
    return n;
  }
  // The kind value() gives (an integer beyond 64 bits is BigInt).
  Value::Kind kind() const noexcept;
  // The host's name of that type ("dict", "str", ...).
  const char* type_name() const noexcept;
  bool is_text() const noexcept { return kind() == Value::Kind::Text; }
  bool is_list() const noexcept { return kind() == Value::Kind::List; }
  bool is_record() const noexcept { return kind() == Value::Kind::Record; }
  // A text's characters (is_text()).
  std::string_view text() const;
  // A list's elements in order (is_list()).
  std::vector<Node> elements() const;
  // The same one by one, without a vector: fn(element).
  template <class Fn>
  void for_each_element(Fn&& fn) const {
    items([](void* f, const Node& v) { (*static_cast<Fn*>(f))(v); }, &fn);
  }
  // A record's members in order, each repeated key as often as written
  // (is_record()); fn(key, value).
  template <class Fn>
  void for_each_member(Fn&& fn) const {
    members([](void* f, std::string_view k, const Node& v) { (*static_cast<Fn*>(f))(k, v); }, &fn);
  }
  // A record's value under `key`, or false when it has none.
  bool find(std::string_view key, Node& out) const;
  // This value as Values.
  Value value() const;
  // Reports this value to `visitor`, as Document::walk reports a document.
  void walk(Visitor& visitor) const;

 private:
  friend class Document;
  void members(void (*fn)(void*, std::string_view, const Node&), void* context) const;
  void items(void (*fn)(void*, const Node&), void* context) const;
  const Value* exact_ = nullptr;  // the exact reader's value, or null
  // The fast reader's handle on the value (its tape position).
  alignas(8) unsigned char fast_[16] = {};
};

// json.dumps(value, indent=2): two-space indent, one element per line,
// ", "/": " separators, non-ASCII as \uXXXX escapes, no final line break.
std::string dump_indented(const Value& value);
// json.dumps(value): the compact one-line form used in prompts.
std::string dump_compact(const Value& value);
// json.dumps(text) appended to `out`: quoted, non-ASCII as \uXXXX escapes.
void append_string(std::string& out, std::string_view text);

}  // namespace corvalt::json

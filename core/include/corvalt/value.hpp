// The value model shared by every service: null, bool, integer, real, text,
// bytes, list and insertion-ordered record. Lists and records are held by
// shared pointer, so one record can stand under several keys of a result and a
// record handed in by the host can be updated in place.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace corvalt {

class Value;
class Record;
using List = std::vector<Value>;
using ListPtr = std::shared_ptr<List>;
using RecordPtr = std::shared_ptr<Record>;

// An integer too large for 64 bits, kept as its decimal digits (JSON allows it
// and the host's int is unbounded).
struct BigInt {
  std::string digits;  // optional '-' then decimal digits
  bool operator==(const BigInt&) const = default;
};

// Raw bytes (an SQLite BLOB).
struct Bytes {
  std::string data;
  bool operator==(const Bytes&) const = default;
};

class Value {
 public:
  enum class Kind { Null, Bool, Int, BigInt, Real, Text, Bytes, List, Record };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : v_(b) {}
  Value(int i) : v_(static_cast<std::int64_t>(i)) {}
  Value(std::int64_t i) : v_(i) {}
  Value(std::size_t i) : v_(static_cast<std::int64_t>(i)) {}
  Value(double d) : v_(d) {}
  Value(BigInt b) : v_(std::move(b)) {}
  Value(Bytes b) : v_(std::move(b)) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::in_place_type<std::string>, s) {}
  Value(const char* s) : v_(std::in_place_type<std::string>, s) {}
  Value(ListPtr l) : v_(std::move(l)) {}
  Value(RecordPtr r) : v_(std::move(r)) {}
  Value(List l);
  Value(Record r);
  Kind kind() const noexcept { return static_cast<Kind>(v_.index()); }
  bool is_null() const noexcept { return kind() == Kind::Null; }
  bool is_bool() const noexcept { return kind() == Kind::Bool; }
  bool is_int() const noexcept { return kind() == Kind::Int; }
  bool is_real() const noexcept { return kind() == Kind::Real; }
  bool is_text() const noexcept { return kind() == Kind::Text; }
  bool is_list() const noexcept { return kind() == Kind::List; }
  bool is_record() const noexcept { return kind() == Kind::Record; }
  // int, big int or real (bool excluded, unlike the host's numbers.Number).
  bool is_number() const noexcept {
    auto k = kind();
    return k == Kind::Int || k == Kind::BigInt || k == Kind::Real;
  }

  bool as_bool() const { return std::get<bool>(v_); }
  std::int64_t as_int() const { return std::get<std::int64_t>(v_); }
  double as_real() const { return std::get<double>(v_); }
  const BigInt& as_bigint() const { return std::get<BigInt>(v_); }
  const Bytes& as_bytes() const { return std::get<Bytes>(v_); }
  const std::string& as_text() const { return std::get<std::string>(v_); }
  List& as_list() const { return *std::get<ListPtr>(v_); }
  Record& as_record() const { return *std::get<RecordPtr>(v_); }
  const ListPtr& list_ptr() const { return std::get<ListPtr>(v_); }
  const RecordPtr& record_ptr() const { return std::get<RecordPtr>(v_); }

  // Python truth: None, False, 0, 0.0, "", b"", [] and {} are false.
  bool truthy() const;

  // Name of the kind as the host spells its type ("str", "int", "dict", ...).
  const char* type_name() const noexcept;

  // Deep comparison with the host's == rules (1 == 1.0 == True, nan != nan).
  friend bool operator==(const Value& a, const Value& b);

 private:
  std::variant<std::monostate, bool, std::int64_t, BigInt, double, std::string, Bytes, ListPtr,
               RecordPtr>
      v_;
};

// Insertion-ordered string-keyed map with the host's dict semantics: setting an
// existing key replaces its value in place and keeps its position.
class Record {
 public:
  using Item = std::pair<std::string, Value>;
  using iterator = std::vector<Item>::iterator;
  using const_iterator = std::vector<Item>::const_iterator;

  Record() = default;
  Record(std::initializer_list<Item> items);
  Record(const Record& other) : items_(other.items_) {}
  Record(Record&&) noexcept = default;
  Record& operator=(const Record& other);
  Record& operator=(Record&&) noexcept = default;

  std::size_t size() const noexcept { return items_.size(); }
  bool empty() const noexcept { return items_.empty(); }
  iterator begin() noexcept { return items_.begin(); }
  iterator end() noexcept { return items_.end(); }
  const_iterator begin() const noexcept { return items_.begin(); }
  const_iterator end() const noexcept { return items_.end(); }
  const Item& item(std::size_t i) const { return items_[i]; }

  const Value* find(std::string_view key) const;
  Value* find(std::string_view key);
  bool contains(std::string_view key) const { return find(key) != nullptr; }
  // Required key: throws KeyError(key) when absent.
  const Value& at(std::string_view key) const;
  Value& at(std::string_view key);
  // Optional key: the fallback when absent.
  const Value& get(std::string_view key, const Value& fallback) const;

  // Inserts at the end, or replaces in place keeping the position.
  Value& set(std::string_view key, Value value);
  // Appends without looking for the key (the caller knows it is new).
  // Inline, and a literal key is made in place (always inlined, so that its
  // length is known where it is written): builders call it for every
  // attribute of tens of thousands of records.
  void append_new(std::string key, Value value) {
    items_.emplace_back(std::move(key), std::move(value));
    index_last();
  }
  [[gnu::always_inline]] void append_new(const char* key, Value&& value) {
    const std::string_view k(key);
    items_.emplace_back(std::piecewise_construct, std::forward_as_tuple(k.data(), k.size()),
                        std::forward_as_tuple(std::move(value)));
    index_last();
  }
  // A value copied straight into its place.
  [[gnu::always_inline]] void append_new(const char* key, const Value& value) {
    const std::string_view k(key);
    items_.emplace_back(std::piecewise_construct, std::forward_as_tuple(k.data(), k.size()),
                        std::forward_as_tuple(value));
    index_last();
  }
  void reserve(std::size_t n) { items_.reserve(n); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept {
      return std::hash<std::string_view>{}(s);
    }
  };
  using Index = std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>>;
  void build_index() const;
  void index_last() {
    if (index_) index_->emplace(items_.back().first, static_cast<std::uint32_t>(items_.size() - 1));
  }
  static constexpr std::size_t kIndexFrom = 12;

  std::vector<Item> items_;
  // Built lazily for large records; small ones (nearly all) are scanned and
  // carry only the empty pointer.
  mutable std::unique_ptr<Index> index_;
};

inline RecordPtr make_record() { return std::make_shared<Record>(); }
inline RecordPtr make_record(Record r) { return std::make_shared<Record>(std::move(r)); }
inline ListPtr make_list() { return std::make_shared<List>(); }
inline ListPtr make_list(List l) { return std::make_shared<List>(std::move(l)); }

// Text forms as the host prints them.
// str(): text unchanged, everything else as repr().
std::string to_str(const Value& v);
// repr(): None, True/False, decimal integers, shortest round-trip reals
// (1.0, 1e-05, 1e+16, nan, inf), quoted text, [..] lists and {..} records.
std::string to_repr(const Value& v);
// repr() of one real.
std::string real_repr(double d);
// "%.2f" of a real, rounding as the host does (exact binary value, half to even).
std::string two_decimals(double d);

}  // namespace corvalt

#include "corvalt/value.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"

namespace corvalt {

Value::Value(List l) : v_(std::make_shared<List>(std::move(l))) {}
Value::Value(Record r) : v_(std::make_shared<Record>(std::move(r))) {}

bool Value::truthy() const {
  switch (kind()) {
    case Kind::Null: return false;
    case Kind::Bool: return as_bool();
    case Kind::Int: return as_int() != 0;
    case Kind::BigInt: return true;  // never zero: zero fits in 64 bits
    case Kind::Real: return as_real() != 0.0;
    case Kind::Text: return !as_text().empty();
    case Kind::Bytes: return !as_bytes().data.empty();
    case Kind::List: return !as_list().empty();
    case Kind::Record: return !as_record().empty();
  }
  return false;
}

const char* Value::type_name() const noexcept {
  switch (kind()) {
    case Kind::Null: return "NoneType";
    case Kind::Bool: return "bool";
    case Kind::Int:
    case Kind::BigInt: return "int";
    case Kind::Real: return "float";
    case Kind::Text: return "str";
    case Kind::Bytes: return "bytes";
    case Kind::List: return "list";
    case Kind::Record: return "dict";
  }
  return "object";
}

namespace {

// Numeric view used for cross-kind comparison (bool and int compare as
// numbers with float, as in the host).
bool as_double(const Value& v, double& out) {
  switch (v.kind()) {
    case Value::Kind::Bool: out = v.as_bool() ? 1.0 : 0.0; return true;
    case Value::Kind::Int: out = static_cast<double>(v.as_int()); return true;
    case Value::Kind::Real: out = v.as_real(); return true;
    default: return false;
  }
}

bool is_integral(const Value& v) {
  return v.kind() == Value::Kind::Bool || v.kind() == Value::Kind::Int;
}

std::int64_t integral(const Value& v) {
  return v.kind() == Value::Kind::Bool ? (v.as_bool() ? 1 : 0) : v.as_int();
}

}  // namespace

bool operator==(const Value& a, const Value& b) {
  using K = Value::Kind;
  if (is_integral(a) && is_integral(b)) return integral(a) == integral(b);
  double x, y;
  if (as_double(a, x) && as_double(b, y)) {
    // int vs float: exact comparison, as the host compares them
    if (a.is_int() && b.is_real()) return std::isfinite(y) && y == std::trunc(y) &&
                                          y >= -9.3e18 && y <= 9.3e18 &&
                                          static_cast<long double>(a.as_int()) == y;
    if (b.is_int() && a.is_real()) return b == a;
    return x == y;
  }
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case K::Null: return true;
    case K::BigInt: return a.as_bigint() == b.as_bigint();
    case K::Text: return a.as_text() == b.as_text();
    case K::Bytes: return a.as_bytes() == b.as_bytes();
    case K::List: {
      const List& la = a.as_list();
      const List& lb = b.as_list();
      if (&la == &lb) return true;
      if (la.size() != lb.size()) return false;
      for (std::size_t i = 0; i < la.size(); ++i)
        if (!(la[i] == lb[i])) return false;
      return true;
    }
    case K::Record: {
      const Record& ra = a.as_record();
      const Record& rb = b.as_record();
      if (&ra == &rb) return true;
      if (ra.size() != rb.size()) return false;
      for (const auto& [key, value] : ra) {
        const Value* other = rb.find(key);
        if (!other || !(value == *other)) return false;
      }
      return true;
    }
    default: return false;
  }
}

// ---------------------------------------------------------------- Record --

Record::Record(std::initializer_list<Item> items) {
  items_.reserve(items.size());
  for (const auto& item : items) set(item.first, item.second);
}

Record& Record::operator=(const Record& other) {
  if (this != &other) {
    items_ = other.items_;
    index_.reset();
  }
  return *this;
}

void Record::build_index() const {
  if (!index_) index_ = std::make_unique<Index>();
  index_->reserve(items_.size() * 2);
  for (std::size_t i = index_->size(); i < items_.size(); ++i)
    index_->emplace(items_[i].first, static_cast<std::uint32_t>(i));
}

const Value* Record::find(std::string_view key) const {
  if (items_.size() < kIndexFrom) {
    for (const auto& item : items_)
      if (item.first == key) return &item.second;
    return nullptr;
  }
  if (!index_ || index_->size() != items_.size()) build_index();
  auto it = index_->find(key);
  return it == index_->end() ? nullptr : &items_[it->second].second;
}

Value* Record::find(std::string_view key) {
  return const_cast<Value*>(static_cast<const Record*>(this)->find(key));
}

const Value& Record::at(std::string_view key) const {
  if (const Value* v = find(key)) return *v;
  throw KeyError(std::string(key));
}

Value& Record::at(std::string_view key) {
  if (Value* v = find(key)) return *v;
  throw KeyError(std::string(key));
}

const Value& Record::get(std::string_view key, const Value& fallback) const {
  const Value* v = find(key);
  return v ? *v : fallback;
}

Value& Record::set(std::string_view key, Value value) {
  if (Value* existing = find(key)) {
    *existing = std::move(value);
    return *existing;
  }
  items_.emplace_back(std::string(key), std::move(value));
  index_last();
  return items_.back().second;
}

// ------------------------------------------------------------ text forms --

std::string real_repr(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
  // Shortest round-trip digits, then laid out as the host's repr lays them
  // out: positional for exponents -4..15, scientific otherwise.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
  std::string sci(buf, res.ptr);
  bool negative = sci[0] == '-';
  std::size_t start = negative ? 1 : 0;
  std::size_t epos = sci.find('e');
  std::string digits;
  for (std::size_t i = start; i < epos; ++i)
    if (sci[i] != '.') digits += sci[i];
  int exp = std::stoi(sci.substr(epos + 1));
  std::string out = negative ? "-" : "";
  if (exp >= -4 && exp < 16) {
    if (exp < 0) {
      out += "0.";
      out.append(static_cast<std::size_t>(-exp - 1), '0');
      out += digits;
    } else {
      auto point = static_cast<std::size_t>(exp) + 1;
      if (digits.size() <= point) {
        out += digits;
        out.append(point - digits.size(), '0');
        out += ".0";
      } else {
        out += digits.substr(0, point);
        out += '.';
        out += digits.substr(point);
      }
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out += digits.substr(1);
    }
    char ebuf[16];
    std::snprintf(ebuf, sizeof ebuf, "e%c%02d", exp < 0 ? '-' : '+', exp < 0 ? -exp : exp);
    out += ebuf;
  }
  return out;
}

std::string two_decimals(double d) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.2f", d);
  return buf;
}

namespace {

void append_repr(std::string& out, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: out += "None"; break;
    case Value::Kind::Bool: out += v.as_bool() ? "True" : "False"; break;
    case Value::Kind::Int: out += std::to_string(v.as_int()); break;
    case Value::Kind::BigInt: out += v.as_bigint().digits; break;
    case Value::Kind::Real: out += real_repr(v.as_real()); break;
    case Value::Kind::Text: out += text::py_repr(v.as_text()); break;
    case Value::Kind::Bytes: {
      // bytes repr: b'...' with \xhh for non-printable ASCII
      const std::string& data = v.as_bytes().data;
      bool has_single = data.find('\'') != std::string::npos;
      bool has_double = data.find('"') != std::string::npos;
      char quote = has_single && !has_double ? '"' : '\'';
      out += 'b';
      out += quote;
      for (unsigned char c : data) {
        if (c == static_cast<unsigned char>(quote) || c == '\\') {
          out += '\\';
          out += static_cast<char>(c);
        } else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c < 0x20 || c >= 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02x", c);
          out += buf;
        } else out += static_cast<char>(c);
      }
      out += quote;
      break;
    }
    case Value::Kind::List: {
      out += '[';
      bool first = true;
      for (const Value& item : v.as_list()) {
        if (!first) out += ", ";
        first = false;
        append_repr(out, item);
      }
      out += ']';
      break;
    }
    case Value::Kind::Record: {
      out += '{';
      bool first = true;
      for (const auto& [key, item] : v.as_record()) {
        if (!first) out += ", ";
        first = false;
        out += text::py_repr(key);
        out += ": ";
        append_repr(out, item);
      }
      out += '}';
      break;
    }
  }
}

}  // namespace

std::string to_repr(const Value& v) {
  std::string out;
  append_repr(out, v);
  return out;
}

std::string to_str(const Value& v) { return v.is_text() ? v.as_text() : to_repr(v); }

}  // namespace corvalt

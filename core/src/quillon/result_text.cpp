#include "corvalt/result_text.hpp"

#include <charconv>
#include <cmath>
#include <string_view>
#include <unordered_set>
#include <unordered_map>

#include "corvalt/json.hpp"

namespace corvalt::quillon {

std::vector<std::string> unique_column_names(const std::vector<std::string>& columns) {
  std::unordered_set<std::string> taken(columns.begin(), columns.end());
  std::unordered_map<std::string, long long> seen;  // name -> last number given
  std::vector<std::string> out;
  out.reserve(columns.size());
  for (const std::string& c : columns) {
    auto [it, first] = seen.try_emplace(c, 1);
    if (first) {
      out.push_back(c);
      continue;
    }
    std::string name;
    do name = c + "_" + std::to_string(++it->second);
    while (taken.count(name));
    taken.insert(name);
    out.push_back(std::move(name));
  }
  return out;
}

namespace {

const char kHexDigits[] = "0123456789abcdef";

void append_hex(std::string& out, const std::string& data) {
  const std::size_t at = out.size();
  out.resize(at + 2 * data.size());
  char* p = out.data() + at;
  for (unsigned char b : data) {
    *p++ = kHexDigits[b >> 4];
    *p++ = kHexDigits[b & 0xF];
  }
}

void append_int(std::string& out, std::int64_t i) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, i);
  out.append(buf, res.ptr);
}

void append_json_value(std::string& out, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: out += "null"; return;
    case Value::Kind::Int: append_int(out, v.as_int()); return;
    case Value::Kind::Text: json::append_string(out, v.as_text()); return;
    case Value::Kind::Real:
      if (std::isfinite(v.as_real()))
        out += real_repr(v.as_real());
      else
        out += "null";
      return;
    case Value::Kind::Bytes:
      out.push_back('"');
      append_hex(out, v.as_bytes().data);
      out.push_back('"');
      return;
    default: out += json::dump_compact(v); return;
  }
}

// Quoted when it holds the delimiter, the quote or the line terminator.
void append_csv_field(std::string& out, std::string_view s) {
  if (s.find_first_of(",\"\n") == std::string_view::npos) {
    out.append(s);
    return;
  }
  out.push_back('"');
  for (char c : s) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

void append_csv_value(std::string& out, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: return;
    case Value::Kind::Int: append_int(out, v.as_int()); return;
    case Value::Kind::Real: out += real_repr(v.as_real()); return;
    case Value::Kind::Bytes: append_hex(out, v.as_bytes().data); return;
    case Value::Kind::Text: append_csv_field(out, v.as_text()); return;
    default: append_csv_field(out, to_str(v)); return;
  }
}

bool is_empty_field(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: return true;
    case Value::Kind::Text: return v.as_text().empty();
    case Value::Kind::Bytes: return v.as_bytes().data.empty();
    default: return false;
  }
}

}  // namespace

RowText::RowText(Format format, const std::vector<std::string>& columns)
    : format_(format), names_(unique_column_names(columns)) {
  if (format_ != Format::kJson) return;
  keys_.reserve(names_.size());
  for (std::size_t c = 0; c < names_.size(); ++c) {
    std::string key = c == 0 ? "{" : ", ";
    json::append_string(key, names_[c]);
    key += ": ";
    keys_.push_back(std::move(key));
  }
}

void RowText::append(std::string& out, const Value* cells, std::size_t rows) const {
  const std::size_t width = names_.size();
  for (std::size_t r = 0; r < rows; ++r, cells += width) {
    if (format_ == Format::kJson) {
      if (r > 0) out += ", ";
      if (width == 0) out += "{";
      for (std::size_t c = 0; c < width; ++c) {
        out += keys_[c];
        append_json_value(out, cells[c]);
      }
      out.push_back('}');
      continue;
    }
    if (width == 1 && is_empty_field(cells[0])) {
      out += "\"\"\n";
      continue;
    }
    for (std::size_t c = 0; c < width; ++c) {
      if (c > 0) out.push_back(',');
      append_csv_value(out, cells[c]);
    }
    out.push_back('\n');
  }
}

}  // namespace corvalt::quillon

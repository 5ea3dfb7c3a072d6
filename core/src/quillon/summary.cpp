// Result summaries: the tabular library's default plain-text rendering of a
// result table (what its to_string() prints) and the sentences around it.
//
// How the rendering works:
// - A column's kind comes from all of its values (not only the rows shown):
//   integers only -> integer column; numbers with a real or a null ->
//   real column (nulls become NaN); booleans only -> boolean column;
//   anything else (text, bytes, all nulls, mixtures) -> object column.
// - Integer cells are " {d}", real cells " {:.6f}" with the zeros that all
//   shown numbers share trimmed (one decimal kept), switching to " {:.6e}" when
//   a shown value is below 1e-6 or when the fixed form grows longer than 12
//   characters while a value exceeds 1e6. Object cells are " " + str(value)
//   with tab, CR and LF escaped, None for null, reals as " {:.6f}" trimmed.
// - Labels are the escaped names with the leading blanks common to all of
//   them removed; numeric columns get one blank in front of the label.
// - Each column is as wide as its widest label or cell (in code points),
//   everything right-aligned; columns joined by one blank after the row
//   position column.
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "corvalt/quillon.hpp"
#include "corvalt/text.hpp"

namespace corvalt::quillon {

namespace {

// IntegerWithNulls: integers and NULLs only. The rows carry SQLite's exact
// integers, so the text shows them in decimal (NULLs as NaN) rather than as
// the reals a tabular reader would have made of them.
enum class Kind { Integer, IntegerWithNulls, Real, Boolean, Object };

// The kind of every column, from one pass over the cells in their order
// (a column at a time would stride across the whole table once per column).
std::vector<Kind> column_kinds(const ResultTable& table) {
  enum : unsigned { kInt = 1, kReal = 2, kNull = 4, kBool = 8, kOther = 16 };
  const std::size_t ncols = table.columns.size();
  std::vector<unsigned> seen(ncols, 0);
  const Value* cell = table.cells.data();
  for (std::size_t r = 0; r < table.row_count; ++r) {
    for (std::size_t c = 0; c < ncols; ++c, ++cell) {
      switch (cell->kind()) {
        case Value::Kind::Int: seen[c] |= kInt; break;
        case Value::Kind::Real: seen[c] |= kReal; break;
        case Value::Kind::Null: seen[c] |= kNull; break;
        case Value::Kind::Bool: seen[c] |= kBool; break;
        default: seen[c] |= kOther;
      }
    }
  }
  std::vector<Kind> kinds(ncols);
  for (std::size_t c = 0; c < ncols; ++c) {
    const unsigned s = seen[c];
    if (s & kOther)
      kinds[c] = Kind::Object;
    else if (s & kBool)
      kinds[c] = s & (kInt | kReal | kNull) ? Kind::Object : Kind::Boolean;
    else if (!(s & (kInt | kReal)))
      kinds[c] = Kind::Object;
    else if (s & kReal)
      kinds[c] = Kind::Real;
    else
      kinds[c] = s & kNull ? Kind::IntegerWithNulls : Kind::Integer;
  }
  return kinds;
}

std::string format_double(const char* format, double d) {
  char buf[512];
  int n = std::snprintf(buf, sizeof buf, format, d);
  if (n >= 0 && static_cast<std::size_t>(n) < sizeof buf) return std::string(buf, n);
  std::string out(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, d);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

// A blank or sign, digits, a decimal point and digits: what trimming touches.
bool is_number_with_decimal(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                          s[i] == '\f' || s[i] == '\v'))
    ++i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  if (i == digits || i >= s.size() || s[i] != '.') return false;
  ++i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  return i == s.size();
}

// Trims the trailing zeros that every number of the column has, keeping one
// digit after the decimal point.
void trim_common_zeros(std::vector<std::string>& cells) {
  for (;;) {
    bool any = false, all_zero = true;
    for (const std::string& c : cells) {
      if (!is_number_with_decimal(c)) continue;
      any = true;
      if (c.back() != '0') {
        all_zero = false;
        break;
      }
    }
    if (!any || !all_zero) break;
    for (std::string& c : cells)
      if (is_number_with_decimal(c)) c.pop_back();
  }
  for (std::string& c : cells)
    if (is_number_with_decimal(c) && c.back() == '.') c.push_back('0');
}

double as_double(const Value& v) {
  if (v.is_int()) return static_cast<double>(v.as_int());
  if (v.is_real()) return v.as_real();
  return std::nan("");
}

std::vector<std::string> format_real_column(const ResultTable& table, std::size_t column,
                                            std::size_t rows) {
  std::vector<double> values(rows);
  for (std::size_t r = 0; r < rows; ++r) values[r] = as_double(table.at(r, column));
  auto format_all = [&](const char* format) {
    std::vector<std::string> cells;
    cells.reserve(rows);
    for (double d : values) cells.push_back(std::isnan(d) ? "NaN" : format_double(format, d));
    trim_common_zeros(cells);
    return cells;
  };
  std::vector<std::string> cells = format_all("% .6f");
  std::size_t longest = 0;
  bool large = false, small = false;
  for (std::size_t r = 0; r < rows; ++r) {
    longest = std::max(longest, cells[r].size());
    double a = std::fabs(values[r]);
    if (a > 1e6) large = true;
    if (a < 1e-6 && a > 0) small = true;
  }
  if (small || (longest > 12 && large)) cells = format_all("% .6e");
  return cells;
}

// str() of a real inside an object column: fixed six decimals, trailing
// zeros trimmed.
std::string object_real(double d) {
  if (std::isnan(d)) return " NaN";
  std::string s = format_double("% .6f", d);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.push_back('0');
  return s;
}

// " " + s, spelled out (GCC 12 warns falsely about operator+ here).
std::string blank_then(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 1);
  out += ' ';
  out += s;
  return out;
}

std::string escape_controls(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string object_cell(const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null: return " None";
    case Value::Kind::Real: return object_real(v.as_real());
    case Value::Kind::Text: return blank_then(escape_controls(v.as_text()));
    default: return blank_then(escape_controls(to_str(v)));
  }
}

std::vector<std::string> format_column(const ResultTable& table, std::size_t column, Kind kind,
                                       std::size_t rows) {
  std::vector<std::string> cells;
  switch (kind) {
    case Kind::Real: return format_real_column(table, column, rows);
    case Kind::Integer:
    case Kind::IntegerWithNulls:
      for (std::size_t r = 0; r < rows; ++r) {
        const Value& v = table.at(r, column);
        if (v.is_null()) {
          cells.push_back(" NaN");
          continue;
        }
        std::int64_t i = v.as_int();
        cells.push_back(i < 0 ? std::to_string(i) : blank_then(std::to_string(i)));
      }
      return cells;
    case Kind::Boolean:
      for (std::size_t r = 0; r < rows; ++r)
        cells.push_back(table.at(r, column).as_bool() ? " True" : " False");
      return cells;
    case Kind::Object:
      for (std::size_t r = 0; r < rows; ++r) cells.push_back(object_cell(table.at(r, column)));
      return cells;
  }
  return cells;
}

// The column labels: escaped names, each with a blank in front, then the
// blanks that all of them start with removed while none is empty.
std::vector<std::string> column_labels(const std::vector<std::string>& names) {
  std::vector<std::string> labels;
  labels.reserve(names.size());
  for (const std::string& name : names) labels.push_back(blank_then(escape_controls(name)));
  std::size_t cut = 0;
  for (;;) {
    bool all = !labels.empty();
    for (const std::string& label : labels)
      if (label.size() <= cut || label[cut] != ' ') all = false;
    if (!all) break;
    ++cut;
  }
  for (std::string& label : labels) label.erase(0, cut);
  return labels;
}

void pad_left(std::string& out, std::string_view s, std::size_t width) {
  std::size_t len = text::length(s);
  if (len < width) out.append(width - len, ' ');
  out.append(s);
}

}  // namespace

std::string render_rows(const ResultTable& table, std::size_t rows) {
  if (rows > table.row_count) rows = table.row_count;
  const std::size_t ncols = table.columns.size();

  const std::vector<Kind> kinds = column_kinds(table);

  // A numeric column's label gets a leading blank; among columns with the
  // same label, the last one decides.
  std::vector<std::string> labels = column_labels(table.columns);
  std::vector<std::string> headers(ncols);
  for (std::size_t c = 0; c < ncols; ++c) {
    bool numeric = false;
    for (std::size_t d = 0; d < ncols; ++d)
      if (labels[d] == labels[c]) numeric = kinds[d] != Kind::Object;
    headers[c] = numeric ? blank_then(labels[c]) : labels[c];
  }

  std::vector<std::vector<std::string>> cells(ncols);
  std::vector<std::size_t> widths(ncols);
  for (std::size_t c = 0; c < ncols; ++c) {
    cells[c] = format_column(table, c, kinds[c], rows);
    std::size_t w = text::length(headers[c]);
    for (const std::string& cell : cells[c]) w = std::max(w, text::length(cell));
    widths[c] = w;
  }

  std::vector<std::string> positions(rows);
  std::size_t position_width = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    positions[r] = std::to_string(r);
    position_width = std::max(position_width, positions[r].size());
  }

  std::string out;
  out.append(position_width, ' ');
  for (std::size_t c = 0; c < ncols; ++c) {
    out += ' ';
    pad_left(out, headers[c], widths[c]);
  }
  for (std::size_t r = 0; r < rows; ++r) {
    out += '\n';
    out += positions[r];
    out.append(position_width - positions[r].size(), ' ');
    for (std::size_t c = 0; c < ncols; ++c) {
      out += ' ';
      pad_left(out, cells[c][r], widths[c]);
    }
  }
  return out;
}

std::string generate_result_summary(const ResultTable& table) {
  if (table.row_count == 0 || table.columns.empty()) return kNoResults;
  std::string out = "Query returned " + std::to_string(table.row_count) + " row(s) with " +
                    std::to_string(table.columns.size()) + " column(s).";
  if (table.row_count <= 5) {
    out += "\n\nResults:\n";
    out += render_rows(table, table.row_count);
  } else {
    out += "\n\nSample of first 3 rows:\n";
    out += render_rows(table, 3);
    out += "\n...\n(plus " + std::to_string(table.row_count - 3) + " more rows)";
  }
  return out;
}

ResultTable table_from_rows(const List& rows, const std::vector<std::string>* columns,
                            const char* function) {
  const std::string fn = function;
  ResultTable table;
  if (columns) {
    table.columns = *columns;
  } else if (!rows.empty() && rows[0].is_record()) {
    for (const auto& [key, value] : rows[0].as_record()) table.columns.push_back(key);
  } else if (!rows.empty()) {
    throw TypeError(fn + "() needs 'columns' when rows are not dicts");
  }
  const std::size_t ncols = table.columns.size();
  table.cells.reserve(rows.size() * ncols);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Value& row = rows[i];
    if (row.is_record()) {
      for (const std::string& name : table.columns)
        table.cells.push_back(row.as_record().get(name, Value()));
    } else if (row.is_list()) {
      const List& values = row.as_list();
      if (values.size() != ncols)
        throw ValueError(fn + "() row " + std::to_string(i) + " has " +
                         std::to_string(values.size()) + " values for " + std::to_string(ncols) +
                         " columns");
      table.cells.insert(table.cells.end(), values.begin(), values.end());
    } else {
      throw TypeError(fn + "() rows must be dicts, lists or tuples, not " + row.type_name());
    }
    ++table.row_count;
  }
  return table;
}

}  // namespace corvalt::quillon

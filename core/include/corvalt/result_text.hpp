// A statement's rows as the text the command writes them in: JSON row
// objects or CSV lines, made straight from the result's cells.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "corvalt/value.hpp"

namespace corvalt::quillon {

// The result's column names with each repeat numbered (status, status_2,
// ...), skipping any name the result already has, so that every column keeps
// its own place and value.
std::vector<std::string> unique_column_names(const std::vector<std::string>& columns);

class RowText {
 public:
  enum class Format { kJson, kCsv };

  // `columns` as the statement names them; the rows are written under their
  // unique names.
  RowText(Format format, const std::vector<std::string>& columns);

  const std::vector<std::string>& names() const { return names_; }

  // Appends `rows` rows of `names().size()` cells each, row-major:
  // - JSON: each row an object {"name": value, ...} in column order, rows
  //   separated by ", " (json.dumps of the list of rows, without its
  //   brackets). Blobs are lowercase hex text; NaN and the infinities null.
  // - CSV: each row a line ending in "\n", in the default (excel) dialect:
  //   a field holding a comma, a quote or a line break is quoted, its quotes
  //   doubled; NULL is an empty field, a blob its hex, a real its shortest
  //   round-trip form (inf, -inf, nan as such); a row of one empty field is
  //   written "" so that it is not an empty line.
  void append(std::string& out, const Value* cells, std::size_t rows) const;

 private:
  Format format_;
  std::vector<std::string> names_;
  std::vector<std::string> keys_;  // JSON: "{\"name\": " for the first, ", \"name\": " after
};

}  // namespace corvalt::quillon

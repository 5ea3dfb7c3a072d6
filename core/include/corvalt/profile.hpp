// Column statistics computed from the data: a metadata document's columns
// profiled against the SQLite database it describes.
#pragma once

#include <cstddef>
#include <string>

#include "corvalt/value.hpp"

namespace corvalt::atlanor {

struct ProfileOptions {
  // A text column with at most this many distinct values gets `top_values`.
  std::size_t top_values_up_to = 50;
};

// The metadata document at `metadata_file` with each column's `statistics`
// computed from the database at `database` (opened read-only):
// `null_count`, `distinct_count`, `min` and `max`, `avg` for numeric
// columns, and `top_values` (most frequent first, each {"value", "count"})
// for text columns with few distinct values. Keys the document's statistics
// already had and that are not computed stay; everything else in the
// document is unchanged. Tables or columns the database lacks are left as
// they are. Throws what reading the document throws, and DatabaseError when
// the database cannot be opened.
Value profile_metadata(const std::string& metadata_file, const std::string& database,
                       const ProfileOptions& options = ProfileOptions());

}  // namespace corvalt::atlanor

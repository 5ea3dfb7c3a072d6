// Atlanor.profile_metadata(): a metadata document's column statistics
// computed from its database (`corvalt profile`).
#include "atlanor/atlanor_py.hpp"
#include "common/args.hpp"
#include "common/convert.hpp"
#include "corvalt/profile.hpp"

namespace corvalt::py {

void bind_profile(nb::module_& m) {
  m.def(
      "profile_metadata",
      [](nb::handle metadata_file, nb::handle database) {
        const std::string metadata = arg_str(metadata_file, "profile_metadata", "metadata_file");
        const std::string db = arg_str(database, "profile_metadata", "database");
        return to_python(atlanor::profile_metadata(metadata, db));
      },
      nb::arg("metadata_file"), nb::arg("database"),
      nb::sig("def profile_metadata(metadata_file: str, database: str) -> Record"),
      "The metadata document with each column's statistics computed from the SQLite database "
      "(opened read-only): null_count, distinct_count, min, max, avg for numbers, and top_values "
      "(most frequent first, each value with its count) for text columns with at most 50 "
      "distinct values. Everything else is as the document has it.");
}

}  // namespace corvalt::py

// Helpers shared by the service's source files.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "corvalt/errors.hpp"
#include "corvalt/value.hpp"

namespace corvalt::quillon {

// os.path.exists(): a file or directory is there (symlinks followed).
bool path_exists(const std::string& path);

// record.get(key, fallback) where the value must be a record (TypeError
// naming `what` otherwise); null when absent.
const Record* optional_record(const Record& record, std::string_view key, const char* what);
// record.get(key, []) where the value must be a list; null when absent.
const List* optional_list(const Record& record, std::string_view key, const char* what);

// The context record's database_objects.tables / .columns and top-level
// relationships (absent: empty, so null).
const List* context_tables(const Record& db_context);
const List* context_columns(const Record& db_context);
const List* context_relationships(const Record& db_context);

// An element of one of those lists, which must be a record.
const Record& entry_record(const Value& v, const char* what);

// The query record ran: it holds a true `success`.
inline bool succeeded(const Record& r) {
  const Value* v = r.find("success");
  return v && v->truthy();
}

}  // namespace corvalt::quillon

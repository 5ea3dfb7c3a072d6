// Built-in functions that make a large value in one call (hex, zeroblob,
// randomblob, upper, lower), answered as SQLite answers them but refusing to
// start once the statement is past its deadline. SQLite looks at the
// deadline only where a statement loops, so one row of hundreds of such
// calls ran for seconds past it; now at most one call does.
#include <sqlite3.h>

#include <cstdlib>
#include <string>

#include "sqlite_database.hpp"

namespace corvalt::quillon {

namespace {

bool late(sqlite3_context* ctx) {
  if (!static_cast<SqliteDatabase*>(sqlite3_user_data(ctx))->deadline_passed()) return false;
  sqlite3_result_error(ctx, "interrupted", -1);
  return true;
}

sqlite3_int64 length_limit(sqlite3_context* ctx) {
  return sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1);
}

void bounded_hex(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (late(ctx)) return;
  const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(argv[0]));
  const sqlite3_int64 n = sqlite3_value_bytes(argv[0]);
  if (2 * n > length_limit(ctx)) return sqlite3_result_error_toobig(ctx);
  static const char digits[] = "0123456789ABCDEF";
  std::string out(static_cast<std::size_t>(2 * n), '\0');
  for (sqlite3_int64 i = 0; i < n; ++i) {
    out[static_cast<std::size_t>(2 * i)] = digits[bytes[i] >> 4];
    out[static_cast<std::size_t>(2 * i + 1)] = digits[bytes[i] & 15];
  }
  sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void bounded_zeroblob(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (late(ctx)) return;
  sqlite3_int64 n = sqlite3_value_int64(argv[0]);
  if (n < 0) n = 0;
  if (const int rc = sqlite3_result_zeroblob64(ctx, static_cast<sqlite3_uint64>(n)); rc != SQLITE_OK)
    sqlite3_result_error_code(ctx, rc);
}

void bounded_randomblob(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (late(ctx)) return;
  sqlite3_int64 n = sqlite3_value_int64(argv[0]);
  if (n < 1) n = 1;
  if (n > length_limit(ctx)) return sqlite3_result_error_toobig(ctx);
  void* p = sqlite3_malloc64(static_cast<sqlite3_uint64>(n));
  if (!p) return sqlite3_result_error_nomem(ctx);
  sqlite3_randomness(static_cast<int>(n), p);
  sqlite3_result_blob64(ctx, p, static_cast<sqlite3_uint64>(n), sqlite3_free);
}

// upper() and lower() change ASCII letters only, as SQLite's own do
// (without ICU).
template <bool Upper>
void bounded_case(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (late(ctx)) return;
  const unsigned char* text = sqlite3_value_text(argv[0]);
  if (!text) return;
  std::string out(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
  for (char& c : out) {
    if (Upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (!Upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  sqlite3_result_text64(ctx, out.data(), out.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

}  // namespace

bool register_bounded_values(sqlite3* db, SqliteDatabase* self) {
  struct Function {
    const char* name;
    void (*call)(sqlite3_context*, int, sqlite3_value**);
  };
  const bool icu = sqlite3_compileoption_used("ENABLE_ICU") != 0;  // then upper/lower know Unicode
  for (const Function& f : {Function{"hex", &bounded_hex}, Function{"zeroblob", &bounded_zeroblob},
                            Function{"randomblob", &bounded_randomblob}, Function{"upper", &bounded_case<true>},
                            Function{"lower", &bounded_case<false>}}) {
    if (icu && (std::string_view(f.name) == "upper" || std::string_view(f.name) == "lower")) continue;
    const int flags = SQLITE_UTF8 | (std::string_view(f.name) == "randomblob" ? 0 : SQLITE_DETERMINISTIC);
    if (sqlite3_create_function_v2(db, f.name, 1, flags, self, f.call, nullptr, nullptr, nullptr) != SQLITE_OK)
      return false;
  }
  return true;
}

}  // namespace corvalt::quillon

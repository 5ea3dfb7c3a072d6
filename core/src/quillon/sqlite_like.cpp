// LIKE and GLOB with the same answers as SQLite's, but looking at the
// statement's deadline while they match: a long text and a long pattern of
// wildcards take one call of minutes, where SQLite polls nothing.
//
// The pattern becomes a list of tokens (any run, any one character, a
// character class, a literal), matched by the usual greedy walk that goes
// back to the last run wildcard on a mismatch: at most text x pattern steps.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sqlite_database.hpp"

namespace corvalt::quillon {

namespace {

// Reads one code point as SQLite does (a malformed sequence still moves on).
char32_t read_utf8(const unsigned char*& p, const unsigned char* end) {
  char32_t c = *p++;
  if (c < 0xc0) return c;
  int more = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : 1;
  c &= more == 3 ? 0x07 : more == 2 ? 0x0f : 0x1f;
  while (more-- > 0 && p < end && (*p & 0xc0) == 0x80) c = (c << 6) | (*p++ & 0x3f);
  return c;
}

char32_t fold_ascii(char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

struct Token {
  enum Kind : std::uint8_t { kRun, kOne, kLiteral, kClass } kind;
  char32_t literal = 0;
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges{};  // a class's characters

  bool matches(char32_t c, bool fold) const {
    switch (kind) {
      case kOne: return true;
      case kLiteral: return fold ? fold_ascii(literal) == fold_ascii(c) : literal == c;
      case kClass: {
        bool in = false;
        for (const auto& [lo, hi] : ranges) in = in || (c >= lo && c <= hi);
        return in != negated;
      }
      default: return false;
    }
  }
};

// LIKE: % and _, with an escape character that makes the next one literal.
// A pattern ending in the escape character matches nothing: false then.
bool like_tokens(const unsigned char* p, const unsigned char* end, char32_t escape, bool has_escape,
                 std::vector<Token>& out) {
  while (p < end) {
    char32_t c = read_utf8(p, end);
    if (has_escape && c == escape) {
      if (p >= end) return false;
      out.push_back(Token{Token::kLiteral, read_utf8(p, end)});
    } else if (c == '%') {
      if (out.empty() || out.back().kind != Token::kRun) out.push_back(Token{Token::kRun});
    } else if (c == '_') {
      out.push_back(Token{Token::kOne});
    } else {
      out.push_back(Token{Token::kLiteral, c});
    }
  }
  return true;
}

// GLOB: *, ? and [...] classes ([^...] negated, a-z ranges, ] first is literal).
// An unclosed class matches nothing; false then.
bool glob_tokens(const unsigned char* p, const unsigned char* end, std::vector<Token>& out) {
  while (p < end) {
    char32_t c = read_utf8(p, end);
    if (c == '*') {
      if (out.empty() || out.back().kind != Token::kRun) out.push_back(Token{Token::kRun});
    } else if (c == '?') {
      out.push_back(Token{Token::kOne});
    } else if (c == '[') {
      Token t{Token::kClass};
      if (p < end && *p == '^') {
        t.negated = true;
        ++p;
      }
      if (p < end && *p == ']') {
        t.ranges.emplace_back(']', ']');
        ++p;
      }
      bool closed = false;
      char32_t prior = 0;
      while (p < end) {
        char32_t d = read_utf8(p, end);
        if (d == ']') {
          closed = true;
          break;
        }
        if (d == '-' && prior && p < end && *p != ']') {
          char32_t hi = read_utf8(p, end);
          t.ranges.back().second = hi;
          prior = 0;
          continue;
        }
        t.ranges.emplace_back(d, d);
        prior = d;
      }
      if (!closed) return false;
      out.push_back(std::move(t));
    } else {
      out.push_back(Token{Token::kLiteral, c});
    }
  }
  return true;
}

// The greedy walk; -1 when the deadline passed.
int match(const std::vector<Token>& pattern, const unsigned char* text, const unsigned char* end, bool fold,
          SqliteDatabase* db) {
  constexpr std::size_t kCheckEvery = 1 << 22;
  std::size_t steps = 0;
  std::size_t i = 0;
  std::size_t star = SIZE_MAX;
  const unsigned char* mark = nullptr;
  const unsigned char* s = text;
  while (s < end) {
    if (++steps == kCheckEvery) {
      steps = 0;
      if (db->deadline_passed()) return -1;
    }
    const unsigned char* next = s;
    const char32_t c = read_utf8(next, end);
    if (i < pattern.size() && pattern[i].kind != Token::kRun && pattern[i].matches(c, fold)) {
      ++i;
      s = next;
    } else if (i < pattern.size() && pattern[i].kind == Token::kRun) {
      star = i++;
      mark = s;
    } else if (star != SIZE_MAX) {
      i = star + 1;
      read_utf8(mark, end);
      // Before an ASCII literal, skip straight to where that letter stands
      // (no byte of a longer UTF-8 character is ASCII).
      if (i < pattern.size() && pattern[i].kind == Token::kLiteral && pattern[i].literal < 0x80) {
        const auto want = static_cast<unsigned char>(fold ? fold_ascii(pattern[i].literal) : pattern[i].literal);
        while (mark < end && (fold ? fold_ascii(*mark) : *mark) != want) ++mark;
      }
      s = mark;
    } else {
      return 0;
    }
  }
  while (i < pattern.size() && pattern[i].kind == Token::kRun) ++i;
  return i == pattern.size() ? 1 : 0;
}

// Where SQLite was built so, a blob matches no pattern and is no pattern.
bool blob_refused(sqlite3_value** argv) {
  static const bool refused = sqlite3_compileoption_used("LIKE_DOESNT_MATCH_BLOBS") != 0;
  return refused && (sqlite3_value_type(argv[0]) == SQLITE_BLOB || sqlite3_value_type(argv[1]) == SQLITE_BLOB);
}

// A pattern read into tokens, kept with the statement while the pattern
// argument stays the same (sqlite3_set_auxdata).
struct Parsed {
  std::vector<Token> tokens;
  bool valid = false;
  char32_t escape = 0;
  bool has_escape = false;
};

// The kept reading of argument 0, made by `read` when there is none yet (or
// it was made for another escape); null when SQLite keeps nothing for this
// argument, which then changes from row to row.
template <class Read>
const Parsed* parsed_pattern(sqlite3_context* ctx, Read&& read, char32_t escape = 0, bool has_escape = false) {
  auto* kept = static_cast<Parsed*>(sqlite3_get_auxdata(ctx, 0));
  if (kept && kept->escape == escape && kept->has_escape == has_escape) return kept;
  auto made = std::make_unique<Parsed>();
  made->escape = escape;
  made->has_escape = has_escape;
  made->valid = read(made->tokens);
  sqlite3_set_auxdata(ctx, 0, made.release(), [](void* p) { delete static_cast<Parsed*>(p); });
  return static_cast<Parsed*>(sqlite3_get_auxdata(ctx, 0));
}

void answer(sqlite3_context* ctx, int matched) {
  if (matched < 0) return sqlite3_result_error(ctx, "interrupted", -1);
  sqlite3_result_int(ctx, matched);
}

// Matches argv[1] against the pattern `read` makes of argv[0] (kept across
// rows where SQLite keeps it) and gives the answer.
template <class Read>
void answer_match(sqlite3_context* ctx, sqlite3_value** argv, Read&& read, bool fold, char32_t escape = 0,
                  bool has_escape = false) {
  auto* self = static_cast<SqliteDatabase*>(sqlite3_user_data(ctx));
  const unsigned char* text = sqlite3_value_text(argv[1]);
  const unsigned char* end = text + sqlite3_value_bytes(argv[1]);
  if (const Parsed* parsed = parsed_pattern(ctx, read, escape, has_escape)) {
    if (!parsed->valid) return sqlite3_result_int(ctx, 0);
    return answer(ctx, match(parsed->tokens, text, end, fold, self));
  }
  std::vector<Token> tokens;
  if (!read(tokens)) return sqlite3_result_int(ctx, 0);
  answer(ctx, match(tokens, text, end, fold, self));
}

}  // namespace

// like(pattern, text[, escape]): X LIKE Y [ESCAPE E] calls like(Y, X, E).
void bounded_like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  auto* self = static_cast<SqliteDatabase*>(sqlite3_user_data(ctx));
  if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
  if (blob_refused(argv)) return sqlite3_result_int(ctx, 0);
  const unsigned char* pattern = sqlite3_value_text(argv[0]);
  const unsigned char* text = sqlite3_value_text(argv[1]);
  const int pattern_size = sqlite3_value_bytes(argv[0]);
  if (pattern_size > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1))
    return sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
  char32_t escape = 0;
  bool has_escape = false;
  if (argc == 3) {
    const unsigned char* e = sqlite3_value_text(argv[2]);
    if (!e) return;
    const unsigned char* e_end = e + sqlite3_value_bytes(argv[2]);
    const unsigned char* p = e;
    if (p < e_end) escape = read_utf8(p, e_end);
    if (e == e_end || p != e_end) return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
    has_escape = true;
  }
  if (!pattern || !text) return;
  // The escape is part of what was read: a pattern kept for another escape
  // is read again.
  answer_match(
      ctx, argv,
      [&](std::vector<Token>& tokens) { return like_tokens(pattern, pattern + pattern_size, escape, has_escape, tokens); },
      true, escape, has_escape);
}

// glob(pattern, text): X GLOB Y calls glob(Y, X).
void bounded_glob(sqlite3_context* ctx, int, sqlite3_value** argv) {
  auto* self = static_cast<SqliteDatabase*>(sqlite3_user_data(ctx));
  if (self->deadline_passed()) return sqlite3_result_error(ctx, "interrupted", -1);
  if (blob_refused(argv)) return sqlite3_result_int(ctx, 0);
  const unsigned char* pattern = sqlite3_value_text(argv[0]);
  const unsigned char* text = sqlite3_value_text(argv[1]);
  const int pattern_size = sqlite3_value_bytes(argv[0]);
  if (pattern_size > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1))
    return sqlite3_result_error(ctx, "LIKE or GLOB pattern too complex", -1);
  if (!pattern || !text) return;
  answer_match(
      ctx, argv, [&](std::vector<Token>& tokens) { return glob_tokens(pattern, pattern + pattern_size, tokens); },
      false);
}

}  // namespace corvalt::quillon

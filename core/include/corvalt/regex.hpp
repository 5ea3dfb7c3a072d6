// Regular expressions with the host's `re` semantics for the patterns this
// system uses: Unicode \w, \b, \d and \s, lazy quantifiers, ignore-case and
// dot-matches-newline. Backed by PCRE2 (UTF + UCP, JIT-compiled).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace corvalt {

class Regex {
 public:
  enum Flags : unsigned { kNone = 0, kIgnoreCase = 1, kDotAll = 2 };

  // Throws ValueError when the pattern does not compile.
  explicit Regex(std::string_view pattern, unsigned flags = kNone);
  ~Regex();
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;
  Regex(const Regex&) = delete;
  Regex& operator=(const Regex&) = delete;

  // re.search(...) is not None
  bool search(std::string_view subject) const;
  // re.sub(pattern, replacement, subject) with a literal replacement text.
  std::string replace_all(std::string_view subject, std::string_view replacement) const;

  // re.escape(): every character other than ASCII letters, digits and '_'
  // that has a meaning in patterns is escaped, as the host escapes it.
  static std::string escape(std::string_view literal);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace corvalt

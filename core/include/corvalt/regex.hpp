// Regular expressions with the host's `re` semantics for the patterns this
// system uses: Unicode \w, \b, \d and \s, lazy quantifiers, ignore-case and
// dot-matches-newline. Backed by PCRE2 (UTF + UCP, JIT-compiled).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt {

// One match: byte ranges of the whole match (group 0) and of each group;
// a group that did not take part is npos..npos.
struct RegexMatch {
  static constexpr std::size_t npos = std::string_view::npos;
  std::vector<std::pair<std::size_t, std::size_t>> groups;

  std::size_t start() const { return groups[0].first; }
  std::size_t end() const { return groups[0].second; }
  bool has_group(std::size_t i) const { return i < groups.size() && groups[i].first != npos; }
  // The text of group i ("" when it did not take part).
  std::string_view group(std::string_view subject, std::size_t i) const {
    if (!has_group(i)) return {};
    return subject.substr(groups[i].first, groups[i].second - groups[i].first);
  }
};

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
  // re.search(): the first match with its groups, if any.
  bool search(std::string_view subject, RegexMatch& match) const;
  // re.finditer(): every non-overlapping match, left to right.
  std::vector<RegexMatch> find_all(std::string_view subject) const;
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

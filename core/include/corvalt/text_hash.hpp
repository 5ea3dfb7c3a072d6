// The one hash of texts behind the open-addressing tables of the core and
// the bindings (search tokens, history words and questions, a document's
// keys, result texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace corvalt {

// A quick 64-bit hash for short texts, eight bytes at a time. The texts come
// from local files and databases, so no defence against chosen collisions
// is needed.
inline std::uint64_t hash_text(std::string_view s) noexcept {
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (s.size() * 0xff51afd7ed558ccdull);
  const char* p = s.data();
  std::size_t n = s.size();
  while (n >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h = (h ^ w) * 0xbf58476d1ce4e5b9ull;
    h ^= h >> 31;
    p += 8;
    n -= 8;
  }
  std::uint64_t w = 0;
  if (n) std::memcpy(&w, p, n);
  h = (h ^ w) * 0x94d049bb133111ebull;
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ull;
  return h ^ (h >> 32);
}

}  // namespace corvalt

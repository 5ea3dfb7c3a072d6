// UTF-8 repairs shared by the guard and the database reader.
#pragma once

#include <string>
#include <string_view>

namespace corvalt::quillon {

// Decodes as the host does with errors="replace": each bad sequence becomes
// one U+FFFD. Valid input comes back unchanged.
std::string replace_invalid_utf8(std::string_view s);

}  // namespace corvalt::quillon

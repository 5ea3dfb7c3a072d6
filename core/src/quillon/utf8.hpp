// UTF-8 repairs shared by the guard and the database reader.
#pragma once

#include <string>
#include <string_view>

namespace corvalt::quillon {

// Replaces every byte of each bad sequence with U+FFFD, as the host does
// when it quotes undecodable C text in a message. Valid input comes back
// unchanged.
std::string replace_invalid_utf8(std::string_view s);

}  // namespace corvalt::quillon

#include "corvalt/console.hpp"

#include <cstdio>

namespace corvalt {

Console::Console()
    : sink_([](std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
      }) {}

}  // namespace corvalt

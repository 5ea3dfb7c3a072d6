// Where a service's progress lines go. The core prints through a Console so
// that the bindings can route lines to the host's sys.stdout.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace corvalt {

class Console {
 public:
  using Sink = std::function<void(std::string_view line)>;
  Console();  // writes to the process's stdout
  explicit Console(Sink sink) : sink_(std::move(sink)) {}
  // Writes one line; the line break is added here.
  void line(std::string_view text) const { sink_(text); }

 private:
  Sink sink_;
};

}  // namespace corvalt

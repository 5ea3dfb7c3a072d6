// Letting go of large structures without waiting for them to be freed.
#pragma once

#include <cstddef>
#include <memory>
#include <system_error>
#include <thread>

namespace corvalt {

// Structures of fewer parts (graph nodes, a result's rows) are freed in
// place: a thread costs more than freeing them.
inline constexpr std::size_t kFreeLaterFrom = 4096;

// Drops `last` on a helper thread when it is the last reference: freeing a
// large graph, document or history block by block takes about as long as
// building it, and nothing needs to wait for that. A reference that is not
// the last just goes; without a thread to spare the object is freed here.
template <class T>
void release_in_background(std::shared_ptr<T> last) {
  if (!last || last.use_count() > 1) return;
  try {
    std::thread([held = std::move(last)]() mutable { held.reset(); }).detach();
  } catch (const std::system_error&) {
  }
}

}  // namespace corvalt

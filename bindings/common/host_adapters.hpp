// The host's AI service object, its Models types and chat histories, seen by
// the core through the interfaces of corvalt/host.hpp.
#pragma once

#include <nanobind/nanobind.h>

#include <memory>

#include "corvalt/host.hpp"

namespace corvalt::py {

namespace nb = nanobind;

// Wraps the object passed as `mindloom` (None gives a wrapper that is false).
std::shared_ptr<AiService> make_ai_service(nb::handle obj);

// The host's `Models` module, imported by that absolute name, or the
// package's own defaults (Corvalt.ai) when the host has none. Looked up once.
std::shared_ptr<Models> host_models();

// A chat history list, read lazily.
class PyChatHistory : public ChatHistory {
 public:
  explicit PyChatHistory(nb::handle list) : list_(nb::borrow(list)) {}
  std::size_t size() const override;
  ChatMessage at(std::size_t i) const override;

 private:
  nb::object list_;
};

// Runs `fn`, turning a Python exception (an Exception, not a BaseException
// such as KeyboardInterrupt) into HostError with its str().
template <typename Fn>
auto call_host(Fn&& fn) -> decltype(fn());

}  // namespace corvalt::py

#include "common/host_adapters_inl.hpp"

// The host's AI service object, its Models types and chat histories, seen by
// the core through the interfaces of corvalt/host.hpp.
#pragma once

#include <nanobind/nanobind.h>

#include <memory>

#include "corvalt/host.hpp"

namespace corvalt::py {

namespace nb = nanobind;

// The host's AI service object (`mindloom`) as the core's AiService. It owns
// one strong reference to the object, and a false object (None included)
// makes a false service: the core tests truthy() before any call.
//
// A service keeps one adapter for its whole life and re-points it with
// set_object() instead of replacing it: the host may replace its AI object
// from inside one of that object's own methods (its __bool__, say) while the
// core is in the middle of using the adapter, which must then stay valid and
// never turn null.
class PyAiService : public AiService {
 public:
  explicit PyAiService(nb::handle obj = nb::none()) : obj_(nb::borrow(obj)) {}

  // The object as passed; visit it from the owner's traverse().
  nb::handle object() const noexcept { return obj_; }
  void set_object(nb::handle obj) { obj_ = nb::borrow(obj); }

  bool truthy() const override;
  bool has_attribute(std::string_view name) const override;
  std::string run(const std::string& prompt) override;
  void clear_history() override;
  std::string get_response_sync(const std::string& prompt) override;

 private:
  nb::object obj_;
};

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

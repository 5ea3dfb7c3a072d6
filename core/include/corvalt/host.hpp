// What the core needs of the host: the AI text service object and the
// `Models` types (ChatMessage, SQLPrompt). The bindings implement these over
// the host's Python objects; core tests implement them with fakes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "corvalt/errors.hpp"
#include "corvalt/value.hpp"

namespace corvalt {

class AiService {
 public:
  virtual ~AiService() = default;
  // The host object's truth value (callers take their non-AI path when false).
  virtual bool truthy() const = 0;
  // hasattr(obj, name)
  virtual bool has_attribute(std::string_view name) const = 0;
  // obj.run(prompt). A reply that is not text raises HostError worded as the
  // host's failure on using it as text.
  virtual std::string run(const std::string& prompt) = 0;
  // obj.clear_history()
  virtual void clear_history() = 0;
  // obj.get_response_sync(prompt), same reply rule as run().
  virtual std::string get_response_sync(const std::string& prompt) = 0;
};

struct ChatMessage {
  bool is_user = false;
  std::string content;  // str() of the message's content
};

// A host list of ChatMessage objects, read lazily: reading a message may fail
// with HostError (a missing attribute, say), and only the messages actually
// used are read.
class ChatHistory {
 public:
  virtual ~ChatHistory() = default;
  virtual std::size_t size() const = 0;
  virtual ChatMessage at(std::size_t i) const = 0;
};

// The understanding record read back from the host's SQLPrompt object.
struct Understanding {
  Value keywords;
  Value buisness_domains;
  Value ai_context;
  // The object's `history_context` when it has one that is true, else null.
  Value history_context;
};

class Models {
 public:
  virtual ~Models() = default;
  // SQLPrompt(user_prompt=..., ai_context=..., buisness_domains=..., keywords=...)
  // Throws HostError when the host type refuses the values.
  virtual Understanding make_sql_prompt(const Value& user_prompt, const Value& ai_context,
                                        const Value& buisness_domains, const Value& keywords) = 0;
};

}  // namespace corvalt

// The AI understanding step of query processing: prompt texts, reply
// cleaning and the conversion of the reply into an understanding record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "corvalt/atlanor.hpp"
#include "corvalt/host.hpp"

namespace corvalt::atlanor::detail {

// Prompt for a question on its own.
std::string plain_prompt(std::string_view question);
// Prompt for a question asked within a conversation (last 5 messages and the
// previous SQL, when given).
std::string chat_prompt(std::string_view question, const ChatInput& chat);

// Strips the reply and removes a surrounding code fence.
std::string clean_ai_response(std::string_view response);

// Asks the service's AI for an understanding of `question` (`chat` null: the
// plain prompt). Failures are reported on the console when verbose and give
// no understanding; nothing the AI or its reply does is thrown from here,
// except interrupts the host raises.
std::optional<Understanding> ai_understanding(const AtlanorService& service,
                                              const std::string& question, const ChatInput* chat);

}  // namespace corvalt::atlanor::detail

// AI understanding of a question: the prompts, the call and the reply.
#include "ai_understanding.hpp"

#include <string>
#include <vector>

#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor::detail {

namespace {

// The prompt lines are indented as the AI service has always seen them; the
// replies it was tuned on depend on the exact text, so keep it byte for byte.
constexpr std::string_view kIndent = "                ";        // 16
constexpr std::string_view kFieldIndent = "                    ";  // 20

constexpr std::string_view kIntro =
    "You are an expert in project management and database systems. Analyze this question:";
constexpr std::string_view kStep1 =
    "1. Extract the key business domains this relates to (from: scheduling, resource "
    "management, critical path, risk assessment, etc.)";
constexpr std::string_view kStep2 =
    "2. Extract important keywords for database searching (specific terms, metrics, or concepts "
    "mentioned)";
constexpr std::string_view kStep3 =
    "3. Rewrite the question to be more precise and aligned with database terminology";
constexpr std::string_view kStep4 = "4. Consider the conversation history in your analysis";
constexpr std::string_view kReturn = "Return your analysis in JSON format with these fields:";
constexpr std::string_view kKeywordsField = "\"keywords\": [\"keyword1\", \"keyword2\", ...],";
constexpr std::string_view kDomainsField =
    "\"business_domains\": [\"domain1\", \"domain2\", ...],";
constexpr std::string_view kEnhancedField = "\"enhanced_query\": \"improved query text\"";
constexpr std::string_view kHistoryField =
    "\"history_context\": \"brief summary of relevant context from history\"";
constexpr std::string_view kOnlyJson =
    "Only return the JSON itself - do not include any code block formatting or other text.";

constexpr std::size_t kHistoryMessages = 5;

void line(std::string& out, std::string_view indent, std::string_view text) {
  out += indent;
  out += text;
  out += '\n';
}

// Lines 1 to 5: the question, ending in the indent of an empty line (no LF).
void question_head(std::string& out, std::string_view question) {
  out += '\n';
  line(out, kIndent, kIntro);
  line(out, kIndent, "");
  out += kIndent;
  out += '"';
  out += question;
  out += "\"\n";
  out += kIndent;
}

// The instructions up to the JSON sample's opening brace.
void instructions(std::string& out, bool with_history) {
  line(out, kIndent, kStep1);
  line(out, kIndent, kStep2);
  line(out, kIndent, kStep3);
  if (with_history) line(out, kIndent, kStep4);
  line(out, kIndent, "");
  line(out, kIndent, kReturn);
  line(out, kIndent, "{");
  line(out, kFieldIndent, kKeywordsField);
  line(out, kFieldIndent, kDomainsField);
}

// The closing lines; the prompt ends with the last indent, no LF.
void tail(std::string& out) {
  line(out, kIndent, "}");
  line(out, kIndent, "");
  line(out, kIndent, kOnlyJson);
  out += kIndent;
}

// What the host's str() of a value looks like in a message.
std::string shown(const Record& answer, std::string_view key, const Value& fallback) {
  return to_str(answer.get(key, fallback));
}

}  // namespace

std::string plain_prompt(std::string_view question) {
  std::string out;
  out.reserve(1024 + question.size());
  question_head(out, question);
  out += '\n';
  instructions(out, false);
  line(out, kFieldIndent, kEnhancedField);
  tail(out);
  return out;
}

std::string chat_prompt(std::string_view question, const ChatInput& chat) {
  std::string out;
  out.reserve(1536 + question.size());
  question_head(out, question);
  if (chat.history != nullptr && chat.history->size() > 0) {
    out += "\n\nConsider this conversation history:\n";
    const std::size_t n = chat.history->size();
    for (std::size_t i = n > kHistoryMessages ? n - kHistoryMessages : 0; i < n; ++i) {
      ChatMessage message = chat.history->at(i);
      out += message.is_user ? "User" : "Assistant";
      out += ": ";
      out += message.content;
      out += '\n';
    }
  }
  if (chat.previous_sql && !chat.previous_sql->empty()) {
    out += "\n\nThe previous SQL query was:\n";
    out += *chat.previous_sql;
    out += '\n';
  }
  out += '\n';
  instructions(out, true);
  line(out, kFieldIndent, std::string(kEnhancedField) + ",");
  line(out, kFieldIndent, kHistoryField);
  tail(out);
  return out;
}

std::string clean_ai_response(std::string_view response) {
  static constexpr std::string_view kFence = "```";
  std::string_view clean = text::strip(response);
  if (text::starts_with(clean, kFence)) {
    // Drop the opening fence line, language tag included.
    std::size_t newline = clean.find('\n');
    if (newline != std::string_view::npos) clean = text::strip(clean.substr(newline));
  }
  if (text::ends_with(clean, kFence)) clean = text::strip(clean.substr(0, clean.size() - 3));
  return std::string(clean);
}

std::optional<Understanding> ai_understanding(const AtlanorService& service,
                                              const std::string& question, const ChatInput* chat) {
  const Console& console = service.console();
  try {
    std::string prompt = chat ? chat_prompt(question, *chat) : plain_prompt(question);
    std::string response = service.ai->run(prompt);
    std::string clean = clean_ai_response(response);
    Value answer;
    try {
      answer = json::parse(clean);
    } catch (const JsonDecodeError& e) {
      if (service.verbose) {
        console.line(std::string("Error parsing AI response: ") + e.what());
        console.line("Raw response: " + response);
        console.line("Cleaned response: " + clean);
      }
      return std::nullopt;
    }
    // The reply is read with dict.get(); anything but an object fails there,
    // worded as the host words it.
    if (!answer.is_record())
      throw HostError(std::string("'") + answer.type_name() + "' object has no attribute 'get'");
    const Record& fields = answer.as_record();
    const Value empty_list(make_list());
    if (service.verbose) {
      console.line("AI enhanced query: " + shown(fields, "enhanced_query", Value("")));
      console.line("AI extracted keywords: " + shown(fields, "keywords", empty_list));
      console.line("AI identified domains: " + shown(fields, "business_domains", empty_list));
      if (chat != nullptr && fields.contains("history_context"))
        console.line("AI history context: " + to_str(fields.at("history_context")));
    }
    // Values are passed on as the AI gave them; a key present with null stays null.
    Value user_prompt(question);
    Value ai_context = fields.get("enhanced_query", user_prompt);
    Value domains = fields.get("business_domains", Value(make_list()));
    Value keywords = fields.get("keywords", Value(make_list()));
    if (!service.models) return Understanding{keywords, domains, ai_context, Value()};
    return service.models->make_sql_prompt(user_prompt, ai_context, domains, keywords);
  } catch (const Error& e) {
    if (service.verbose) console.line(std::string("Error enhancing query with AI: ") + e.what());
    return std::nullopt;
  }
}

}  // namespace corvalt::atlanor::detail

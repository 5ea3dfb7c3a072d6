#include "corvalt/errors.hpp"

#include <cstdio>
#include <string>

namespace corvalt {

namespace {
std::string decode_error_text(const std::string& msg, std::size_t pos, std::size_t lineno,
                              std::size_t colno) {
  return msg + ": line " + std::to_string(lineno) + " column " + std::to_string(colno) +
         " (char " + std::to_string(pos) + ")";
}
}  // namespace

JsonDecodeError::JsonDecodeError(std::string msg, std::string doc, std::size_t pos,
                                 std::size_t lineno, std::size_t colno)
    : ValueError(decode_error_text(msg, pos, lineno, colno)),
      msg_(std::move(msg)),
      doc_(std::move(doc)),
      pos_(pos),
      lineno_(lineno),
      colno_(colno) {}

std::string error_text(const std::exception& e) {
  if (const auto* error = dynamic_cast<const Error*>(&e)) return error->message();
  return e.what();
}

std::string unicode_decode_text(std::string_view data, std::size_t start, std::size_t end,
                                std::string_view reason) {
  char buf[96];
  if (end == start + 1 && start < data.size())
    std::snprintf(buf, sizeof buf, "'utf-8' codec can't decode byte 0x%02x in position %zu: ",
                  static_cast<unsigned char>(data[start]), start);
  else
    std::snprintf(buf, sizeof buf, "'utf-8' codec can't decode bytes in position %zu-%zu: ", start,
                  end - 1);
  return std::string(buf) + std::string(reason);
}

UnicodeDecodeError::UnicodeDecodeError(std::string data, std::size_t start, std::size_t end,
                                       std::string reason)
    : ValueError(unicode_decode_text(data, start, end, reason)),
      data_(std::move(data)),
      start_(start),
      end_(end),
      reason_(std::move(reason)) {}

NodeNotFound::NodeNotFound(std::string node)
    : Error("The node " + node + " is not in the graph."), node_(std::move(node)) {}

}  // namespace corvalt

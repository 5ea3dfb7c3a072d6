#include "corvalt/errors.hpp"

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

UnicodeDecodeError::UnicodeDecodeError(std::string data, std::size_t start, std::size_t end,
                                       std::string reason)
    : ValueError("'utf-8' codec can't decode bytes in position " + std::to_string(start) + ": " +
                 reason),
      data_(std::move(data)),
      start_(start),
      end_(end),
      reason_(std::move(reason)) {}

NodeNotFound::NodeNotFound(std::string node)
    : Error("The node " + node + " is not in the graph."), node_(std::move(node)) {}

}  // namespace corvalt

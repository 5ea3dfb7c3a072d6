// Loading the metadata document and its console report.
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"
#include "corvalt/json.hpp"
#include "corvalt/release.hpp"
#include "corvalt/text.hpp"

namespace corvalt::atlanor {

namespace {

// len() of a section as the host would take it.
std::size_t section_length(const Value& v, const char* section) {
  switch (v.kind()) {
    case Value::Kind::Record: return v.as_record().size();
    case Value::Kind::List: return v.as_list().size();
    case Value::Kind::Text: return text::length(v.as_text());
    default:
      throw TypeError(std::string("Metadata section '") + section + "' has no length (" +
                      v.type_name() + ")");
  }
}

std::vector<std::string> load_report(const std::string& filename, const Record& doc) {
  std::vector<std::string> lines;
  lines.push_back("Loaded metadata from " + filename);
  const Value* tables = doc.find("tables");
  const Value* relationships = doc.find("relationships");
  std::size_t table_count = tables ? section_length(*tables, "tables") : 0;
  std::size_t relationship_count =
      relationships ? section_length(*relationships, "relationships") : 0;
  lines.push_back("  - Found " + std::to_string(table_count) + " tables and " +
                  std::to_string(relationship_count) + " relationships");
  std::vector<std::string_view> sections;
  for (const auto& item : doc) sections.push_back(item.first);
  lines.push_back("  - Metadata contains sections: " + text::join(sections, ", "));
  std::vector<std::string_view> missing;
  if (!tables) missing.push_back("tables");
  if (!relationships) missing.push_back("relationships");
  if (!missing.empty())
    lines.push_back("  - WARNING: Missing required sections: " + text::join(missing, ", "));
  if (const Value* cleaning = doc.find("metadata_cleaning")) {
    if (!cleaning->is_record())
      throw TypeError("Metadata section 'metadata_cleaning' must be a JSON object");
    const Value unknown("unknown");
    const Record& rec = cleaning->as_record();
    lines.push_back("  - Metadata was cleaned at " + to_str(rec.get("cleaned_at", unknown)) +
                    " (version " + to_str(rec.get("cleaning_version", unknown)) + ")");
  }
  return lines;
}

}  // namespace

const Value& AtlanorService::load_metadata(const std::string& filename) {
  return load_metadata(filename, nullptr);
}

const Value& AtlanorService::load_metadata(
    const std::string& filename, const std::function<void(const json::Document&)>& also) {
  std::error_code ec;
  // A path with a NUL byte names no file (the OS would see a shorter one).
  if (filename.find('\0') != std::string::npos || !std::filesystem::exists(filename, ec))
    throw FileNotFoundError("Metadata file not found: " + filename);
  std::shared_ptr<const json::Document> parsed = json::Document::read_file(filename);
  // A document that is not an object cannot be described or turned into a
  // graph; refuse it before anything is printed or replaced.
  if (!parsed->is_record()) throw TypeError("Metadata document must be a JSON object");
  Value doc;
  if (also) {
    // Reading the compact form from two threads at once is safe.
    std::future<Value> values =
        std::async(std::launch::async, [&parsed] { return parsed->value(); });
    try {
      also(*parsed);
    } catch (...) {
      values.wait();
      throw;
    }
    doc = values.get();
  } else {
    doc = parsed->value();
  }
  parsed.reset();
  std::vector<std::string> report;
  if (verbose) report = load_report(filename, doc.as_record());
  // The document replaced here is freed off this thread when this was its
  // last holder (a large one is many small blocks).
  Value previous = std::exchange(metadata_, std::move(doc));
  if (previous.is_record()) release_in_background(previous.record_ptr());
  previous = Value();
  for (const auto& line : report) console_.line(line);
  return metadata_;
}

}  // namespace corvalt::atlanor

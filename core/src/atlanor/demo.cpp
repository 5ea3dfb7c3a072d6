// The schema service's demonstration.
#include <filesystem>
#include <string>
#include <system_error>

#include "corvalt/atlanor.hpp"
#include "corvalt/errors.hpp"

namespace corvalt::atlanor {

namespace {

constexpr const char* kDocumentName = "enriched_project_metadata_cleaned.json";

// The sample document, looked for under src/ first, relative to the working
// directory.
std::string sample_document_path() {
  namespace fs = std::filesystem;
  fs::path nested = fs::path("src") / "data" / kDocumentName;
  std::error_code ec;
  if (fs::exists(nested, ec)) return nested.string();
  return (fs::path("data") / kDocumentName).string();
}

constexpr const char* kQuestions[] = {
    "Show all projects with negative float",
    "List relationships with lag greater than 44 days",
    "What are the activities on the critical path?",
    "Find activities with excessive lag",
};

}  // namespace

void run_demonstration(const Console& out, std::shared_ptr<Models> models) {
  AtlanorService service(out);
  service.verbose = true;
  service.models = std::move(models);

  out.line(std::string("Attempting to load ") + kDocumentName + "...");
  try {
    service.load_metadata(sample_document_path());
  } catch (const FileNotFoundError&) {
    out.line("Failed to load metadata file. Please ensure the file exists.");
    throw;
  }
  service.build_graph();

  const std::string question = kQuestions[0];
  out.line("\nProcessing query: " + question);
  RecordPtr result = service.process_query(question, "json", ChatInput{});
  RecordPtr markdown_result = service.process_query(question, "markdown", ChatInput{});

  out.line("\nMarkdown Output:");
  out.line(to_str(markdown_result->at("markdown")));
  const Value no_sql("No SQL generated");
  out.line("\nGenerated SQL: " + to_str(result->get("best_guess_sql", no_sql)));
}

}  // namespace corvalt::atlanor

// Atlanor.main(): the demonstration run by `python -m Corvalt`.
#include <filesystem>
#include <string>
#include <system_error>

#include "atlanor/atlanor_py.hpp"
#include "common/console.hpp"
#include "common/host_adapters.hpp"
#include "corvalt/errors.hpp"

namespace corvalt::py {

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

void run_demonstration() {
  Console out = python_console();
  atlanor::AtlanorService service(out);
  service.verbose = true;
  service.models = host_models();

  out.line(std::string("Attempting to load ") + kDocumentName + "...");
  try {
    service.load_metadata(sample_document_path());
  } catch (const FileNotFoundError&) {
    out.line("Failed to load metadata file. Please ensure the file exists.");
    throw;
  }
  service.build_graph();

  const char* questions[] = {
      "Show all projects with negative float",
      "List relationships with lag greater than 44 days",
      "What are the activities on the critical path?",
      "Find activities with excessive lag",
  };
  const std::string question = questions[0];
  out.line("\nProcessing query: " + question);

  RecordPtr result = service.process_query(question, "json", atlanor::ChatInput{});
  RecordPtr markdown_result = service.process_query(question, "markdown", atlanor::ChatInput{});

  out.line("\nMarkdown Output:");
  out.line(to_str(markdown_result->at("markdown")));
  const Value no_sql("No SQL generated");
  out.line("\nGenerated SQL: " + to_str(result->get("best_guess_sql", no_sql)));
}

}  // namespace

void bind_demo(nb::module_& m) {
  m.def("main", &run_demonstration,
        "Load the sample metadata document, build the graph and answer an example question.");
}

}  // namespace corvalt::py

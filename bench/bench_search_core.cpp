// Core-only timing of keyword search: what the search itself costs without
// the host's result objects, and what preparing the search texts adds to
// build_graph. Build with -DCORVALT_BUILD_BENCH=ON.
//
// Usage: bench_search_core bench/out/large_metadata_2000x20.json [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/json.hpp"

using namespace corvalt;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s METADATA.json [runs]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 30;
  const Value doc = json::parse_file(argv[1]);
  atlanor::AtlanorService service;

  std::vector<double> build, index;
  for (int i = 0; i < 5; ++i) {
    auto t0 = Clock::now();
    service.build_graph(doc);
    build.push_back(ms_since(t0));
    t0 = Clock::now();
    auto prepared = atlanor::build_search_index(*service.graph()->graph);
    index.push_back(ms_since(t0));
  }
  std::printf("graph: %zu nodes\n", service.graph()->graph->node_count());
  std::printf("build_graph: median %.1f ms, of which search texts: median %.1f ms\n", median(build),
              median(index));

  const std::vector<std::vector<std::string>> sets = {
      {"activity", "float", "critical", "path", "project", "schedule", "resource", "milestone",
       "delay", "cost"},
      {"which", "activities", "have", "negative", "float", "critical", "path,", "their", "project",
       "milestones?"},
      {"total_float", "start date", "risk", "baseline.", "late", "crew", "budget", "vendor",
       "inspection", "invoice"}};
  for (const auto& keywords : sets) {
    std::vector<double> samples, compact;
    std::size_t hits = 0;
    for (int i = 0; i < runs; ++i) {
      auto t0 = Clock::now();
      hits = service.search_by_keywords(keywords).ranked.size();
      samples.push_back(ms_since(t0));
      t0 = Clock::now();
      hits = service.search_by_keywords_compact(keywords).ranked.size();
      compact.push_back(ms_since(t0));
    }
    // The compact form is what the bindings call: one host str per distinct
    // reason instead of a string per reason.
    std::printf("search_by_keywords, %zu keywords from '%s': median %.2f ms (compact reasons, as "
                "the bindings ask: %.2f ms), %zu nodes\n",
                keywords.size(), keywords.front().c_str(), median(samples), median(compact), hits);
  }
  return 0;
}

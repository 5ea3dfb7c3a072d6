// Core-only timing of lexical linking: building the linking index of a
// knowledge graph, and linking one question, without the host's objects.
// Build with -DCORVALT_BUILD_BENCH=ON.
//
// Usage: bench_linking_core METADATA.json [QUESTIONS.json] [--runs N] [--show]
//   QUESTIONS.json: a question set as bench/eval_linking.py reads it (a list
//   of records with "question"); without it a few fixed questions are timed.
//   --show prints the tables chosen for each question.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "corvalt/atlanor.hpp"
#include "corvalt/json.hpp"
#include "corvalt/linking.hpp"

using namespace corvalt;

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> positional;
  int runs = 50;
  bool show = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--show") == 0)
      show = true;
    else
      positional.emplace_back(argv[i]);
  }
  if (positional.empty()) {
    std::fprintf(stderr, "usage: %s METADATA.json [QUESTIONS.json] [--runs N] [--show]\n", argv[0]);
    return 2;
  }
  const Value doc = json::parse_file(positional[0]);
  atlanor::AtlanorService service;
  service.build_graph(doc);
  const Graph& graph = *service.graph()->graph;

  std::vector<double> build;
  std::unique_ptr<linking::Index> index;
  for (int i = 0; i < 5; ++i) {
    auto t0 = Clock::now();
    index = std::make_unique<linking::Index>(graph);
    build.push_back(ms_since(t0));
  }
  std::printf("graph: %zu nodes; linking index: %zu tables, %zu terms, built in median %.1f ms\n",
              graph.node_count(), index->table_count(), index->term_count(), median(build));

  std::vector<std::string> questions;
  std::vector<std::string> previous;
  if (positional.size() > 1) {
    const Value set = json::parse_file(positional[1]);
    for (const Value& item : set.as_list()) {
      questions.push_back(item.as_record().at("question").as_text());
      const Value* sql = item.as_record().find("previous_sql");
      previous.push_back(sql && sql->is_text() ? sql->as_text() : std::string());
    }
  } else {
    questions = {"Which activities are on the critical path?",
                 "How many activities are in each project?",
                 "Show the resources assigned to critical activities with their budgeted cost",
                 "List all calendars",
                 "activites with negativ float in the harbor project"};
    previous.assign(questions.size(), std::string());
  }

  std::vector<double> per_question;
  for (std::size_t q = 0; q < questions.size(); ++q) {
    linking::Query query{questions[q], {}, previous[q]};
    linking::Result result = index->link(query);  // warm-up
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
      auto t0 = Clock::now();
      result = index->link(query);
      samples.push_back(ms_since(t0));
    }
    per_question.push_back(median(samples));
    if (show) {
      std::printf("%-6s %7.3f ms  %s\n", std::string(linking::strength_name(result.strength)).c_str(),
                  per_question.back(), questions[q].c_str());
      for (const auto& t : result.tables) {
        std::printf("         %-28s %6.3f %-7s", std::string(graph.id(t.node)).c_str(), t.score,
                    std::string(linking::reason_name(t.reason)).c_str());
        for (const auto& w : t.matched) std::printf(" [%s]", w.c_str());
        std::printf("\n");
      }
      if (result.example) std::printf("         example: %s\n", std::string(graph.id(*result.example)).c_str());
    }
  }
  std::printf("link(): %zu questions, median of per-question medians %.3f ms, worst %.3f ms\n",
              per_question.size(), median(per_question),
              per_question.empty() ? 0.0 : *std::max_element(per_question.begin(), per_question.end()));
  return 0;
}

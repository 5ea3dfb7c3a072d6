#include "corvalt/graph.hpp"

#include <deque>

#include "corvalt/errors.hpp"

namespace corvalt {

namespace {
void update(Record& target, const Record& source) {
  for (const auto& [key, value] : source) target.set(key, value);
}
}  // namespace

void Graph::reserve(std::size_t nodes) {
  ids_.reserve(nodes);
  attrs_.reserve(nodes);
  succ_.reserve(nodes);
  index_.reserve(nodes);
}

Graph::Index Graph::add_node(std::string_view id, const Record& attrs) {
  if (auto found = find(id)) {
    update(*attrs_[*found], attrs);
    return *found;
  }
  auto index = static_cast<Index>(ids_.size());
  ids_.emplace_back(id);
  attrs_.push_back(make_record(attrs));
  succ_.emplace_back();
  index_.emplace(ids_.back(), index);
  return index;
}

void Graph::add_edge(std::string_view u, std::string_view v, const Record& attrs) {
  Index ui = add_node(u);
  Index vi = add_node(v);
  add_edge(ui, vi, attrs);
}

void Graph::add_edge(Index u, Index v, const Record& attrs) {
  auto [it, inserted] = edges_.try_emplace(pair_key(u, v), static_cast<std::uint32_t>(succ_[u].size()));
  if (!inserted) {
    update(*succ_[u][it->second].attrs, attrs);
    return;
  }
  succ_[u].push_back(Edge{v, make_record(attrs)});
  ++edge_count_;
}

std::optional<Graph::Index> Graph::find(std::string_view id) const {
  auto it = index_.find(id);
  if (it == index_.end()) return std::nullopt;
  return it->second;
}

Graph::Index Graph::index_of(std::string_view id) const {
  if (auto found = find(id)) return *found;
  throw NodeNotFound(std::string(id));
}

const Record* Graph::edge_data(Index u, Index v) const {
  auto it = edges_.find(pair_key(u, v));
  return it == edges_.end() ? nullptr : succ_[u][it->second].attrs.get();
}

const Record* Graph::edge_data(std::string_view u, std::string_view v) const {
  auto ui = find(u);
  auto vi = find(v);
  if (!ui || !vi) return nullptr;
  return edge_data(*ui, *vi);
}

std::optional<std::vector<Graph::Index>> Graph::shortest_path(std::string_view s,
                                                              std::string_view t) const {
  Index source = index_of(s);
  Index target = index_of(t);
  if (source == target) return std::vector<Index>{source};
  // Breadth-first search from the source; successors in edge order, so the
  // path found first is deterministic.
  constexpr Index kUnseen = static_cast<Index>(-1);
  std::vector<Index> parent(ids_.size(), kUnseen);
  parent[source] = source;
  std::deque<Index> queue{source};
  while (!queue.empty()) {
    Index node = queue.front();
    queue.pop_front();
    for (const Edge& edge : succ_[node]) {
      if (parent[edge.target] != kUnseen) continue;
      parent[edge.target] = node;
      if (edge.target == target) {
        std::vector<Index> path{target};
        for (Index at = target; at != source;) {
          at = parent[at];
          path.push_back(at);
        }
        return std::vector<Index>(path.rbegin(), path.rend());
      }
      queue.push_back(edge.target);
    }
  }
  return std::nullopt;
}

}  // namespace corvalt

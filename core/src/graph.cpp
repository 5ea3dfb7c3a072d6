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
  indexed_.reserve(nodes);
  index_.reserve(nodes);
}

std::int64_t Graph::edge_position(Index u, Index v) const {
  const auto& succ = succ_[u];
  if (succ.size() > kScanLimit && indexed_[u] == succ.size()) {
    auto it = wide_edges_.find(pair_key(u, v));
    if (it == wide_edges_.end()) return -1;
    return static_cast<std::int64_t>(it->second);
  }
  for (std::size_t k = 0; k < succ.size(); ++k)
    if (succ[k].target == v) return static_cast<std::int64_t>(k);
  return -1;
}

void Graph::index_successors(Index u) {
  const auto& succ = succ_[u];
  for (std::size_t k = indexed_[u]; k < succ.size(); ++k)
    wide_edges_.emplace(pair_key(u, succ[k].target), static_cast<std::uint32_t>(k));
  indexed_[u] = static_cast<std::uint32_t>(succ.size());
}

Graph::Index Graph::add_node(std::string_view id, const Record& attrs) {
  if (auto found = find(id)) {
    update(*attrs_[*found], attrs);
    return *found;
  }
  return add_node(std::string(id), Record(attrs));
}

Graph::Index Graph::add_node(std::string&& id, Record&& attrs) {
  auto [it, inserted] = index_.try_emplace(std::move(id), static_cast<Index>(ids_.size()));
  if (!inserted) {
    update(*attrs_[it->second], attrs);
    return it->second;
  }
  ids_.push_back(&it->first);
  attrs_.push_back(make_record(std::move(attrs)));
  succ_.emplace_back();
  indexed_.push_back(0);
  return it->second;
}

void Graph::add_edge(std::string_view u, std::string_view v, const Record& attrs) {
  Index ui = add_node(u);
  Index vi = add_node(v);
  add_edge(ui, vi, attrs);
}

void Graph::add_edge(Index u, Index v, const Record& attrs) { add_edge(u, v, make_record(attrs)); }

void Graph::add_edge(Index u, Index v, Record&& attrs) {
  add_edge(u, v, make_record(std::move(attrs)));
}

void Graph::add_edge(Index u, Index v, RecordPtr attrs) {
  auto& succ = succ_[u];
  if (succ.size() > kScanLimit) index_successors(u);
  if (std::int64_t pos = edge_position(u, v); pos >= 0) {
    RecordPtr& existing = succ[static_cast<std::size_t>(pos)].attrs;
    if (existing.use_count() > 1) existing = make_record(*existing);  // shared: copy first
    update(*existing, *attrs);
    return;
  }
  append_new_edge(u, v, std::move(attrs));
}

void Graph::append_new_edge(Index u, Index v, RecordPtr attrs) {
  succ_[u].push_back(Edge{v, std::move(attrs)});
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
  std::int64_t pos = edge_position(u, v);
  return pos < 0 ? nullptr : succ_[u][static_cast<std::size_t>(pos)].attrs.get();
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

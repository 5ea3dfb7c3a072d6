#include "corvalt/graph.hpp"

#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <stdexcept>

#include "corvalt/errors.hpp"

namespace corvalt {

namespace {
void update(Record& target, const Record& source) {
  for (const auto& [key, value] : source) target.set(key, value);
}
}  // namespace

// Records made in blocks of growing size; each is constructed in place and
// destroyed with its block.
struct Graph::Records {
  struct Block {
    Record* items;
    std::size_t capacity;
    std::size_t used;
  };
  std::vector<Block> blocks;

  Records() = default;
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;
  ~Records() {
    std::allocator<Record> alloc;
    for (Block& b : blocks) {
      std::destroy_n(b.items, b.used);
      alloc.deallocate(b.items, b.capacity);
    }
  }
  void reserve(std::size_t n) {
    if (n == 0 || (!blocks.empty() && blocks.back().capacity - blocks.back().used >= n)) return;
    add_block(n);
  }
  Record* make(Record&& r) {
    if (blocks.empty() || blocks.back().used == blocks.back().capacity)
      add_block(blocks.empty() ? 8 : std::clamp<std::size_t>(blocks.back().capacity * 2, 8, 4096));
    Block& b = blocks.back();
    Record* at = std::construct_at(b.items + b.used, std::move(r));
    ++b.used;
    return at;
  }

 private:
  void add_block(std::size_t capacity) {
    blocks.reserve(blocks.size() + 1);
    blocks.push_back(Block{std::allocator<Record>().allocate(capacity), capacity, 0});
  }
};

Graph::Graph() : records_(std::make_shared<Records>()) {}
Graph::~Graph() = default;

void Graph::reserve(std::size_t nodes) {
  ids_.reserve(nodes);
  attrs_.reserve(nodes);
  succ_.reserve(nodes);
  indexed_.reserve(nodes);
  records_->reserve(nodes - std::min(nodes, node_count()));
  if (slots_.size() < nodes * 2) grow_slots(nodes);
}

void Graph::grow_slots(std::size_t nodes) {
  std::size_t size = 16;
  while (size < nodes * 2) size *= 2;  // at most half full
  slots_.assign(size, 0);
  const std::size_t mask = size - 1;
  for (std::size_t i = 0; i < ids_.size(); ++i) {
    const std::uint64_t h = hash(ids_[i]);
    std::size_t slot = h & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = slot_entry(static_cast<Index>(i), h);
  }
}

std::size_t Graph::slot_of(std::string_view id, std::uint64_t h) const noexcept {
  const std::size_t mask = slots_.size() - 1;
  const std::uint64_t tag = h >> 32 << 32;
  std::size_t slot = h & mask;
  for (;;) {
    const std::uint64_t entry = slots_[slot];
    if (entry == 0) return slot;
    if ((entry & ~kIndexBits) == tag && ids_[(entry & kIndexBits) - 1] == id) return slot;
    slot = (slot + 1) & mask;
  }
}

std::string_view Graph::store_id(std::string_view id) {
  if (id.size() > id_left_) {
    std::size_t size = id_blocks_.empty() ? 256 : 64 * 1024;
    if (id.size() > size) size = id.size();
    id_blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    id_free_ = id_blocks_.back().get();
    id_left_ = size;
  }
  if (!id.empty()) std::memcpy(id_free_, id.data(), id.size());
  std::string_view stored(id_free_, id.size());
  id_free_ += id.size();
  id_left_ -= id.size();
  return stored;
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
  return add_node(id, Record(attrs));
}

Graph::Index Graph::add_node(std::string_view id, Record&& attrs) {
  return add_node(Slot{hash(id)}, id, std::move(attrs));
}

Graph::Index Graph::add_node(Slot located, std::string_view id, Record&& attrs) {
  if (slots_.empty()) grow_slots(8);
  const std::uint64_t h = located.hash;
  std::size_t slot = slot_of(id, h);
  if (slots_[slot] != 0) {
    const auto found = static_cast<Index>((slots_[slot] & kIndexBits) - 1);
    update(*attrs_[found], attrs);
    return found;
  }
  if (ids_.size() >= std::numeric_limits<Index>::max() - 1) throw std::length_error("graph too large");
  const auto index = static_cast<Index>(ids_.size());
  ids_.push_back(store_id(id));
  attrs_.push_back(records_->make(std::move(attrs)));
  succ_.emplace_back();
  indexed_.push_back(0);
  slots_[slot] = slot_entry(index, h);
  if (ids_.size() * 2 > slots_.size()) grow_slots(ids_.size());
  return index;
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
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t entry = slots_[slot_of(id, hash(id))];
  if (entry == 0) return std::nullopt;
  return static_cast<Index>((entry & kIndexBits) - 1);
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

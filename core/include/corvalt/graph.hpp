// Directed graph keyed by string node ids, with an attribute record on every
// node and edge and at most one edge per ordered pair. Nodes keep insertion
// order; a node's successors keep the order in which their edges were first
// added; re-adding a node or an edge updates its record and keeps its place.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "corvalt/value.hpp"

namespace corvalt {

class Graph {
 public:
  using Index = std::uint32_t;
  struct Edge {
    Index target;
    RecordPtr attrs;
  };

  Graph();
  ~Graph();
  // Node ids and records live in the graph's own blocks: not copyable.
  Graph(const Graph&) = delete;
  Graph& operator=(const Graph&) = delete;
  Graph(Graph&&) = default;
  Graph& operator=(Graph&&) = default;

  // Absent node: appended with `attrs`. Present: its record is updated with
  // the given keys (new values win). Returns the node's index.
  Index add_node(std::string_view id, const Record& attrs = {});
  Index add_node(std::string_view id, Record&& attrs);
  // For a builder adding many nodes: slot_for() hashes the id (it reads
  // nothing of the graph, so any thread may call it) and prefetch() starts
  // fetching its place in the index, so that the add_node given the slot
  // (for the same id) waits less for memory. locate() does both.
  struct Slot {
    std::uint64_t hash;
  };
  static Slot slot_for(std::string_view id) noexcept { return Slot{hash(id)}; }
  void prefetch(Slot slot) const noexcept {
    if (!slots_.empty()) __builtin_prefetch(&slots_[slot.hash & (slots_.size() - 1)]);
  }
  Slot locate(std::string_view id) const noexcept {
    const Slot slot = slot_for(id);
    prefetch(slot);
    return slot;
  }
  Index add_node(Slot slot, std::string_view id, Record&& attrs);
  // Absent ends are created first (u before v) with empty records. Absent
  // edge: added and appended to u's successors; present: record updated.
  void add_edge(std::string_view u, std::string_view v, const Record& attrs = {});
  void add_edge(Index u, Index v, const Record& attrs = {});
  void add_edge(Index u, Index v, Record&& attrs);
  // Edges may share one attribute record (a builder adding thousands of
  // {"relationship": "has_column"}): updating such an edge copies its record
  // first, so sharing is never visible.
  void add_edge(Index u, Index v, RecordPtr shared_attrs);
  // add_edge for a pair the caller knows has no edge yet (skips the lookup).
  void append_new_edge(Index u, Index v, RecordPtr shared_attrs);

  bool has_node(std::string_view id) const { return find(id).has_value(); }
  std::optional<Index> find(std::string_view id) const;
  // Throws NodeNotFound.
  Index index_of(std::string_view id) const;

  std::size_t node_count() const noexcept { return ids_.size(); }
  std::size_t edge_count() const noexcept { return edge_count_; }

  std::string_view id(Index i) const { return ids_[i]; }
  // The node's live attribute record.
  Record& attrs(Index i) const { return *attrs_[i]; }
  // The same record as a shared pointer; it keeps the graph's records alive.
  RecordPtr attrs_ptr(Index i) const { return RecordPtr(records_, attrs_[i]); }
  const std::vector<Edge>& successors(Index i) const { return succ_[i]; }

  // Position of edge u->v in successors(u), or -1 (indexed for nodes with
  // many successors).
  std::int64_t edge_position(Index u, Index v) const;
  // Attribute record of edge u->v, or nullptr (also when a node is absent).
  const Record* edge_data(Index u, Index v) const;
  const Record* edge_data(std::string_view u, std::string_view v) const;
  bool has_edge(std::string_view u, std::string_view v) const { return edge_data(u, v); }

  // Fewest-edges path from s to t following edge direction, ends included;
  // std::nullopt when there is none. Throws NodeNotFound for an absent end.
  std::optional<std::vector<Index>> shortest_path(std::string_view s, std::string_view t) const;

  void reserve(std::size_t nodes);
  // Room for `n` more successors of node u (a table about to get its columns).
  void reserve_successors(Index u, std::size_t n) { succ_[u].reserve(succ_[u].size() + n); }

 private:
  static std::uint64_t pair_key(Index u, Index v) noexcept {
    return (static_cast<std::uint64_t>(u) << 32) | v;
  }
  static std::uint64_t hash(std::string_view id) noexcept {
    return std::hash<std::string_view>{}(id);
  }
  // A slot holds position + 1 in its low half (0: empty) and the high half
  // of the id's hash, compared before the id itself.
  static constexpr std::uint64_t kIndexBits = 0xFFFFFFFFu;
  static std::uint64_t slot_entry(Index i, std::uint64_t h) noexcept {
    return (h >> 32 << 32) | (static_cast<std::uint64_t>(i) + 1);
  }
  // Slot of `id` in slots_: the one holding it, or the empty one where it
  // would go.
  std::size_t slot_of(std::string_view id, std::uint64_t h) const noexcept;
  void grow_slots(std::size_t nodes);
  std::string_view store_id(std::string_view id);
  Record* store_record(Record&& attrs);

  // Graphs hold tens of thousands of nodes: ids are copied into large blocks
  // of characters and records are made in blocks too, so that adding a node
  // allocates nothing of its own, and the id index is one open-addressing
  // table.
  struct Records;
  std::vector<std::unique_ptr<char[]>> id_blocks_;
  char* id_free_ = nullptr;
  std::size_t id_left_ = 0;
  std::shared_ptr<Records> records_;
  std::vector<std::string_view> ids_;
  std::vector<Record*> attrs_;
  std::vector<std::vector<Edge>> succ_;
  std::vector<std::uint64_t> slots_;
  // Most nodes have a few successors and are scanned. A node with many (a
  // keyword tagging hundreds of columns) gets an index (u, v) -> position,
  // built when add_edge first needs it there; until the index covers all of
  // a node's successors, lookups scan.
  static constexpr std::size_t kScanLimit = 24;
  void index_successors(Index u);
  std::unordered_map<std::uint64_t, std::uint32_t> wide_edges_;
  std::vector<std::uint32_t> indexed_;  // per node: successors in wide_edges_
  std::size_t edge_count_ = 0;
};

}  // namespace corvalt

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "corvalt/errors.hpp"
#include "corvalt/graph.hpp"
#include "corvalt/release.hpp"

using namespace corvalt;

namespace {
std::vector<std::string> ids(const Graph& g, const std::vector<Graph::Index>& path) {
  std::vector<std::string> out;
  for (auto i : path) out.emplace_back(g.id(i));
  return out;
}
}  // namespace

TEST(Graph, ReAddingANodeUpdatesItsRecordAndKeepsItsPlace) {
  Graph g;
  g.add_node("a", Record{{"type", "table"}, {"name", "a"}});
  g.add_node("b");
  g.add_node("a", Record{{"name", "A"}, {"extra", 1}});
  ASSERT_EQ(g.node_count(), 2u);
  EXPECT_EQ(g.id(0), "a");
  const Record& attrs = g.attrs(0);
  EXPECT_EQ(attrs.item(0).first, "type");
  EXPECT_EQ(attrs.at("name"), Value("A"));
  EXPECT_EQ(attrs.item(2).first, "extra");
}

TEST(Graph, EdgesCreateAbsentEndsInOrderAndUpdateInPlace) {
  Graph g;
  g.add_node("x");
  g.add_edge("u", "v", Record{{"relationship", "r1"}, {"j", "1"}});
  g.add_edge("u", "w");
  g.add_edge("u", "v", Record{{"j", "2"}});
  ASSERT_EQ(g.node_count(), 4u);
  EXPECT_EQ(g.id(1), "u");
  EXPECT_EQ(g.id(2), "v");
  EXPECT_TRUE(g.attrs(2).empty());
  EXPECT_EQ(g.edge_count(), 2u);
  const auto& succ = g.successors(*g.find("u"));
  ASSERT_EQ(succ.size(), 2u);
  EXPECT_EQ(g.id(succ[0].target), "v");  // first added stays first
  const Record* data = g.edge_data("u", "v");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->at("relationship"), Value("r1"));
  EXPECT_EQ(data->at("j"), Value("2"));
  EXPECT_EQ(g.edge_data("v", "u"), nullptr);
  EXPECT_EQ(g.edge_data("u", "absent"), nullptr);
}

TEST(Graph, ShortestPathFollowsDirectionAndTellsNoPathFromAbsentNode) {
  Graph g;
  g.add_edge("a", "b");
  g.add_edge("b", "c");
  g.add_edge("c", "d");
  g.add_edge("a", "c");
  g.add_node("lonely");
  auto path = g.shortest_path("a", "d");
  ASSERT_TRUE(path);
  EXPECT_EQ(ids(g, *path), (std::vector<std::string>{"a", "c", "d"}));
  EXPECT_EQ(ids(g, *g.shortest_path("b", "b")), (std::vector<std::string>{"b"}));
  EXPECT_FALSE(g.shortest_path("d", "a"));
  EXPECT_FALSE(g.shortest_path("a", "lonely"));
  EXPECT_THROW(g.shortest_path("a", "nowhere"), NodeNotFound);
  EXPECT_THROW(g.shortest_path("nowhere", "a"), NodeNotFound);
  EXPECT_THROW(g.index_of("nowhere"), NodeNotFound);
}

TEST(Graph, NodesWithManySuccessorsKeepOrderAndUpdateInPlace) {
  // Past a few dozen successors a node's edges are found through an index.
  Graph g;
  for (int i = 0; i < 100; ++i)
    g.add_edge("hub", "n" + std::to_string(i), Record{{"k", i}});
  for (int i = 0; i < 100; i += 7)
    g.add_edge("hub", "n" + std::to_string(i), Record{{"k", -i}, {"again", true}});
  EXPECT_EQ(g.edge_count(), 100u);
  const auto& succ = g.successors(g.index_of("hub"));
  ASSERT_EQ(succ.size(), 100u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(g.id(succ[i].target), "n" + std::to_string(i));
    const Record* data = g.edge_data("hub", "n" + std::to_string(i));
    ASSERT_NE(data, nullptr) << i;
    EXPECT_EQ(data->at("k"), Value(i % 7 == 0 ? -i : i));
    EXPECT_EQ(data->contains("again"), i % 7 == 0);
  }
  EXPECT_EQ(g.edge_data("hub", "hub"), nullptr);
  EXPECT_EQ(g.edge_data("n1", "hub"), nullptr);
}

// Tens of thousands of nodes: the id index grows many times, ids span many
// character blocks (including one id longer than a block), records span many
// record blocks, and a record handed out outlives its graph.
TEST(Graph, ManyNodesAreFoundAfterTheIndexGrowsAndHandedOutRecordsOutliveTheGraph) {
  RecordPtr kept;
  {
    Graph g;
    const std::string long_id(100'000, 'x');
    for (int i = 0; i < 30'000; ++i) g.add_node("column:t" + std::to_string(i) + ".c", Record{{"n", i}});
    g.add_node(long_id, Record{{"n", -1}});
    g.add_node("", Record{{"n", -2}});
    ASSERT_EQ(g.node_count(), 30'002u);
    for (int i = 0; i < 30'000; i += 997) {
      auto found = g.find("column:t" + std::to_string(i) + ".c");
      ASSERT_TRUE(found);
      EXPECT_EQ(*found, static_cast<Graph::Index>(i));
      EXPECT_EQ(g.attrs(*found).at("n"), Value(i));
    }
    EXPECT_EQ(g.find(long_id), std::optional<Graph::Index>(30'000));
    EXPECT_EQ(g.id(30'000), long_id);
    EXPECT_EQ(g.find(""), std::optional<Graph::Index>(30'001));
    EXPECT_FALSE(g.find("column:t30000.c"));
    EXPECT_EQ(g.add_node("column:t5.c", Record{{"m", 1}}), 5u);  // re-added: same place
    EXPECT_EQ(g.node_count(), 30'002u);
    kept = g.attrs_ptr(5);
  }
  EXPECT_EQ(kept->at("n"), Value(5));
  EXPECT_EQ(kept->at("m"), Value(1));
}

TEST(Release, TheLastReferenceIsFreedOnAHelperThreadAndAHeldOneNotAtAll) {
  std::promise<std::thread::id> freed_on;
  auto freed = freed_on.get_future();
  std::shared_ptr<int> last(new int(1), [&](int* p) {
    delete p;
    freed_on.set_value(std::this_thread::get_id());
  });
  std::shared_ptr<int> other = last;
  release_in_background(last);  // a copy: `last` and `other` still hold it
  EXPECT_EQ(freed.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  last.reset();
  release_in_background(std::move(other));
  EXPECT_FALSE(other);
  ASSERT_EQ(freed.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_NE(freed.get(), std::this_thread::get_id());
}

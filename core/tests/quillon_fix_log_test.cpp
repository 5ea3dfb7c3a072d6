// The fix log: location, exact file format, append order, failures that
// leave the file alone, and appends from many writers at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "corvalt/json.hpp"
#include "corvalt/quillon.hpp"

namespace fs = std::filesystem;
using corvalt::Console;
using corvalt::Record;
using corvalt::Value;
using corvalt::quillon::append_fix_log;
using corvalt::quillon::FixLogEntry;
using corvalt::quillon::Quillon;
using corvalt::quillon::read_fix_log;
using corvalt::quillon::read_fix_log_or_empty;

namespace {

class QuillonFixLog : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("quillon_fix_log_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    dir_ = (root_ / "data").string();
    file_ = dir_ + "/failed_sql.json";
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string contents() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void write(const std::string& text) const {
    fs::create_directories(dir_);
    std::ofstream(file_, std::ios::binary) << text;
  }
  std::vector<std::string> leftovers() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      if (e.path().filename() != "failed_sql.json") names.push_back(e.path().filename().string());
    return names;
  }

  fs::path root_;
  std::string dir_, file_;
};

FixLogEntry entry(const std::string& question, const std::string& working = "select 2") {
  return {Value(question), Value("select nope"), Value("no such column: nope"), Value(working)};
}

}  // namespace

TEST_F(QuillonFixLog, FirstAppendCreatesDirectoryAndOneElementArray) {
  append_fix_log(entry("Which tasks are late?"), dir_);
  EXPECT_EQ(contents(),
            "[\n"
            "  {\n"
            "    \"question\": \"Which tasks are late?\",\n"
            "    \"failed_sql\": \"select nope\",\n"
            "    \"error\": \"no such column: nope\",\n"
            "    \"working_sql\": \"select 2\"\n"
            "  }\n"
            "]");
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(QuillonFixLog, AppendsKeepOrderAndDuplicates) {
  append_fix_log(entry("q", "select 1"), dir_);
  append_fix_log(entry("q", "select 2"), dir_);
  Value log = read_fix_log(file_);
  ASSERT_EQ(log.as_list().size(), 2u);
  EXPECT_EQ(log.as_list()[0].as_record().at("working_sql"), Value("select 1"));
  EXPECT_EQ(log.as_list()[1].as_record().at("working_sql"), Value("select 2"));
}

TEST_F(QuillonFixLog, NonAsciiIsEscapedAndReadsBackEqual) {
  append_fix_log(entry("Où sont les tâches 😀?"), dir_);
  std::string text = contents();
  EXPECT_NE(text.find("\"O\\u00f9 sont les t\\u00e2ches \\ud83d\\ude00?\""), std::string::npos) << text;
  for (unsigned char c : text) EXPECT_LT(c, 0x80);
  EXPECT_EQ(read_fix_log(file_).as_list()[0].as_record().at("question"), Value("Où sont les tâches 😀?"));
}

TEST_F(QuillonFixLog, BadLogIsLeftUntouched) {
  write("{not json");
  EXPECT_THROW(append_fix_log(entry("q"), dir_), corvalt::JsonDecodeError);
  EXPECT_EQ(contents(), "{not json");
  write("{\"a\": 1}");
  try {
    append_fix_log(entry("q"), dir_);
    FAIL() << "a log that is not an array was extended";
  } catch (const corvalt::Error& e) {
    EXPECT_STREQ(e.what(), "'dict' object has no attribute 'append'");
  }
  EXPECT_EQ(contents(), "{\"a\": 1}");
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(QuillonFixLog, ExistingPermissionsAreKept) {
  append_fix_log(entry("q"), dir_);
  ASSERT_EQ(::chmod(file_.c_str(), 0640), 0);
  append_fix_log(entry("q2"), dir_);
  struct stat st;
  ASSERT_EQ(::stat(file_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(QuillonFixLog, DirectoryThatIsAFile) {
  std::ofstream(dir_) << "x";
  try {
    append_fix_log(entry("q"), dir_);
    FAIL() << "appended below a file";
  } catch (const corvalt::OsError& e) {
    EXPECT_EQ(std::string(e.what()), "[Errno 17] File exists: '" + dir_ + "'");
  }
}

TEST_F(QuillonFixLog, ConcurrentAppendsLoseNothing) {
  constexpr int kThreads = 4, kEach = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([this, t] {
      for (int i = 0; i < kEach; ++i)
        append_fix_log(entry("t" + std::to_string(t) + "-" + std::to_string(i)), dir_);
    });
  for (auto& th : threads) th.join();
  Value log = read_fix_log(file_);
  ASSERT_EQ(log.as_list().size(), static_cast<std::size_t>(kThreads * kEach));
  // Each writer's entries appear in its own order.
  std::vector<int> next(kThreads, 0);
  for (const Value& e : log.as_list()) {
    const std::string& q = e.as_record().at("question").as_text();
    int t = q[1] - '0';
    EXPECT_EQ(q, "t" + std::to_string(t) + "-" + std::to_string(next[t]++));
  }
  EXPECT_TRUE(leftovers().empty());
}

TEST_F(QuillonFixLog, ServiceFillsDefaultsAndReportsFailures) {
  std::vector<std::string> lines;
  Quillon q(Console([&](std::string_view l) { lines.emplace_back(l); }));
  Record failed{{"sql", Value("select nope")}};  // no execution_error
  Record working{{"question", Value("q")}};      // no sql
  q.fix_log_dir = dir_;
  q.log_corrected_sql(Value("q"), failed, working);
  Value written = read_fix_log(file_).as_list()[0];
  EXPECT_EQ(written, Value(Record{{"question", Value("q")},
                             {"failed_sql", Value("select nope")},
                             {"error", Value("Unknown error")},
                             {"working_sql", Value("")}}));

  write("[1,");
  q.fix_log_dir = dir_;
  q.log_corrected_sql(Value("q"), failed, working);  // silent unless verbose
  EXPECT_TRUE(lines.empty());
  q.verbose = true;
  q.fix_log_dir = dir_;
  q.log_corrected_sql(Value("q"), failed, working);
  EXPECT_EQ(lines, std::vector<std::string>{
                       "Failed to log corrected SQL: Expecting value: line 1 column 4 (char 3)"});
  EXPECT_EQ(contents(), "[1,");

  lines.clear();
  write("[\"\xff\"]");
  q.fix_log_dir = dir_;
  q.log_corrected_sql(Value("q"), failed, working);
  EXPECT_EQ(lines, std::vector<std::string>{
                       "Failed to log corrected SQL: 'utf-8' codec can't decode byte 0xff in position 2: "
                       "invalid start byte"});
}

TEST_F(QuillonFixLog, ReadingAMissingLog) {
  EXPECT_THROW(read_fix_log(file_), corvalt::FileNotFoundError);
}

TEST_F(QuillonFixLog, AMissingLogReadsAsEmptyWhereAskedTo) {
  EXPECT_EQ(read_fix_log_or_empty(file_), Value(corvalt::List()));
  write("[{]");
  EXPECT_THROW(read_fix_log_or_empty(file_), corvalt::JsonDecodeError);
  write("[1]");
  EXPECT_EQ(read_fix_log_or_empty(file_), read_fix_log(file_));
}

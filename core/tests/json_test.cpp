// JSON reader and writer against the host's json module. Expected texts were
// produced with CPython 3.12's json.loads / json.dumps.
#include "corvalt/json.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "corvalt/errors.hpp"
#include "corvalt/text.hpp"
#include "corvalt/value.hpp"

namespace corvalt {
namespace {

namespace fs = std::filesystem;

struct DecodeFailure {
  std::string what, msg;
  std::size_t pos = 0, lineno = 0, colno = 0;
};

// Parses text that must fail, and returns how it failed.
DecodeFailure decode_failure(std::string_view text) {
  try {
    Value v = json::parse(text);
    ADD_FAILURE() << "parsed without error: " << to_repr(v);
  } catch (const JsonDecodeError& e) {
    return {e.what(), e.msg(), e.pos(), e.lineno(), e.colno()};
  }
  return {};
}

void expect_failure(std::string_view text, const std::string& what) {
  EXPECT_EQ(decode_failure(text).what, what) << "input: " << text;
}

// ------------------------------------------------------------ conformance --

TEST(JsonConformance, AllHostVectors) {
  Value doc = json::parse_file(std::string(CORVALT_CONFORMANCE_DIR) + "/cpython-text.json");
  const List& vectors = doc.as_record().at("json_loads").as_list();
  ASSERT_GE(vectors.size(), 30u);
  std::size_t failures_checked = 0, values_checked = 0;
  for (const Value& vec : vectors) {
    const Record& r = vec.as_record();
    const std::string& input = r.at("input").as_text();
    SCOPED_TRACE("input: " + to_repr(Value(input)));
    if (r.at("ok").as_bool()) {
      EXPECT_EQ(to_repr(json::parse(input)), r.at("value_repr").as_text());
      ++values_checked;
    } else {
      DecodeFailure f = decode_failure(input);
      EXPECT_EQ(f.what, r.at("str").as_text());
      EXPECT_EQ(f.msg, r.at("msg").as_text());
      EXPECT_EQ(static_cast<std::int64_t>(f.pos), r.at("pos").as_int());
      EXPECT_EQ(static_cast<std::int64_t>(f.lineno), r.at("lineno").as_int());
      EXPECT_EQ(static_cast<std::int64_t>(f.colno), r.at("colno").as_int());
      ++failures_checked;
    }
  }
  EXPECT_GT(values_checked, 0u);
  EXPECT_GT(failures_checked, 0u);
}

// ----------------------------------------------------------------- values --

TEST(JsonParse, IntegersAndRealsStayApart) {
  Value v = json::parse("[0, -0, 1.0, 1E+2, -7, 9223372036854775807, -9223372036854775808]");
  const List& l = v.as_list();
  EXPECT_TRUE(l[0].is_int());
  EXPECT_TRUE(l[1].is_int());
  EXPECT_EQ(l[1].as_int(), 0);
  EXPECT_TRUE(l[2].is_real());
  EXPECT_EQ(l[3].as_real(), 100.0);
  EXPECT_EQ(l[4].as_int(), -7);
  EXPECT_EQ(l[5].as_int(), INT64_MAX);
  EXPECT_EQ(l[6].as_int(), INT64_MIN);
}

TEST(JsonParse, BigIntegersKeepTheirDigits) {
  Value v = json::parse("[9223372036854775808, -9223372036854775809, 123456789012345678901234567890]");
  const List& l = v.as_list();
  ASSERT_EQ(l[0].kind(), Value::Kind::BigInt);
  EXPECT_EQ(l[0].as_bigint().digits, "9223372036854775808");
  EXPECT_EQ(l[1].as_bigint().digits, "-9223372036854775809");
  EXPECT_EQ(l[2].as_bigint().digits, "123456789012345678901234567890");
  EXPECT_EQ(json::dump_compact(v),
            "[9223372036854775808, -9223372036854775809, 123456789012345678901234567890]");
}

TEST(JsonParse, IntegerDigitLimitAsTheHostsInt) {
  EXPECT_EQ(json::parse(std::string(4300, '7')).as_bigint().digits.size(), 4300u);
  try {
    json::parse("-" + std::string(4301, '1'));
    FAIL() << "no error";
  } catch (const JsonDecodeError&) {
    FAIL() << "wrong error kind";
  } catch (const ValueError& e) {
    EXPECT_STREQ(e.what(),
                 "Exceeds the limit (4300 digits) for integer string conversion: value has 4301 "
                 "digits; use sys.set_int_max_str_digits() to increase the limit");
  }
}

TEST(JsonParse, RealsRoundLikeStrtod) {
  // Halfway and near-halfway cases where a sloppy conversion is off by one ulp.
  EXPECT_EQ(json::parse("9007199254740993.0").as_real(), 9007199254740992.0);
  EXPECT_EQ(json::parse("2.4703282292062328e-324").as_real(), 5e-324);
  EXPECT_EQ(json::parse("2.4703282292062327e-324").as_real(), 0.0);
  EXPECT_EQ(json::parse("1.7976931348623157e308").as_real(), 1.7976931348623157e308);
  EXPECT_EQ(json::parse("0.1").as_real(), 0.1);
  // Out of range: float() gives inf and signed zero.
  EXPECT_EQ(json::parse("1e400").as_real(), INFINITY);
  EXPECT_EQ(json::parse("-1.7976931348623159e308").as_real(), -INFINITY);
  double tiny = json::parse("-1e-400").as_real();
  EXPECT_EQ(tiny, 0.0);
  EXPECT_TRUE(std::signbit(tiny));
  EXPECT_TRUE(std::signbit(json::parse("-0.0").as_real()));
}

TEST(JsonParse, NonFiniteLiterals) {
  Value v = json::parse("[NaN, Infinity, -Infinity]");
  EXPECT_TRUE(std::isnan(v.as_list()[0].as_real()));
  EXPECT_EQ(v.as_list()[1].as_real(), INFINITY);
  EXPECT_EQ(v.as_list()[2].as_real(), -INFINITY);
  // Only the exact spellings.
  expect_failure("-Inf", "Expecting value: line 1 column 1 (char 0)");
  expect_failure("nan", "Expecting value: line 1 column 1 (char 0)");
}

TEST(JsonParse, RepeatedKeyKeepsFirstPositionAndLastValue) {
  Value v = json::parse(R"({"a": 1, "b": 2, "a": 3, "c": {"x": 1, "x": [2]}})");
  EXPECT_EQ(to_repr(v), "{'a': 3, 'b': 2, 'c': {'x': [2]}}");
  // Records large enough to use their key index behave the same way.
  std::string text = "{";
  for (int i = 0; i < 40; ++i) text += "\"k" + std::to_string(i) + "\": " + std::to_string(i) + ", ";
  text += "\"k3\": \"again\", \"k39\": null}";
  const Value parsed = json::parse(text);
  const Record& r = parsed.as_record();
  ASSERT_EQ(r.size(), 40u);
  EXPECT_EQ(r.item(3).first, "k3");
  EXPECT_EQ(r.item(3).second.as_text(), "again");
  EXPECT_TRUE(r.item(39).second.is_null());
  EXPECT_EQ(r.item(4).second.as_int(), 4);
}

TEST(JsonParse, StringEscapes) {
  EXPECT_EQ(json::parse(R"("\" \\ \/ \b \f \n \r \t")").as_text(), "\" \\ / \b \f \n \r \t");
  EXPECT_EQ(json::parse(R"("\u00e9\u00C9")").as_text(), "\xC3\xA9\xC3\x89");
  // A surrogate pair becomes one code point.
  EXPECT_EQ(json::parse(R"("\ud83d\ude00")").as_text(), "\xF0\x9F\x98\x80");
  // Raw UTF-8 passes through unchanged.
  EXPECT_EQ(json::parse("\"caf\xC3\xA9 \xF0\x9F\x98\x80\"").as_text(),
            "caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(json::parse(R"("\u0000")").as_text(), std::string(1, '\0'));
}

TEST(JsonParse, UnpairedSurrogatesStayLone) {
  // The host keeps these as lone surrogates; they are carried as the 3-byte
  // form and written back as the same escapes.
  Value lone = json::parse(R"("\ud800")");
  EXPECT_EQ(lone.as_text(), "\xED\xA0\x80");
  EXPECT_EQ(json::dump_compact(lone), R"("\ud800")");
  // A high surrogate followed by something other than a low one: both kept.
  EXPECT_EQ(json::parse(R"("\ud800\u0041")").as_text(), "\xED\xA0\x80" "A");
  EXPECT_EQ(json::parse(R"("\udc00\ud800")").as_text(), "\xED\xB0\x80\xED\xA0\x80");
  EXPECT_EQ(json::dump_compact(json::parse(R"("\ud800\ud800")")), R"("\ud800\ud800")");
}

TEST(JsonParse, OnlyJsonWhitespace) {
  EXPECT_EQ(to_repr(json::parse(" \t\r\n[ 1 ,\n\t2 ] \r\n")), "[1, 2]");
  expect_failure("\f1", "Expecting value: line 1 column 1 (char 0)");
  expect_failure("\v1", "Expecting value: line 1 column 1 (char 0)");
  expect_failure("\xC2\xA0" "1", "Expecting value: line 1 column 1 (char 0)");
  expect_failure("1\xE3\x80\x80", "Extra data: line 1 column 2 (char 1)");
}

TEST(JsonParse, NestingBeyondTheHostsLimitFails) {
  std::string ok = std::string(1497, '[') + std::string(1497, ']');
  EXPECT_TRUE(json::parse(ok).is_list());
  try {
    json::parse(std::string(100000, '['));
    FAIL() << "no error";
  } catch (const JsonDecodeError&) {
    FAIL() << "should stop at the depth limit before reaching the end";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(),
                 "maximum recursion depth exceeded while decoding a JSON array from a unicode "
                 "string");
  }
}

// ----------------------------------------------------------------- errors --

TEST(JsonErrors, PositionsCountCodePoints) {
  expect_failure("[\"\xC3\xA9\", x]", "Expecting value: line 1 column 7 (char 6)");
  expect_failure("{\"\xC3\xA9\":\n  \"\xF0\x9F\x98\x80\", ]",
                 "Expecting property name enclosed in double quotes: line 2 column 8 (char 13)");
  DecodeFailure f = decode_failure("[1,\r\n2,\r\n]");
  EXPECT_EQ(f.what, "Expecting value: line 3 column 1 (char 9)");
  EXPECT_EQ(f.msg, "Expecting value");
  EXPECT_EQ(f.pos, 9u);
  EXPECT_EQ(f.lineno, 3u);
  EXPECT_EQ(f.colno, 1u);
}

TEST(JsonErrors, DelimitersAndExtraData) {
  expect_failure(R"({"a":1 "b"})", "Expecting ',' delimiter: line 1 column 8 (char 7)");
  expect_failure(R"({"a" : [1, {"b" :}]})", "Expecting value: line 1 column 18 (char 17)");
  expect_failure("nulll", "Extra data: line 1 column 5 (char 4)");
  expect_failure("1e", "Extra data: line 1 column 2 (char 1)");
  expect_failure("1e+", "Extra data: line 1 column 2 (char 1)");
  expect_failure("[-]", "Expecting value: line 1 column 2 (char 1)");
}

TEST(JsonErrors, StringErrors) {
  expect_failure(R"("\ud800\u12")", "Invalid \\uXXXX escape: line 1 column 9 (char 8)");
  expect_failure(R"("\ud800\udcXY")", "Invalid \\uXXXX escape: line 1 column 9 (char 8)");
  expect_failure(R"("\u12G4")", "Invalid \\uXXXX escape: line 1 column 3 (char 2)");
  // Four digits but nothing after them.
  expect_failure(R"("\u1234)", "Invalid \\uXXXX escape: line 1 column 3 (char 2)");
  expect_failure(R"("ab\q")", "Invalid \\escape: line 1 column 4 (char 3)");
  expect_failure("\"abc\\", "Unterminated string starting at: line 1 column 1 (char 0)");
  expect_failure("[\"a\",\"b\x1f\"]", "Invalid control character at: line 1 column 8 (char 7)");
  // A control character is reported even when the string is also unterminated.
  expect_failure("\"a\x01", "Invalid control character at: line 1 column 3 (char 2)");
}

TEST(JsonErrors, ByteOrderMarkIsRefused) {
  DecodeFailure f = decode_failure("\xEF\xBB\xBF{}");
  EXPECT_EQ(f.what, "Unexpected UTF-8 BOM (decode using utf-8-sig): line 1 column 1 (char 0)");
  EXPECT_EQ(f.pos, 0u);
}

TEST(JsonErrors, ErrorCarriesTheDocument) {
  try {
    json::parse("[1, 2");
    FAIL() << "no error";
  } catch (const JsonDecodeError& e) {
    EXPECT_EQ(e.doc(), "[1, 2");
    EXPECT_EQ(e.msg(), "Expecting ',' delimiter");
  }
}

// ----------------------------------------------------------------- writer --

Value sample() {
  return json::parse(
      "{\"name\": \"\xC3\x9Cn\xC3\xAF" "code\", \"list\": [1, 2.5, [], {}, [null, true, false]],"
      " \"nested\": {\"deep\": {\"x\": \"\xF0\x9F\x98\x80\"}},"
      " \"esc\": \"tab\\tnl\\ncr\\rq\\\"bs\\\\ \\b\\f\\u0001\\u007f/\","
      " \"big\": -123456789012345678901234567890, \"nan\": NaN, \"inf\": Infinity,"
      " \"ninf\": -Infinity, \"r\": [1e16, 1e-5, 0.1, -0.0, 100.0, 1.5e300]}");
}

TEST(JsonWrite, IndentedForm) {
  EXPECT_EQ(json::dump_indented(sample()),
            "{\n  \"name\": \"\\u00dcn\\u00efcode\",\n  \"list\": [\n    1,\n    2.5,\n    [],\n"
            "    {},\n    [\n      null,\n      true,\n      false\n    ]\n  ],\n  \"nested\": {\n"
            "    \"deep\": {\n      \"x\": \"\\ud83d\\ude00\"\n    }\n  },\n"
            "  \"esc\": \"tab\\tnl\\ncr\\rq\\\"bs\\\\ \\b\\f\\u0001\\u007f/\",\n"
            "  \"big\": -123456789012345678901234567890,\n  \"nan\": NaN,\n  \"inf\": Infinity,\n"
            "  \"ninf\": -Infinity,\n  \"r\": [\n    1e+16,\n    1e-05,\n    0.1,\n    -0.0,\n"
            "    100.0,\n    1.5e+300\n  ]\n}");
}

TEST(JsonWrite, CompactForm) {
  EXPECT_EQ(json::dump_compact(sample()),
            "{\"name\": \"\\u00dcn\\u00efcode\", \"list\": [1, 2.5, [], {}, [null, true, false]], "
            "\"nested\": {\"deep\": {\"x\": \"\\ud83d\\ude00\"}}, "
            "\"esc\": \"tab\\tnl\\ncr\\rq\\\"bs\\\\ \\b\\f\\u0001\\u007f/\", "
            "\"big\": -123456789012345678901234567890, \"nan\": NaN, \"inf\": Infinity, "
            "\"ninf\": -Infinity, \"r\": [1e+16, 1e-05, 0.1, -0.0, 100.0, 1.5e+300]}");
}

TEST(JsonWrite, ScalarsAndEmptyContainers) {
  EXPECT_EQ(json::dump_indented(Value(make_list())), "[]");
  EXPECT_EQ(json::dump_indented(Value(make_record())), "{}");
  EXPECT_EQ(json::dump_indented(json::parse("[[]]")), "[\n  []\n]");
  EXPECT_EQ(json::dump_indented(Value("x")), "\"x\"");
  EXPECT_EQ(json::dump_compact(json::parse("[{}, []]")), "[{}, []]");
  EXPECT_EQ(json::dump_compact(Value(std::int64_t{-42})), "-42");
  EXPECT_EQ(json::dump_compact(Value()), "null");
}

TEST(JsonWrite, KeysAreEscapedToo) {
  Record r;
  r.set("\xC3\xA9\n\"", Value(1));
  EXPECT_EQ(json::dump_compact(Value(std::move(r))), "{\"\\u00e9\\n\\\"\": 1}");
}

TEST(JsonWrite, BytesAreNotSerializable) {
  List l{Value(1), Value(Bytes{"\x01"})};
  try {
    json::dump_indented(Value(std::move(l)));
    FAIL() << "no error";
  } catch (const TypeError& e) {
    EXPECT_STREQ(e.what(), "Object of type bytes is not JSON serializable");
  }
}

TEST(JsonWrite, SharedRecordIsFineButACycleIsNot) {
  RecordPtr shared = make_record();
  shared->set("v", Value(1));
  RecordPtr outer = make_record();
  outer->set("a", Value(shared));
  outer->set("b", Value(shared));
  EXPECT_EQ(json::dump_compact(Value(outer)), R"({"a": {"v": 1}, "b": {"v": 1}})");

  RecordPtr cyclic = make_record();
  cyclic->set("self", Value(cyclic));
  EXPECT_THROW(json::dump_compact(Value(cyclic)), ValueError);
  EXPECT_THROW(json::dump_indented(Value(cyclic)), ValueError);
  cyclic->set("self", Value());  // break the cycle so the record is freed
}

TEST(JsonWrite, RoundTrips) {
  Value v = sample();
  // NaN never equals itself, so compare the written forms.
  EXPECT_EQ(json::dump_indented(json::parse(json::dump_indented(v))), json::dump_indented(v));
  EXPECT_EQ(json::dump_compact(json::parse(json::dump_compact(v))), json::dump_compact(v));
  Value plain = json::parse(R"({"a": [1, 2.5, "x\u00e9\ud83d\ude00", {"b": null}], "c": true})");
  EXPECT_EQ(json::parse(json::dump_indented(plain)), plain);
  EXPECT_EQ(json::parse(json::dump_compact(plain)), plain);
}

// ------------------------------------------------------------------ files --

class JsonFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("corvalt_json_test_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const std::string& bytes) {
    std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  fs::path dir_;
};

TEST_F(JsonFileTest, ReadsAWholeDocument) {
  std::string path = write("doc.json", "{\"t\": [\"caf\xC3\xA9\", 1.5, 7]}\n");
  EXPECT_EQ(json::dump_compact(json::parse_file(path)), R"({"t": ["caf\u00e9", 1.5, 7]})");
}

TEST_F(JsonFileTest, MissingFileAndDirectoryWordedAsOpen) {
  std::string missing = (dir_ / "missing.json").string();
  try {
    json::parse_file(missing);
    FAIL() << "no error";
  } catch (const OsError& e) {
    EXPECT_EQ(std::string(e.what()), "[Errno 2] No such file or directory: '" + missing + "'");
  }
  try {
    json::parse_file(dir_.string());
    FAIL() << "no error";
  } catch (const OsError& e) {
    EXPECT_EQ(std::string(e.what()), "[Errno 21] Is a directory: '" + dir_.string() + "'");
  }
}

TEST_F(JsonFileTest, InvalidUtf8ReportsTheHostsRange) {
  struct Case {
    std::string bytes;
    std::size_t start, end;
    const char* reason;
  } cases[] = {
      {"[1, \"\xFF\"]", 5, 6, "invalid start byte"},
      {"\"\xE2\x82x\"", 1, 3, "invalid continuation byte"},
      {"\"ab\xE2\x82", 3, 5, "unexpected end of data"},
      {"[\"\xF0\x9F\x98", 2, 5, "unexpected end of data"},
      {"\"\xED\xA0\x80\"", 1, 2, "invalid continuation byte"},  // encoded surrogate
      {"\"\xC0\xAF\"", 1, 2, "invalid start byte"},              // overlong
      {"\"\xF4\x90\x80\x80\"", 1, 2, "invalid continuation byte"},  // beyond U+10FFFF
  };
  for (const Case& c : cases) {
    std::string path = write("bad.json", c.bytes);
    try {
      json::parse_file(path);
      ADD_FAILURE() << "no error for " << to_repr(Value(Bytes{c.bytes}));
    } catch (const UnicodeDecodeError& e) {
      EXPECT_EQ(e.start(), c.start) << c.reason;
      EXPECT_EQ(e.end(), c.end) << c.reason;
      EXPECT_EQ(e.reason(), c.reason);
      EXPECT_EQ(e.data(), c.bytes);
    }
  }
}

TEST_F(JsonFileTest, ByteOrderMarkIsNotStripped) {
  std::string path = write("bom.json", "\xEF\xBB\xBF{}");
  try {
    json::parse_file(path);
    FAIL() << "no error";
  } catch (const JsonDecodeError& e) {
    EXPECT_STREQ(e.what(),
                 "Unexpected UTF-8 BOM (decode using utf-8-sig): line 1 column 1 (char 0)");
  }
}

TEST_F(JsonFileTest, TextModeNewlinesShowInErrorPositions) {
  // Read as text, "\r\n" and "\r" become "\n" before parsing.
  for (const char* bytes : {"[1,\r\n2,\r\n]", "[1,\r2,\r]"}) {
    try {
      json::parse_file(write("nl.json", bytes));
      ADD_FAILURE() << "no error";
    } catch (const JsonDecodeError& e) {
      EXPECT_STREQ(e.what(), "Expecting value: line 3 column 1 (char 7)");
    }
  }
  try {
    json::parse_file(write("nl.json", "{\"k\": \"a\r\nb\"}"));
    ADD_FAILURE() << "no error";
  } catch (const JsonDecodeError& e) {
    EXPECT_STREQ(e.what(), "Invalid control character at: line 1 column 9 (char 8)");
  }
}

}  // namespace
}  // namespace corvalt

// ---------------------------------------------------------- fast reader --
// Valid documents are read by the fast reader; whatever it gives must be what
// the exact reader gives, and a document it refuses must still get the exact
// reader's values or error.
namespace corvalt {
namespace {

class RandomDocument {
 public:
  explicit RandomDocument(unsigned seed) : state_(seed * 2654435761u + 1) {}

  std::string make() {
    std::string out;
    space(out);
    value(out, 0);
    space(out);
    return out;
  }

 private:
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  std::size_t below(std::size_t n) { return next() % n; }

  void space(std::string& out) {
    static const char* kSpaces[] = {"", "", "", " ", "\n  ", "\t", "\r\n", " \n\t "};
    out += kSpaces[below(8)];
  }

  void string(std::string& out) {
    static const char* kPieces[] = {"a", "Zone", "total_float", " ", "\\n", "\\t", "\\\"", "\\\\",
                                    "\\/", "\\u00e9", "\\u2603", "\\ud83d\\ude00", "\xC3\xA9",
                                    "\xE2\x98\x83", "\xF0\x9F\x98\x80", "\\u0000", "\\b\\f\\r",
                                    "0123456789", "\x7F", "'", "{}[],:"};
    out += '"';
    for (std::size_t n = below(6); n > 0; --n) out += kPieces[below(21)];
    out += '"';
  }

  void number(std::string& out) {
    static const char* kNumbers[] = {"0", "-0", "7", "-12", "9223372036854775807",
                                     "-9223372036854775808", "9223372036854775808",
                                     "18446744073709551615", "0.5", "-0.0", "1e5", "1E+2",
                                     "2.5e-3", "1e-400", "-1e-400", "4.9e-324",
                                     "1.7976931348623157e308", "0.1", "123456.789e-7",
                                     "3.141592653589793238462643383279", "100000000000000000000.0"};
    out += kNumbers[below(21)];
  }

  void value(std::string& out, int depth) {
    const std::size_t kind = depth > 5 ? below(5) : below(8);
    switch (kind) {
      case 0: out += below(2) ? "true" : "false"; return;
      case 1: out += "null"; return;
      case 2:
      case 3: number(out); return;
      case 4: string(out); return;
      case 5:
      case 6: {
        out += '{';
        const std::size_t n = below(kind == 6 ? 24 : 5);
        for (std::size_t i = 0; i < n; ++i) {
          if (i) out += ',';
          space(out);
          // A few keys repeat, some in large records.
          if (below(4) == 0) out += "\"k" + std::to_string(below(3)) + "\"";
          else string(out);
          space(out);
          out += ':';
          space(out);
          value(out, depth + 1);
          space(out);
        }
        out += '}';
        return;
      }
      default: {
        out += '[';
        const std::size_t n = below(6);
        for (std::size_t i = 0; i < n; ++i) {
          if (i) out += ',';
          space(out);
          value(out, depth + 1);
          space(out);
        }
        out += ']';
      }
    }
  }

  std::uint32_t state_;
};

// The values with their kinds spelled out (1, 1.0 and True differ).
std::string shown(const Value& v) { return to_repr(v); }

struct Outcome {
  std::string values;  // or the error
  bool failed = false;
};

Outcome exact(const std::string& text) {
  std::string translated = text;
  // The exact reader sees the text as the file reader hands it over.
  std::string out;
  for (std::size_t i = 0; i < translated.size(); ++i) {
    if (translated[i] == '\r') {
      out += '\n';
      if (i + 1 < translated.size() && translated[i + 1] == '\n') ++i;
    } else {
      out += translated[i];
    }
  }
  try {
    return {shown(json::parse(out)), false};
  } catch (const JsonDecodeError& e) {
    return {e.msg() + "@" + std::to_string(e.pos()) + ":" + std::to_string(e.lineno()) + ":" +
                std::to_string(e.colno()),
            true};
  } catch (const Error& e) {
    return {e.what(), true};
  }
}

Outcome through_document(const std::string& text, bool* fast) {
  try {
    auto doc = json::Document::parse(text);
    if (fast) *fast = doc->fast();
    return {shown(doc->value()), false};
  } catch (const JsonDecodeError& e) {
    return {e.msg() + "@" + std::to_string(e.pos()) + ":" + std::to_string(e.lineno()) + ":" +
                std::to_string(e.colno()),
            true};
  } catch (const Error& e) {
    return {e.what(), true};
  }
}

TEST(JsonFastReader, RandomValidDocumentsGiveTheExactValues) {
  int fast_count = 0;
  for (unsigned seed = 1; seed <= 3000; ++seed) {
    const std::string text = RandomDocument(seed).make();
    bool fast = false;
    const Outcome want = exact(text);
    const Outcome got = through_document(text, &fast);
    ASSERT_FALSE(want.failed) << text << "\n" << want.values;
    ASSERT_EQ(got.values, want.values) << text;
    fast_count += fast;
  }
  // Only documents with a number beyond what the fast reader takes miss it.
  EXPECT_GT(fast_count, 1500);
}

TEST(JsonFastReader, MalformedDocumentsGetTheExactError) {
  int failures = 0;
  for (unsigned seed = 1; seed <= 3000; ++seed) {
    std::string text = RandomDocument(seed).make();
    std::uint32_t h = seed * 2246822519u;
    // Cut it, or put a stray byte somewhere.
    const std::size_t at = text.empty() ? 0 : h % text.size();
    static const char* kStray[] = {",", "]", "}", ":", "\"", "x", "\x01", "\\", "NaN", "01", "-",
                                   "\xEF\xBB\xBF", "\t\n", " 1"};
    if (h & 1) text.resize(at);
    else text.insert(at, kStray[(h >> 1) % 14]);
    const Outcome want = exact(text);
    const Outcome got = through_document(text, nullptr);
    ASSERT_EQ(got.failed, want.failed) << text;
    ASSERT_EQ(got.values, want.values) << text;
    failures += want.failed;
  }
  EXPECT_GT(failures, 2000);
}

TEST(JsonFastReader, WhatOnlyTheHostAcceptsGoesToTheExactReader) {
  for (const char* text : {"[NaN, Infinity, -Infinity]", "123456789012345678901234567890",
                           "-9223372036854775809", "1e400", "\"\\ud800\"", "{\"a\": \"\\udc00x\"}"}) {
    auto doc = json::Document::parse(text);
    EXPECT_FALSE(doc->fast()) << text;
    EXPECT_EQ(shown(doc->value()), shown(json::parse(text))) << text;
  }
  std::string deep(1200, '[');
  deep += std::string(1200, ']');
  EXPECT_EQ(shown(json::Document::parse(deep)->value()), shown(json::parse(deep)));
  auto fast = json::Document::parse("{\"a\": [1, 2.0, \"x\"], \"a\": -0}");
  EXPECT_TRUE(fast->fast());
  EXPECT_TRUE(fast->is_record());
  EXPECT_EQ(shown(fast->value()), "{'a': 0}");
}

// What walk() reports, in the order reported.
class Recorder : public json::Visitor {
 public:
  std::string out;
  void null() override { out += "N "; }
  void boolean(bool b) override { out += b ? "T " : "F "; }
  void integer(std::int64_t i) override { out += "i" + std::to_string(i) + " "; }
  void big_integer(std::string_view d) override { out += "b" + std::string(d) + " "; }
  void real(double d) override { out += "r" + real_repr(d) + " "; }
  void text(std::string_view s) override { out += "s" + text::py_repr(s) + " "; }
  void begin_list(std::size_t n) override { out += "[" + std::to_string(n) + " "; }
  void end_list() override { out += "] "; }
  void begin_record(std::size_t n) override { out += "{" + std::to_string(n) + " "; }
  void key(std::string_view k) override { out += "k" + text::py_repr(k) + " "; }
  void end_record() override { out += "} "; }
};

TEST(JsonFastReader, WalkReportsTheSameEitherWay) {
  const std::string text =
      R"({"a": [1, 2.5, "x\u00e9", true, null, 18446744073709551615], "b": {}, "a": -0})";
  Recorder fast, exact_walk;
  auto doc = json::Document::parse(text);
  ASSERT_TRUE(doc->fast());
  doc->walk(fast);
  // The same text with a literal only the exact reader takes.
  auto with_nan = json::Document::parse(R"({"a": [1, 2.5, "x\u00e9", true, null, 18446744073709551615], "b": {}, "a": NaN})");
  ASSERT_FALSE(with_nan->fast());
  with_nan->walk(exact_walk);
  EXPECT_EQ(fast.out,
            "{3 k'a' [6 i1 r2.5 s'xé' T N b18446744073709551615 ] k'b' {0 } k'a' i0 } ");
  // The exact reader's record has merged the repeated key.
  EXPECT_EQ(exact_walk.out,
            "{2 k'a' rnan k'b' {0 } } ");
}

}  // namespace
}  // namespace corvalt

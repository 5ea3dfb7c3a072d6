// Template answers: literals found in questions, wording compared without
// them, and earlier statements refilled or refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "corvalt/templates.hpp"

using namespace corvalt::templates;

namespace {

using Changes = std::vector<std::pair<std::string, std::string>>;

std::vector<std::pair<LiteralKind, std::string>> kinds_and_values(std::string_view question,
                                                                  const std::vector<NamedValue>& values = {}) {
  std::vector<std::pair<LiteralKind, std::string>> out;
  for (const Literal& l : find_literals(question, values)) out.emplace_back(l.kind, l.value);
  return out;
}

// The named value over `phrase` in `question`.
NamedValue named(std::string_view question, std::string_view phrase, std::string stored) {
  const std::size_t at = question.find(phrase);
  EXPECT_NE(at, std::string_view::npos) << phrase;
  return NamedValue{at, at + phrase.size(), std::move(stored)};
}

const Source kLag{"relationships with lag greater than 44 days",
                  "SELECT * FROM activity_relationships WHERE lag_days > 44", {}};

const Source kMilestones{
    "milestones due in May 2024",
    "SELECT * FROM activities WHERE activity_type = 'Milestone' AND early_finish_date >= '2024-05-01' "
    "AND early_finish_date < '2024-06-01'",
    {}};

}  // namespace

// ---- literals ----------------------------------------------------------------

TEST(TemplateLiterals, FindsEachKindWithItsMeaning) {
  const std::string q = "tasks of 'Pour deck' in HBR-2200 with lag over 2.5 days, 1,000 units or -3, in May 2024";
  const auto found = find_literals(q);
  ASSERT_EQ(found.size(), 6u);
  EXPECT_EQ(found[0].kind, LiteralKind::kQuoted);
  EXPECT_EQ(found[0].text, "'Pour deck'");
  EXPECT_EQ(found[0].value, "Pour deck");
  EXPECT_EQ(q.substr(found[0].begin, found[0].end - found[0].begin), found[0].text);
  EXPECT_EQ(found[1].kind, LiteralKind::kCode);
  EXPECT_EQ(found[1].value, "HBR-2200");
  EXPECT_EQ(found[2].value, "2.5");
  EXPECT_EQ(found[3].value, "1000");
  EXPECT_EQ(found[4].value, "-3");
  EXPECT_EQ(found[5].kind, LiteralKind::kDate);
  EXPECT_EQ(found[5].text, "May 2024");
  EXPECT_EQ(found[5].value, "2024-05");
}

TEST(TemplateLiterals, DatesCarryTheirPrecision) {
  using P = std::vector<std::pair<LiteralKind, std::string>>;
  const auto d = LiteralKind::kDate;
  EXPECT_EQ(kinds_and_values("due on 2024-05-17"), (P{{d, "2024-05-17"}}));
  EXPECT_EQ(kinds_and_values("due on May 17th, 2024 or 3 Sept 2025"), (P{{d, "2024-05-17"}, {d, "2025-09-03"}}));
  EXPECT_EQ(kinds_and_values("started in june 2025 or 2024-07"), (P{{d, "2025-06"}, {d, "2024-07"}}));
  EXPECT_EQ(kinds_and_values("finished in Q3 2024"), (P{{d, "2024-Q3"}}));
  EXPECT_EQ(kinds_and_values("finished between 2023 and 2024"), (P{{d, "2023"}, {d, "2024"}}));
  // A four-digit quantity is no year, nor is a day that the month lacks.
  EXPECT_EQ(kinds_and_values("lag of 2000 days"), (P{{LiteralKind::kNumber, "2000"}}));
  for (const auto& [kind, value] : kinds_and_values("due on 2023-02-29")) EXPECT_NE(kind, d) << value;
  // A month named in full stands alone; "may" and "march" only capitalised
  // inside the question.
  EXPECT_EQ(kinds_and_values("weather lost hours May by project"), (P{{d, "--05"}}));
  EXPECT_EQ(kinds_and_values("hours lost june by project"), (P{{d, "--06"}}));
  EXPECT_TRUE(kinds_and_values("May I see what crews march on site").empty());
  EXPECT_TRUE(kinds_and_values("what we may lose").empty());
  // A month that a longer stored value holds is still the month.
  const std::string q = "downtime in April 2025";
  EXPECT_EQ(kinds_and_values(q, {named(q, "April", "April to October")}), (P{{d, "2025-04"}}));
}

TEST(TemplateLiterals, ARangesFirstDayTakesTheMonthAndYearOfItsLast) {
  using P = std::vector<std::pair<LiteralKind, std::string>>;
  const auto d = LiteralKind::kDate, n = LiteralKind::kNumber;
  EXPECT_EQ(kinds_and_values("starting between 12 and 26 September 2025"), (P{{d, "2025-09-12"}, {d, "2025-09-26"}}));
  EXPECT_EQ(kinds_and_values("from 3 Nov to 14 Dec 2025"), (P{{d, "2025-11-03"}, {d, "2025-12-14"}}));
  EXPECT_EQ(kinds_and_values("between 30 and 12 Nov 2025"), (P{{n, "30"}, {d, "2025-11-12"}}));
  EXPECT_EQ(kinds_and_values("3 preds and 14 Nov 2025"), (P{{n, "3"}, {d, "2025-11-14"}}));
  // A day without a year takes the statement's, as a month without one does.
  EXPECT_EQ(kinds_and_values("before Oct 31st"), (P{{d, "--10-31"}}));
  EXPECT_EQ(kinds_and_values("may 5 tasks slip"), (P{{n, "5"}}));
  const Source expiring{"permits that run out before 30 November 2025",
                        "SELECT * FROM permits WHERE valid_to < '2025-11-30'", {}};
  EXPECT_EQ(refill(expiring, "permits that run out before Oct 31st").value_or(Fit{}).sql,
            "SELECT * FROM permits WHERE valid_to < '2025-10-31'");
  // Slashes: the day is told from the month only where it is past twelve.
  EXPECT_EQ(kinds_and_values("before 31/12/2025 or 12/31/2026"), (P{{d, "2025-12-31"}, {d, "2026-12-31"}}));
  EXPECT_EQ(kinds_and_values("from 12/09/2025"), (P{{n, "12"}, {n, "09"}, {n, "2025"}}));
  EXPECT_EQ(kinds_and_values("1/2/13/2025 and 24/7"), (P{{n, "1"}, {n, "2"}, {n, "13"}, {n, "2025"}, {n, "24"}, {n, "7"}}));
  EXPECT_EQ(refill(expiring, "permits expiring before 31/12/2025").value_or(Fit{}).sql,
            "SELECT * FROM permits WHERE valid_to < '2025-12-31'");
}

TEST(TemplateLiterals, CodesNumbersAndApostrophesAreToldApart) {
  using P = std::vector<std::pair<LiteralKind, std::string>>;
  const auto c = LiteralKind::kCode, n = LiteralKind::kNumber;
  EXPECT_EQ(kinds_and_values("A1010 and RMC-A1040 in HBR"), (P{{c, "A1010"}, {c, "RMC-A1040"}, {c, "HBR"}}));
  // A unit after a number, a capitalised stop word and an apostrophe are
  // not literals of their own.
  EXPECT_EQ(kinds_and_values("the project's 10-day tasks, NOT 2nd ones"), (P{{n, "10"}, {n, "2"}}));
  EXPECT_EQ(kinds_and_values("activities named \"Pour deck\""), (P{{LiteralKind::kQuoted, "Pour deck"}}));
  // In a question written in capitals every word would be a code.
  EXPECT_TRUE(kinds_and_values("SHOW ALL TASKS").empty());
  // A count written as a word, but not "one", as often a pronoun.
  EXPECT_EQ(kinds_and_values("top ten risks, each one"), (P{{n, "10"}}));
  const Source top{"Top 10 open risks by score", "SELECT * FROM risks ORDER BY score DESC LIMIT 10", {}};
  EXPECT_EQ(refill(top, "top five open risks by score").value_or(Fit{}).sql,
            "SELECT * FROM risks ORDER BY score DESC LIMIT 5");
}

TEST(TemplateLiterals, NamedValuesWinOverOverlappingLiterals) {
  const std::string q = "activities of HBR-2200 in the Harbor Bridge project";
  const auto found = find_literals(q, {named(q, "HBR-2200 in", "HBR-2200"), named(q, "Harbor Bridge", "Harbor Bridge Rehabilitation")});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].kind, LiteralKind::kValue);
  EXPECT_EQ(found[0].value, "HBR-2200");
  EXPECT_EQ(found[1].text, "Harbor Bridge");
  EXPECT_EQ(found[1].value, "Harbor Bridge Rehabilitation");
  // A span past the question's end is ignored.
  EXPECT_EQ(find_literals("float", {{2, 40, "x"}}).size(), 0u);
}

TEST(TemplateLiterals, ANamedValueTakesTheWordsAfterItThatShortenItsOwn) {
  auto said = [](const std::string& q, std::string_view phrase, std::string stored) {
    const auto found = find_literals(q, {named(q, phrase, std::move(stored))});
    return found.empty() ? std::string() : found[0].text;
  };
  EXPECT_EQ(said("dalton labs tasks with neg float", "dalton", "Dalton Chemistry Laboratories"), "dalton labs");
  EXPECT_EQ(said("snags at hollins ct", "hollins", "Hollins Court"), "hollins ct");
  EXPECT_EQ(said("whats critical on the flot expansion", "expansion", "Flotation Expansion"), "flot expansion");
  EXPECT_EQ(said("flot expansion crit path", "flot expansion", "Flotation Circuit Expansion"), "flot expansion");
  // Though a value of its own names those words.
  const std::string twy = "crit path for twy bravo";
  const auto found = find_literals(twy, {named(twy, "twy", "TWY"), named(twy, "bravo", "Taxiway Bravo")});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].text, "twy bravo");
  EXPECT_EQ(found[0].value, "Taxiway Bravo");
  // Not a word the value already says, another word, or one past a comma.
  EXPECT_EQ(said("hollins court cost", "hollins court", "Hollins Court"), "hollins court");
  EXPECT_EQ(said("dalton tasks", "dalton", "Dalton Chemistry Laboratories"), "dalton");
  EXPECT_EQ(said("dalton, labs", "dalton", "Dalton Chemistry Laboratories"), "dalton");
}

// ---- refilling ------------------------------------------------------------------

TEST(TemplateRefill, ANumberUnderSynonymsAndAnotherWordOrder) {
  const auto fit = refill(kLag, "links with more than 10 days of lag");
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql, "SELECT * FROM activity_relationships WHERE lag_days > 10");
  EXPECT_DOUBLE_EQ(fit->similarity, 1.0);
  EXPECT_EQ(fit->replaced, (Changes{{"44", "10"}}));
  // Float is total float, unless it is free float.
  const Source total{"activities with total float under 5 days", "SELECT * FROM activities WHERE total_float < 5", {}};
  const auto slack = refill(total, "tasks with less than 2 days of slack");
  ASSERT_TRUE(slack);
  EXPECT_DOUBLE_EQ(slack->similarity, 1.0);
  EXPECT_FALSE(refill(total, "tasks with less than 2 days of free float"));
}

TEST(TemplateRefill, AMonthAndTheEndsOfItsRange) {
  const auto fit = refill(kMilestones, "milestones finishing in June 2025");
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql,
            "SELECT * FROM activities WHERE activity_type = 'Milestone' AND early_finish_date >= '2025-06-01' "
            "AND early_finish_date < '2025-07-01'");
  const Source closed{"milestones due in February 2024",
                      "SELECT * FROM activities WHERE early_finish_date BETWEEN '2024-02-01' AND '2024-02-29' "
                      "OR strftime('%Y-%m', late_finish_date) = '2024-02'", {}};
  const auto leap = refill(closed, "milestones due in February 2025");
  ASSERT_TRUE(leap);
  EXPECT_EQ(leap->sql,
            "SELECT * FROM activities WHERE early_finish_date BETWEEN '2025-02-01' AND '2025-02-28' "
            "OR strftime('%Y-%m', late_finish_date) = '2025-02'");
}

// A period takes a period of another length by its days; what only its own
// length writes (the year as text or as a number) cannot take it.
TEST(TemplateRefill, APeriodForAPeriodOfAnotherLength) {
  const Source year{"Which consents expire before the end of 2025?",
                    "SELECT * FROM consents WHERE expiry < '2026-01-01'", {}};
  const auto november = refill(year, "Which consents expire before the end of November 2025?");
  ASSERT_TRUE(november);
  EXPECT_EQ(november->sql, "SELECT * FROM consents WHERE expiry < '2025-12-01'");
  const auto year_long = refill(kMilestones, "milestones due in 2025");
  ASSERT_TRUE(year_long);
  EXPECT_EQ(year_long->sql,
            "SELECT * FROM activities WHERE activity_type = 'Milestone' AND early_finish_date >= '2025-01-01' "
            "AND early_finish_date < '2026-01-01'");
  EXPECT_FALSE(refill(Source{"consents expiring in 2025", "SELECT * FROM consents WHERE strftime('%Y', expiry) = '2025'", {}},
                      "consents expiring in May 2025"));
  EXPECT_FALSE(refill(Source{"consents expiring in 2025",
                             "SELECT * FROM consents WHERE CAST(strftime('%Y', expiry) AS INTEGER) = 2025", {}},
                      "consents expiring in May 2025"));
}

// A look-ahead of one unit is said without its count.
TEST(TemplateRefill, ALookAheadOfOneUnitSaysNoCount) {
  const Source two{"What activities start in the next two weeks?",
                   "SELECT * FROM activities WHERE early_start >= '2025-10-18' AND early_start < '2025-11-01'", {}};
  const auto week = refill(two, "what activities start in the next week");
  ASSERT_TRUE(week);
  EXPECT_EQ(week->sql, "SELECT * FROM activities WHERE early_start >= '2025-10-18' AND early_start < '2025-10-25'");
  EXPECT_FALSE(refill(two, "what activities started last week"));
}

// A range of days in one month, however it is said.
TEST(TemplateRefill, ARangeOfDaysInOneMonth) {
  const Source booked{"What outages are booked between 20 and 31 October?",
                      "SELECT * FROM outages WHERE start_date >= '2025-10-20' AND start_date <= '2025-10-31'", {}};
  for (const char* asked : {"What outages are booked from 18 to 24 October?", "outages booked 18 to 24 October"}) {
    const auto fit = refill(booked, asked);
    ASSERT_TRUE(fit) << asked;
    EXPECT_EQ(fit->sql, "SELECT * FROM outages WHERE start_date >= '2025-10-18' AND start_date <= '2025-10-24'");
  }
  EXPECT_FALSE(refill(booked, "What outages are booked to 24 October?"));
  // Joined by a dash, with or without ordinals and a year.
  EXPECT_EQ(refill(booked, "What outages are booked 18th-24th October?").value_or(Fit{}).sql,
            "SELECT * FROM outages WHERE start_date >= '2025-10-18' AND start_date <= '2025-10-24'");
  EXPECT_EQ(refill(booked, "What outages are booked 3-9 Nov 2026?").value_or(Fit{}).sql,
            "SELECT * FROM outages WHERE start_date >= '2026-11-03' AND start_date <= '2026-11-09'");
  EXPECT_FALSE(refill(booked, "What outages are booked 24-18 October?"));
}

// A month said without its year is the month the statement writes, in the
// statement's year; a new one takes that year too.
TEST(TemplateRefill, AMonthWithoutItsYear) {
  const Source june{"what kicks off in June",
                    "SELECT * FROM activities WHERE early_start >= '2025-06-01' AND early_start < '2025-07-01'", {}};
  const auto october = refill(june, "what kicks off in oct 2024");
  ASSERT_TRUE(october);
  EXPECT_EQ(october->sql, "SELECT * FROM activities WHERE early_start >= '2024-10-01' AND early_start < '2024-11-01'");
  const auto august = refill(june, "what kicks off in aug?");
  ASSERT_TRUE(august);
  EXPECT_EQ(august->sql, "SELECT * FROM activities WHERE early_start >= '2025-08-01' AND early_start < '2025-09-01'");
  const auto from_day = refill(kMilestones, "milestones due in sept");
  ASSERT_TRUE(from_day);
  EXPECT_NE(from_day->sql.find("'2024-09-01' AND early_finish_date < '2024-10-01'"), std::string::npos);
  // Written in two years, the statement's June is no one month; a month is
  // a word only after a word that introduces a period.
  EXPECT_FALSE(refill(Source{"what kicks off in June", "SELECT * FROM a WHERE d LIKE '2025-06%' OR d LIKE '2024-06%'", {}},
                      "what kicks off in july"));
  EXPECT_FALSE(refill(june, "what may kick off"));
}

TEST(TemplateRefill, ANumberStoredAsText) {
  const Source block{"block 311 status",
                     "SELECT * FROM activity a JOIN block b USING (blk_id) WHERE b.blk_no = '311' AND a.kind <> '0311'", {}};
  EXPECT_EQ(refill(block, "blk 411 status").value_or(Fit{}).sql,
            "SELECT * FROM activity a JOIN block b USING (blk_id) WHERE b.blk_no = '411' AND a.kind <> '0311'");
  // Where the work on a thing stands is its status.
  EXPECT_TRUE(refill(block, "where are we on block 214"));
  EXPECT_FALSE(refill(block, "block 2.5 status"));
}

TEST(TemplateRefill, ACodeAndANamedValueAsQuotedStrings) {
  const Source successors{"successors of activity RMC-A1040",
                          "SELECT s.* FROM activity_relationships r JOIN activities s ON s.activity_id = r.successor_id "
                          "JOIN activities p ON p.activity_id = r.predecessor_id WHERE p.activity_code = 'RMC-A1040'", {}};
  const auto code = refill(successors, "successors of activity HBR-2200");
  ASSERT_TRUE(code);
  EXPECT_EQ(code->replaced, (Changes{{"RMC-A1040", "HBR-2200"}}));
  EXPECT_NE(code->sql.find("p.activity_code = 'HBR-2200'"), std::string::npos);

  const std::string old_q = "activities of the Riverside Medical Center job";
  const Source activities{old_q,
                          "SELECT a.* FROM activities a JOIN projects p USING (project_id) "
                          "WHERE p.project_name = 'riverside medical center'",
                          {named(old_q, "Riverside Medical Center", "Riverside Medical Center")}};
  const std::string q = "tasks of the Harbor Bridge project";
  const auto value = refill(activities, q, {named(q, "Harbor Bridge", "Harbor Bridge Rehabilitation")});
  ASSERT_TRUE(value);
  EXPECT_EQ(value->sql,
            "SELECT a.* FROM activities a JOIN projects p USING (project_id) "
            "WHERE p.project_name = 'Harbor Bridge Rehabilitation'");
}

TEST(TemplateRefill, APatternOfTheValueAsSaidTakesTheNewValue) {
  const std::string said = "POs with Westland that are still open", asked = "open POs with Teton";
  const Source pos{said, "SELECT * FROM po JOIN vendors v USING (vendor_id) WHERE v.name LIKE '%Westland%'",
                   {named(said, "Westland", "Westland Valve & Actuator")}};
  EXPECT_EQ(refill(pos, asked, {named(asked, "Teton", "Teton Compression")}).value_or(Fit{}).sql,
            "SELECT * FROM po JOIN vendors v USING (vendor_id) WHERE v.name LIKE '%Teton Compression%'");
  EXPECT_EQ(refill(pos, said, pos.values).value_or(Fit{}).sql, pos.sql);
}

TEST(TemplateRefill, QuotesAreDoubledAndWildcardsKept) {
  const Source named_like{"activities named 'Pour deck'",
                          "SELECT * FROM activities WHERE activity_name LIKE '%Pour deck%' -- 'Pour deck'", {}};
  const auto fit = refill(named_like, "activities named \"Inspector's walk\"");
  ASSERT_TRUE(fit);
  // The comment is not part of the statement's meaning and stays as it was.
  EXPECT_EQ(fit->sql, "SELECT * FROM activities WHERE activity_name LIKE '%Inspector''s walk%' -- 'Pour deck'");
}

TEST(TemplateRefill, LiteralsChangeTogetherAndUnchangedOnesStay) {
  // Two numbers swapped: edits are made in place, not one after the other.
  const Source range{"activities with float between 5 and 10 days",
                     "SELECT * FROM activities WHERE total_float BETWEEN 5 AND 10", {}};
  const auto swapped = refill(range, "tasks with slack between 10 and 5 days");
  ASSERT_TRUE(swapped);
  EXPECT_EQ(swapped->sql, "SELECT * FROM activities WHERE total_float BETWEEN 10 AND 5");

  // June stays as the end of the range while May's start moves.
  const Source months{"activities starting from May 2024 to June 2024",
                      "SELECT * FROM activities WHERE start_date >= '2024-05-01' AND start_date < '2024-07-01'", {}};
  const auto one = refill(months, "activities starting from April 2024 to June 2024");
  ASSERT_TRUE(one);
  EXPECT_EQ(one->sql, "SELECT * FROM activities WHERE start_date >= '2024-04-01' AND start_date < '2024-07-01'");
  EXPECT_EQ(one->replaced, (Changes{{"2024-05-01", "2024-04-01"}}));

  // The same question again gives the same statement.
  const auto same = refill(kLag, kLag.question);
  ASSERT_TRUE(same);
  EXPECT_EQ(same->sql, kLag.sql);
  EXPECT_TRUE(same->replaced.empty());
}

// Texts both questions name pair wherever they stand; "between" a pair of
// things is no range.
TEST(TemplateRefill, TextsNamedInBothPairAndBetweenWithoutARange) {
  const Source hours{"P1 hours per 'Crane'", "SELECT * FROM a WHERE p = 'P1' AND kind = 'Crane'", {}};
  EXPECT_EQ(refill(hours, "hours per 'Crane' on P2").value_or(Fit{}).sql, "SELECT * FROM a WHERE p = 'P2' AND kind = 'Crane'");
  // A code for a code, as the part of a longer one between its dashes.
  const Source package{"critical activities of the WTG package", "SELECT * FROM a WHERE pkg = 'SKB-WTG'", {}};
  EXPECT_EQ(refill(package, "critical activities of the OSS package").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE pkg = 'SKB-OSS'");
  const Source joined{"critical activities of the WTG package", "SELECT * FROM a WHERE pkg = 'SKBWTG'", {}};
  EXPECT_FALSE(refill(joined, "critical activities of the OSS package"));
  const Source pairs{"How many links are there between each pair of packages?",
                     "SELECT a, b, COUNT(*) FROM links GROUP BY a, b", {}};
  EXPECT_TRUE(refill(pairs, "number of links for each pair of packages"));
  EXPECT_FALSE(refill(kMilestones, "milestones due between May 2024 and June 2024"));
}

// The count of a date modifier is the question's number of days.
TEST(TemplateRefill, TheCountOfADateModifier) {
  const Source ahead{"milestones due in the next 60 days",
                     "SELECT * FROM activities WHERE finish BETWEEN '2025-11-21' AND date('2025-11-21', '+60 days')", {}};
  const auto ninety = refill(ahead, "milestones due in the next 90 days");
  ASSERT_TRUE(ninety);
  EXPECT_EQ(ninety->sql, "SELECT * FROM activities WHERE finish BETWEEN '2025-11-21' AND date('2025-11-21', '+90 days')");
  // Not a count in another text, nor a count that is no whole number.
  const Source note{"activities with 60 days in the note", "SELECT * FROM activities WHERE note = '60 days left'", {}};
  EXPECT_FALSE(refill(note, "activities with 90 days in the note"));
  EXPECT_FALSE(refill(ahead, "milestones due in the next 1.5 days"));
}

TEST(TemplateRefill, ALookAheadOfAnotherLength) {
  const Source weeks{"activities starting in the next 4 weeks",
                     "SELECT * FROM a WHERE start BETWEEN '2025-11-22' AND '2025-12-19'", {}};
  EXPECT_EQ(refill(weeks, "activities starting in the next 2 weeks").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE start BETWEEN '2025-11-22' AND '2025-12-05'");
  const Source days{"activities starting in the next 14 days",
                    "SELECT * FROM a WHERE start >= '2025-12-20' AND start < '2026-01-03'", {}};
  EXPECT_EQ(refill(days, "activities starting in the next 75 days").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE start >= '2025-12-20' AND start < '2026-03-05'");
  EXPECT_EQ(refill(days, "activities starting in the next 3 weeks").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE start >= '2025-12-20' AND start < '2026-01-10'");
  // Another unit where the statement counts its own: no day to move.
  const Source counted{"activities starting in the next 14 days", "SELECT * FROM a WHERE start <= date('now', '+14 days')",
                       {}};
  EXPECT_TRUE(refill(counted, "activities starting in the next 20 days"));
  EXPECT_FALSE(refill(counted, "activities starting in the next 3 weeks"));
  // Months are of the calendar: a window to the same day of a later month.
  const Source months{"milestones in the next 3 months",
                      "SELECT * FROM a WHERE finish BETWEEN '2025-11-30' AND '2026-02-28'", {}};
  EXPECT_EQ(refill(months, "milestones in the next 6 weeks").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE finish BETWEEN '2025-11-30' AND '2026-01-11'");
  EXPECT_EQ(refill(months, "milestones in the next 15 months").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE finish BETWEEN '2025-11-30' AND '2027-02-28'");
  const Source weeks_to{"milestones in the next 2 weeks",
                        "SELECT * FROM a WHERE finish >= '2025-11-30' AND finish < '2025-12-14'", {}};
  EXPECT_EQ(refill(weeks_to, "milestones in the next 2 months").value_or(Fit{}).sql,
            "SELECT * FROM a WHERE finish >= '2025-11-30' AND finish < '2026-01-30'");
  // Days the count does not account for.
  const Source other{"activities starting in the next 4 weeks",
                     "SELECT * FROM a WHERE start BETWEEN '2025-11-22' AND '2025-12-31'", {}};
  EXPECT_FALSE(refill(other, "activities starting in the next 2 weeks"));
}

TEST(TemplateRefill, YearsAndSignedNumbers) {
  const Source year{"activities finished in 2024",
                    "SELECT * FROM activities WHERE actual_finish >= '2024-01-01' AND actual_finish < '2025-01-01' "
                    "AND CAST(strftime('%Y', actual_finish) AS INTEGER) = 2024", {}};
  const auto fit = refill(year, "tasks finished in 2023");
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql,
            "SELECT * FROM activities WHERE actual_finish >= '2023-01-01' AND actual_finish < '2024-01-01' "
            "AND CAST(strftime('%Y', actual_finish) AS INTEGER) = 2023");

  const Source pattern{"holidays in 2024", "SELECT * FROM holidays WHERE day LIKE '2024-%'", {}};
  EXPECT_EQ(refill(pattern, "holidays in 2025").value_or(Fit{}).sql, "SELECT * FROM holidays WHERE day LIKE '2025-%'");

  const Source negative{"relationships with lag less than -2 days",
                        "SELECT * FROM activity_relationships WHERE lag_days < -2", {}};
  const auto signed_fit = refill(negative, "relationships with lag less than 3 days");
  ASSERT_TRUE(signed_fit);
  EXPECT_EQ(signed_fit->sql, "SELECT * FROM activity_relationships WHERE lag_days < 3");
}

TEST(TemplateWording, TheThesaurusFoldsOnlyWordsTheSchemaDoesNotName) {
  const Source lag{"tasks with lag over 4 days", "SELECT * FROM task_link WHERE lag_days > 4", {}};
  // A schema naming activities: tasks are activities, links relationships.
  const Wording activities{[](std::string_view w) { return w == "activity" || w == "activities" || w == "lag"; }};
  EXPECT_TRUE(refill(lag, "activities with lag over 9 days", {}, activities));
  // A schema naming both keeps them apart; and one naming only tasks reads
  // activities as tasks.
  const Wording both{[](std::string_view w) { return w == "activity" || w == "task" || w == "tasks"; }};
  EXPECT_FALSE(refill(lag, "activities with lag over 9 days", {}, both));
  const Wording tasks{[](std::string_view w) { return w == "task" || w == "tasks"; }};
  const auto fit = refill(lag, "activities with lag over 9 days", {}, tasks);
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql, "SELECT * FROM task_link WHERE lag_days > 9");
  // Owners and managers are one word of the trade unless the schema names both.
  const Source owner{"risks of owner 'Ann Lee'", "SELECT * FROM risks WHERE owner = 'Ann Lee'", {}};
  EXPECT_TRUE(refill(owner, "risks of manager 'Bo Chen'"));
  const Wording named{[](std::string_view w) { return w == "owner" || w == "manager"; }};
  EXPECT_FALSE(refill(owner, "risks of manager 'Bo Chen'", {}, named));
}

TEST(TemplateWording, TheDocumentsOtherWordsForANameFoldIntoIt) {
  const Source open{"How many open snags are there on each development?",
                    "SELECT d.name, COUNT(*) FROM snags s JOIN developments d ON d.id = s.development_id "
                    "WHERE s.status = 'Open' GROUP BY d.name",
                    {NamedValue{9, 13, "Open", "snags", "status"}}};
  const std::string asked = "open snag count per scheme";
  const std::vector<NamedValue> values{named(asked, "open", "Open")};
  EXPECT_FALSE(refill(open, asked, values));
  Wording wording;
  wording.same_as = [](std::string_view w) { return w == "scheme" ? std::string("development") : std::string(); };
  const auto fit = refill(open, asked, values, wording);
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql, open.sql);
}

// A word for a project after a project's name says what the name does.
TEST(TemplateWording, AProjectsWordAfterItsNameSaysNoMore) {
  const Source late{"Which tasks on P1 have negative float?", "SELECT * FROM t WHERE project = 'P1' AND float < 0",
                    {NamedValue{15, 17, "P1", "schemes", "scheme_name"}}};
  for (const std::string asked : {"tasks with negative float on the smart signals job",
                                  "tasks with negative float on the smart signals scheme"}) {
    NamedValue name = named(asked, "smart signals", "A6 Smart Signals");
    name.table = "schemes";
    name.column = "scheme_name";
    EXPECT_FALSE(refill(late, asked, {name})) << asked;
    Wording wording;
    wording.projects_table = [](std::string_view table) { return table == "schemes"; };
    EXPECT_TRUE(refill(late, asked, {name}, wording)) << asked;
    // Whatever the document takes "project" for.
    wording.same_as = [](std::string_view w) { return w == "project" ? std::string("scheme") : std::string(); };
    EXPECT_TRUE(refill(late, asked, {name}, wording)) << asked;
  }
}

// A project whose name holds words read outright as a place is their
// reading where the earlier question names a project, and only there.
TEST(TemplateRefill, AProjectAlternativeWhereTheEarlierQuestionNamesAProject) {
  const Source theatres{"critical tasks on Main Theatres Refurbishment",
                        "SELECT t.ref FROM tasks t JOIN projects p ON p.id = t.project_id "
                        "WHERE p.title = 'Main Theatres Refurbishment' AND t.critical = 1",
                        {NamedValue{18, 45, "Main Theatres Refurbishment", "projects", "title"}}};
  const std::string asked = "critical tasks on the energy centre";
  NamedValue place = named(asked, "energy centre", "Energy centre");
  place.table = "tasks";
  place.column = "location";
  NamedValue project = named(asked, "energy centre", "Energy Centre and Heat Network");
  project.table = "projects";
  project.column = "title";
  project.alternative = true;
  const auto fit = refill(theatres, asked, {place, project});
  ASSERT_TRUE(fit);
  EXPECT_NE(fit->sql.find("p.title = 'Energy Centre and Heat Network'"), std::string::npos) << fit->sql;
  const Source located{"critical tasks at Main plant room",
                       "SELECT t.ref FROM tasks t WHERE t.location = 'Main plant room' AND t.critical = 1",
                       {NamedValue{18, 33, "Main plant room", "tasks", "location"}}};
  const auto at = refill(located, asked, {place, project});
  ASSERT_TRUE(at);
  EXPECT_NE(at->sql.find("t.location = 'Energy centre'"), std::string::npos) << at->sql;
}

TEST(TemplateWording, CountingIsPartOfTheQuestion) {
  const Source count{"How many activities per discipline?",
                     "SELECT discipline, COUNT(*) FROM activities GROUP BY discipline", {}};
  for (const char* same : {"Count activities by discipline", "number of activities for each discipline",
                           "no. of activities for each discipline",
                           "how many activities does each discipline have"})
    EXPECT_TRUE(refill(count, same)) << same;
  for (const char* other : {"activities per discipline", "list the activities by discipline",
                            "the number activities of each discipline"})
    EXPECT_FALSE(refill(count, other)) << other;
  // How many of a unit is an amount, not a count of rows; and how many days
  // between two dates is the time from one to the other.
  const Source lost{"How many excusable days have been lost on P1?",
                    "SELECT SUM(days) FROM delays WHERE excusable = 1 AND p = 'P1'", {}};
  EXPECT_TRUE(refill(lost, "total excusable days lost on P2 so far"));
  EXPECT_FALSE(refill(lost, "number of excusable delays lost on P2"));
  const Source dates{"key date and forecast finish per package", "SELECT package, key_date, finish FROM packages", {}};
  EXPECT_FALSE(refill(dates, "how many days between the key date and forecast finish per package"));
}

// What is awaited has not happened yet: "awaiting approval" is "not yet
// approved"; a share is a percentage.
TEST(TemplateWording, WhatIsAwaitedHasNotHappened) {
  const std::string asked = "permits awaiting approval from the council";
  const Source waiting{asked, "SELECT * FROM permits WHERE status <> 'Approved' AND body = 'Council'",
                       {named(asked, "approval", "Approved"), named(asked, "council", "Council")}};
  const std::string other = "permits from the council still to be approved";
  EXPECT_TRUE(refill(waiting, other, {named(other, "council", "Council"), named(other, "approved", "Approved")}));
  const std::string granted = "permits approved by the council";
  EXPECT_FALSE(refill(waiting, granted, {named(granted, "approved", "Approved"), named(granted, "council", "Council")}));
  const Source share{"tonnes per waste category and share recycled", "SELECT category, SUM(t) FROM waste GROUP BY 1", {}};
  EXPECT_TRUE(refill(share, "tonnes per waste category and % recycled"));
}

// What a question leaves out ("rather than", "other than", "except") is
// part of it: the same words the other way round are another question.
TEST(TemplateWording, WhatIsLeftOutIsPartOfTheQuestion) {
  const Source machinery{"crane bookings for machinery lifts rather than blocks",
                         "SELECT * FROM bookings WHERE block_id IS NULL", {}};
  EXPECT_TRUE(refill(machinery, "crane bookings that were machinery lifts rather than blocks"));
  EXPECT_FALSE(refill(machinery, "crane bookings for block lifts rather than machinery"));
  EXPECT_FALSE(refill(machinery, "crane bookings for block lifts other than machinery"));
  const Source but{"open risks except commercial", "SELECT * FROM risks WHERE category <> 'Commercial'", {}};
  EXPECT_TRUE(refill(but, "open risks except for commercial"));
}

// Comparisons written as symbols are the words' comparisons; a planner's
// shorthand is the word it stands for.
TEST(TemplateWording, SymbolsAndShorthand) {
  const Source likely{"open risks with probability of 50 or more",
                      "SELECT * FROM risks WHERE status = 'Open' AND probability >= 50", {}};
  EXPECT_EQ(refill(likely, "open risks with probability >= 40").value_or(Fit{}).sql,
            "SELECT * FROM risks WHERE status = 'Open' AND probability >= 40");
  EXPECT_FALSE(refill(likely, "open risks with probability > 40"));
  EXPECT_FALSE(refill(likely, "open risks with probability <= 40"));
  const Source near{"near critical activities with float under 80 hours",
                    "SELECT * FROM activities WHERE total_float_hours < 80", {}};
  EXPECT_EQ(refill(near, "near crit acts w/ float under 300 hrs").value_or(Fit{}).sql,
            "SELECT * FROM activities WHERE total_float_hours < 300");
  EXPECT_TRUE(refill(near, "near crit acts w/ TF under 300 HRS"));
  // An acronym for the words the other question spells out side by side.
  const Source approved{"Approved change requests for P1 and their cost",
                        "SELECT * FROM change_requests WHERE status = 'Approved' AND project = 'P1'", {}};
  EXPECT_EQ(refill(approved, "approved CRs for P2 and their cost").value_or(Fit{}).sql,
            "SELECT * FROM change_requests WHERE status = 'Approved' AND project = 'P2'");
  const Source acronym{"approved CRs for P1 and their cost", approved.sql, {}};
  EXPECT_TRUE(refill(acronym, "Approved change requests for P2 and their cost"));
  EXPECT_FALSE(refill(approved, "approved NCRs for P2 and their cost"));
  // What a ranking is by may go unsaid; another ranking is another question.
  const Source top{"Top 10 open risks by score", "SELECT * FROM risks ORDER BY score DESC LIMIT 10", {}};
  EXPECT_EQ(refill(top, "top 5 open risks").value_or(Fit{}).sql, "SELECT * FROM risks ORDER BY score DESC LIMIT 5");
  EXPECT_FALSE(refill(top, "top 5 open risks by cost"));
  const Source waiting{"variations on P1 still waiting for a decision",
                       "SELECT * FROM variations WHERE package = 'P1' AND status = 'Submitted'", {}};
  EXPECT_TRUE(refill(waiting, "variations on P2 awaiting a decision"));
  const Source worst{"activities with negative float on P1, worst first",
                     "SELECT * FROM activities WHERE project = 'P1' AND total_float < 0 ORDER BY total_float", {}};
  EXPECT_TRUE(refill(worst, "activities with negative float on P2, worst at the top"));
  EXPECT_TRUE(refill(worst, "activities below zero float on P2, worst first"));
  EXPECT_FALSE(refill(worst, "activities below 5 float on P2, worst first"));
  const Source weeks{"activities starting in the next two weeks",
                     "SELECT * FROM a WHERE start BETWEEN '2025-11-22' AND '2025-12-05'", {}};
  EXPECT_TRUE(refill(weeks, "activities starting in the next fortnight"));
  const Source cost{"actual cost to date per company on P1", "SELECT company, SUM(cost) FROM a WHERE p = 'P1'", {}};
  EXPECT_TRUE(refill(cost, "actual spend to date per company on P2"));
  const Source headcount{"Average headcount on site per project in July 2025",
                         "SELECT p, AVG(n) FROM d WHERE day LIKE '2025-07%' GROUP BY p", {}};
  EXPECT_TRUE(refill(headcount, "avg headcount per project in aug 2025"));
  EXPECT_FALSE(refill(headcount, "avg headcount per site in aug 2025"));
  const Source worked{"How many operative hours were worked each week at P1?",
                      "SELECT week, SUM(hours) FROM h WHERE p = 'P1' GROUP BY week", {}};
  EXPECT_TRUE(refill(worked, "weekly operative hours at P2"));
  EXPECT_FALSE(refill(worked, "weekly operative hours lost at P2"));
  // A per cent sign after no number is the word.
  const Source progress{"activities in progress with percent complete",
                        "SELECT name, pct FROM activities WHERE status = 'In Progress'", {}};
  EXPECT_TRUE(refill(progress, "activities in progress with % complete"));
  EXPECT_TRUE(refill(progress, "activities under way with % complete"));
  const Source along{"in progress on P1 and how far along is it", "SELECT name, pct FROM a WHERE p = 'P1'", {}};
  EXPECT_TRUE(refill(along, "in progress on P2 and how far along is each one"));
  EXPECT_FALSE(refill(along, "in progress on P2 and how far along is one"));
  EXPECT_TRUE(refill(progress, "activities in progress and how far along they are"));
  const Source slipped{"P1 tasks that have slipped against the baseline", "SELECT * FROM t WHERE p = 'P1'", {}};
  EXPECT_TRUE(refill(slipped, "P2 task slippage against the baseline"));
  const Source over{"Which projects are forecast over budget?", "SELECT * FROM projects WHERE fcst > budget", {}};
  EXPECT_TRUE(refill(over, "which projects are going over budget"));
  EXPECT_TRUE(refill(over, "which projects are heading over budget"));
  // A verb and its particle are the noun they make.
  const Source handed{"Which P1 possessions were handed back late?", "SELECT * FROM x WHERE p = 'P1' AND late = 1", {}};
  EXPECT_TRUE(refill(handed, "late P2 possession handbacks"));
  EXPECT_TRUE(refill(handed, "P2 possessions with a late hand-back"));
  EXPECT_FALSE(refill(handed, "P2 possessions handed over late"));
  const Source installed{"Which equipment is installed but not commissioned yet?",
                         "SELECT * FROM e WHERE installed = 1 AND commissioned = 0", {}};
  EXPECT_TRUE(refill(installed, "what equipment is fitted but still not commissioned"));
  EXPECT_FALSE(refill(over, "which projects are over budget"));
  const Source arrived{"P1 deliveries that arrived after the required date versus budget",
                       "SELECT * FROM d WHERE p = 'P1' AND arrived > required", {}};
  EXPECT_TRUE(refill(arrived, "P2 deliveries that came in after the required date vs budget"));
  const Source milestones{"milestones of P1", "SELECT * FROM m WHERE p = 'P1'", {}};
  EXPECT_TRUE(refill(milestones, "key milestones for P2"));
  EXPECT_FALSE(refill(milestones, "dates for P2"));
  const Source dated{"milestones of P1 with their dates", "SELECT name, finish_date FROM m WHERE p = 'P1'", {}};
  EXPECT_TRUE(refill(dated, "key dates on P2"));
  const Source preds{"preds of P1-100", "SELECT * FROM l WHERE succ = 'P1-100'", {}};
  EXPECT_TRUE(refill(preds, "what comes before P1-200"));
  EXPECT_FALSE(refill(preds, "what comes after P1-200"));
  const Source succs{"successors of P1-100", "SELECT * FROM l WHERE pred = 'P1-100'", {}};
  EXPECT_TRUE(refill(succs, "what follows P1-200"));
  EXPECT_TRUE(refill(succs, "whats hanging off P1-200"));
  // Predecessors and successors are links, said or not.
  EXPECT_TRUE(refill(preds, "what comes before P1-200 in the logic"));
  EXPECT_TRUE(refill(succs, "successor links of P1-200"));
  EXPECT_FALSE(refill(succs, "links of P1-200"));
  EXPECT_TRUE(refill(preds, "what feeds into P1-200 - its predecessors"));
  const Source into{"Logic into P1-100", preds.sql, {}};
  EXPECT_TRUE(refill(into, "what feeds into P1-200"));
}

// Words that only frame a spoken request ask nothing of the data, unless
// the schema uses them.
TEST(TemplateWording, FillerWordsOfSpeech) {
  const Source critical{"What's on the critical path for project 7?",
                        "SELECT * FROM activities WHERE is_critical = 1 AND project_id = 7", {}};
  std::vector<std::string> schema = {"critical", "path", "project", "activities"};
  const Wording known{{}, [&](std::string_view w) {
                        return std::find(schema.begin(), schema.end(), w) != schema.end();
                      }};
  const auto now = refill(critical, "whats the critical path on project 9 looking like rn pls", {}, known);
  ASSERT_TRUE(now);
  EXPECT_EQ(now->sql, "SELECT * FROM activities WHERE is_critical = 1 AND project_id = 9");
  const Source live{"What is in progress right now across all projects for project 7?",
                    "SELECT * FROM activities WHERE status = 'In Progress' AND project_id = 7", {}};
  EXPECT_TRUE(refill(live, "what's in progress on all the projects for project 9", {}, known));
  schema.push_back("like");  // a schema that stores likes
  EXPECT_FALSE(refill(critical, "whats the critical path on project 9 looking like", {}, known));
  // Words that stress, join or frame say no more than the words they go with.
  for (const char* same : {"crit path for project 9", "critcal path for project 9 at the moment",
                           "what's still critical for project 9", "critical stuff on project 9"})
    EXPECT_TRUE(refill(critical, same, {}, known)) << same;
  const Source undelivered{"Long lead items that haven't been delivered yet",
                           "SELECT * FROM items WHERE status <> 'Delivered' AND lead_weeks > 20", {}};
  EXPECT_TRUE(refill(undelivered, "which long lead items are still not delivered"));
  EXPECT_FALSE(refill(undelivered, "long lead items that have already been delivered"));
  const Source hours{"Total remaining hours for crew 'A'", "SELECT SUM(h) FROM a WHERE crew = 'A'", {}};
  EXPECT_TRUE(refill(hours, "remaining hours for crew 'B'"));
  EXPECT_TRUE(refill(hours, "overall remaining hours for crew 'B'"));
  const Source baselines{"Compare the finish date of 'P1' in each baseline", "SELECT b, f FROM x WHERE p = 'P1'", {}};
  EXPECT_TRUE(refill(baselines, "finish date of 'P2' in each baseline", {}, known));
  const Source starting{"Which activities start in June 2025?",
                        "SELECT * FROM activities WHERE start >= '2025-06-01' AND start < '2025-07-01'", {}};
  EXPECT_TRUE(refill(starting, "which activities are due to start in January 2026"));
  EXPECT_FALSE(refill(starting, "which activities are due in January 2026"));
  const Source by_status{"How many activities does each project have by status?",
                         "SELECT project, status, COUNT(*) FROM activities GROUP BY project, status", {}};
  EXPECT_TRUE(refill(by_status, "number of activities per project split by status"));
  EXPECT_TRUE(refill(by_status, "how many activities per project broken down by status"));
  const Source spend{"vessel spend by vessel", "SELECT vessel, SUM(cost) FROM spend GROUP BY vessel", {}};
  EXPECT_TRUE(refill(spend, "vessel spend to date by vessel so far"));
  const Source likely{"open risks with probability of 60% or more",
                      "SELECT * FROM risks WHERE status = 'Open' AND probability >= 60", {}};
  EXPECT_TRUE(refill(likely, "open risks where probability is 40% plus"));
  EXPECT_TRUE(refill(critical, "what's currently critical for project 9", {}, known));
  // "Past" a date is after it.
  const Source after{"projects forecast to finish after their contract date",
                     "SELECT * FROM projects WHERE forecast_finish > contract_finish", {}};
  EXPECT_TRUE(refill(after, "projects forecast to finish past their contract date"));
  EXPECT_FALSE(refill(after, "projects forecast to finish ahead of their contract date"));
}

TEST(TemplateWording, MisspeltWordsTheSchemaDoesNotUse) {
  const Source assigned{"Which resources are assigned to critical activities?",
                        "SELECT resource_name FROM resources r JOIN assignments a USING (resource_id) WHERE critical = 1",
                        {}};
  const std::vector<std::string> schema = {"resources", "resource", "assigned", "critical", "activities", "late",
                                           "date", "project", "projects"};
  const Wording known{{}, [&](std::string_view w) {
                        return std::find(schema.begin(), schema.end(), w) != schema.end();
                      }};
  // A request word and content words one or two edits off.
  EXPECT_TRUE(refill(assigned, "wich resouces are asigned to critcal activites?", {}, known));
  // Only with a way to tell which words the schema uses.
  EXPECT_FALSE(refill(assigned, "wich resouces are asigned to critcal activites?"));
  // Too far off, or a word the schema uses itself.
  EXPECT_FALSE(refill(assigned, "which resources are assigned to crtcl activities?", {}, known));
  const Source late{"late activities of project 7", "SELECT * FROM activities WHERE late = 1 AND project = 7", {}};
  EXPECT_FALSE(refill(late, "date activities of project 8", {}, known));
  // Short words must be spelt right.
  const Source lag{"links with lag over 4 days", "SELECT * FROM links WHERE lag > 4", {}};
  EXPECT_FALSE(refill(lag, "links with log over 9 days", {}, known));
}

TEST(TemplateWording, ADescriptionsWordsThatNameNothingMayBeLeftOut) {
  const std::vector<std::string> names = {"activities", "activity", "start", "critical", "date"};
  Wording wording;
  wording.meaningful = [&](std::string_view w) { return std::find(names.begin(), names.end(), w) != names.end(); };
  Source month{"Activities scheduled to start in 2024-05",
               "SELECT * FROM activities WHERE start BETWEEN '2024-05-01' AND '2024-05-31'", {}, true};
  const auto june = refill(month, "Which activities start in June 2025?", {}, wording);
  ASSERT_TRUE(june);
  EXPECT_EQ(june->sql, "SELECT * FROM activities WHERE start BETWEEN '2025-06-01' AND '2025-06-30'");
  // Not a question's words, nor without a way to tell, nor a word that names something.
  month.description = false;
  EXPECT_FALSE(refill(month, "Which activities start in June 2025?", {}, wording));
  month.description = true;
  EXPECT_FALSE(refill(month, "Which activities start in June 2025?"));
  const Source critical{"Critical activities scheduled to start in 2024-05",
                        "SELECT * FROM activities WHERE critical = 1 AND start >= '2024-05-01' AND start <= '2024-05-31'",
                        {}, true};
  EXPECT_FALSE(refill(critical, "Which activities start in June 2025?", {}, wording));
  // A sign says which rows: "negative" names nothing, yet is not left out.
  const Source negative{"Critical activities with negative float", "SELECT * FROM activities WHERE critical = 1 AND total_float < 0",
                        {}, true};
  EXPECT_FALSE(refill(negative, "Which activities are critical?", {}, wording));
  // At most two of them.
  const Source wordy{"Activities newly scheduled to promptly start in 2024-05",
                     "SELECT * FROM activities WHERE start BETWEEN '2024-05-01' AND '2024-05-31'", {}, true};
  EXPECT_FALSE(refill(wordy, "Which activities start in June 2025?", {}, wording));
}

TEST(TemplateWording, WhatTheStatementOnlyShowsMayBeLeftOut) {
  const Source live{"Live jobs with contract and forecast completion",
                    "SELECT j.job_number, j.contract_completion, j.forecast_completion FROM jobs j "
                    "WHERE j.state = 'Live' ORDER BY j.forecast_completion",
                    {NamedValue{0, 4, "Live", "jobs", "state"}}};
  const std::string paused = "Which jobs are paused?";
  const auto fit = refill(live, paused, {named(paused, "paused", "Paused")});
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql,
            "SELECT j.job_number, j.contract_completion, j.forecast_completion FROM jobs j "
            "WHERE j.state = 'Paused' ORDER BY j.forecast_completion");
  // Shown by a table joined only to show it, counted, or said before "with"
  // (where it may say which rows): what the question asks changes.
  const Source joined{"Live jobs with client",
                      "SELECT j.job_number, p.client FROM jobs j JOIN parties p ON p.job_id = j.id "
                      "WHERE j.state = 'Live'",
                      {NamedValue{0, 4, "Live", "jobs", "state"}}};
  EXPECT_FALSE(refill(joined, paused, {named(paused, "paused", "Paused")}));
  const Source counted{"Live jobs with contract value",
                       "SELECT j.state, SUM(j.value) AS contract_value FROM jobs j WHERE j.state = 'Live'",
                       {NamedValue{0, 4, "Live", "jobs", "state"}}};
  EXPECT_FALSE(refill(counted, paused, {named(paused, "paused", "Paused")}));
  const Source before{"Live contract jobs", "SELECT j.job_number, j.contract FROM jobs j WHERE j.state = 'Live'",
                      {NamedValue{0, 4, "Live", "jobs", "state"}}};
  EXPECT_FALSE(refill(before, paused, {named(paused, "paused", "Paused")}));
  // Asked in its own words, what the shown words qualify may be other
  // columns; more columns after it may still go unsaid.
  EXPECT_FALSE(refill(live, "Completion of the paused jobs", {named("Completion of the paused jobs", "paused", "Paused")}));
  const Source hours{"Live jobs with budget and hours",
                     "SELECT j.job_number, j.budget, j.hours FROM jobs j WHERE j.state = 'Live'",
                     {NamedValue{0, 4, "Live", "jobs", "state"}}};
  EXPECT_TRUE(refill(hours, "Paused jobs and their budget", {named("Paused jobs and their budget", "Paused", "Paused")}));
  // An order said as one changes no row of a statement that limits none.
  const Source late{"Activities finishing after 2024-05-01, largest delay first",
                    "SELECT code, finish - target AS delay FROM activities WHERE finish > '2024-05-01' "
                    "ORDER BY delay DESC",
                    {}};
  EXPECT_TRUE(refill(late, "Which activities finish after 2025-01-31?"));
  const Source top{"Activities finishing after 2024-05-01, largest delay first",
                   "SELECT code, finish - target AS delay FROM activities WHERE finish > '2024-05-01' "
                   "ORDER BY delay DESC LIMIT 5",
                   {}};
  EXPECT_FALSE(refill(top, "Which activities finish after 2025-01-31?"));
}

// ---- refusals ------------------------------------------------------------------

TEST(TemplateWording, AnAmountAskedAlongMayGoUnsaidNotAdded) {
  const Source late{"Which active projects are forecast to finish after their target completion, and by how many days?",
                    "SELECT code, finish - target AS days_late FROM projects WHERE active = 1 AND finish > target", {}};
  EXPECT_TRUE(refill(late, "Which active projects are forecast to finish after their target completion?"));
  const Source plain{"Which projects finish after their target?", "SELECT code FROM projects WHERE finish > target", {}};
  EXPECT_FALSE(refill(plain, "Which projects finish after their target and by how much?"));
  EXPECT_FALSE(refill(plain, "Which projects finish after their target and by how long?"));
  // "On time" says which rows as no other word does.
  const Source handed{"Which rooms were handed over against their baseline date?",
                      "SELECT room FROM handovers WHERE actual > baseline", {}};
  EXPECT_FALSE(refill(handed, "Which rooms were handed over on time against their baseline date?"));
}

TEST(TemplateRefusal, WordingThatDiffers) {
  EXPECT_FALSE(refill(kLag, "activities with more than 10 days of float"));
  EXPECT_FALSE(refill(kLag, "relationships with lag less than 10 days"));
  EXPECT_FALSE(refill(kLag, "relationships with lag of at least 10 days"));
  // Comparisons and negations that content words would drop as stop words.
  EXPECT_FALSE(refill(kMilestones, "milestones due before June 2025"));
  EXPECT_FALSE(refill(kMilestones, "milestones not due in June 2025"));
  const Source no_more{"relationships with no more than 5 days of lag",
                       "SELECT * FROM activity_relationships WHERE lag_days <= 5", {}};
  EXPECT_TRUE(refill(no_more, "links with lag of not more than 8 days"));
  EXPECT_FALSE(refill(no_more, "links with more than 8 days of lag"));
  // One word in eleven differs, close enough, but it is a word of order;
  // and digits that are no literal must be the same digits.
  const Source earliest{"critical activities of the main project with total float under 5 days sorted by earliest start date",
                        "SELECT * FROM activities WHERE total_float < 5 ORDER BY early_start ASC", {}};
  EXPECT_TRUE(refill(earliest, "critical tasks of the main project with total float under 3 days sorted by earliest start date"));
  EXPECT_FALSE(refill(earliest, "critical tasks of the main project with total float under 3 days sorted by latest start date"));
  const auto fewer_words =
      refill(earliest, "critical tasks of the main project with total float under 3 days sorted by earliest start");
  ASSERT_TRUE(fewer_words);
  EXPECT_NEAR(fewer_words->similarity, 7.0 / 8.0, 1e-9);  // no "date" ("sorted by" says "by")
  EXPECT_FALSE(refill(earliest, "critical tasks of the main project with total float under 3 days by earliest"));
  const Source phase{"activities of phase 1.2.3 with lag over 5 days",
                     "SELECT * FROM activities WHERE phase = '1.2.3' AND lag > 5", {}};
  EXPECT_FALSE(refill(phase, "activities of phase 1.2.4 with lag over 6 days"));
  // Either condition is not both.
  const Source both{"risks with probability over 50 and impact over 20 days",
                    "SELECT * FROM risks WHERE p > 50 AND i > 20", {}};
  EXPECT_TRUE(refill(both, "risks with probability over 40 and impact over 10 days"));
  EXPECT_FALSE(refill(both, "risks with probability over 40 or impact over 10 days"));
  // What is still to come is what has not come; to beat a date is to be before it.
  const Source to_come{"materials still to be delivered for 'Beacon Fields'",
                       "SELECT * FROM calloff WHERE site = 'Beacon Fields' AND status = 'CALLED'", {}};
  EXPECT_FALSE(refill(to_come, "materials delivered for 'Kestrel Rise'"));
  EXPECT_FALSE(refill(to_come, "materials already delivered for 'Kestrel Rise'"));
  EXPECT_TRUE(refill(to_come, "materials yet to be delivered for 'Kestrel Rise'"));
  const Source dates{"sites forecast against their contract completion date",
                     "SELECT site, forecast, contract FROM site", {}};
  EXPECT_FALSE(refill(dates, "sites forecast to beat their contract completion date"));
}

TEST(TemplateRefusal, LiteralsThatDoNotPairOrCannotBePlaced) {
  // An extra literal.
  EXPECT_FALSE(refill(kLag, "relationships with lag greater than 10 days in HBR"));
  // The old literal is not in the statement.
  const Source missing{"relationships with lag greater than 44 days",
                       "SELECT * FROM activity_relationships WHERE lag_days > 40", {}};
  EXPECT_FALSE(refill(missing, "links with more than 10 days of lag"));
  // Written twice for one mention: a threshold and a LIMIT.
  const Source twice{"the 10 relationships with lag greater than 10 days",
                     "SELECT * FROM activity_relationships WHERE lag_days > 10 LIMIT 10", {}};
  EXPECT_TRUE(refill(twice, "the 10 relationships with lag greater than 10 days"));
  EXPECT_FALSE(refill(twice, "the 5 relationships with lag greater than 7 days"));
  const auto alike = refill(twice, "the 6 relationships with lag greater than 6 days");
  ASSERT_TRUE(alike);
  EXPECT_EQ(alike->sql, "SELECT * FROM activity_relationships WHERE lag_days > 6 LIMIT 6");
  const Source once{"relationships with lag greater than 10 days",
                    "SELECT * FROM activity_relationships WHERE lag_days > 10 LIMIT 10", {}};
  EXPECT_FALSE(refill(once, "relationships with lag greater than 7 days"));
  // June's first day written as May's end and as June's start.
  const Source months{"activities starting from May 2024 to June 2024",
                      "SELECT * FROM activities WHERE (start_date >= '2024-05-01' AND start_date < '2024-06-01') "
                      "OR (start_date >= '2024-06-01' AND start_date < '2024-07-01')", {}};
  EXPECT_FALSE(refill(months, "activities starting from April 2024 to June 2024"));
  // Inside a string the number is no number of the statement.
  const Source in_string{"activities with notes mentioning 44",
                         "SELECT * FROM activities WHERE notes LIKE '%44%'", {}};
  EXPECT_FALSE(refill(in_string, "activities with notes mentioning 45"));
  // One value of a list the question names by one word ("open" snags are
  // open or disputed) is not another value's list.
  const Source open{"how many 'Open' snags on each site",
                    "SELECT site, COUNT(*) FROM snag WHERE status IN ('Open', 'Disputed') GROUP BY site", {}};
  EXPECT_FALSE(refill(open, "how many 'Cleared' snags on each site"));
  const Source two{"snags of 'Plot 1' or 'Plot 2'", "SELECT * FROM snag WHERE plot IN ('Plot 1', 'Plot 2')", {}};
  const auto both_named = refill(two, "snags of 'Plot 3' or 'Plot 4'");
  ASSERT_TRUE(both_named);
  EXPECT_EQ(both_named->sql, "SELECT * FROM snag WHERE plot IN ('Plot 3', 'Plot 4')");
}

TEST(TemplateRefill, ADayTakesAPeriodAsTheComparisonReadsIt) {
  const Source since{"notes since 2024-06-01", "SELECT * FROM notes WHERE note_date >= '2024-06-01'", {}};
  const auto march = refill(since, "notes since March 2025");
  ASSERT_TRUE(march);
  EXPECT_EQ(march->sql, "SELECT * FROM notes WHERE note_date >= '2025-03-01'");
  const Source after{"activities finishing after 2024-06-30",
                     "SELECT * FROM activities WHERE finish_date > '2024-06-30'", {}};
  const auto june = refill(after, "activities finishing after June 2025");
  ASSERT_TRUE(june);
  EXPECT_EQ(june->sql, "SELECT * FROM activities WHERE finish_date > '2025-06-30'");
  const Source by{"activities finishing by 2024-06-30", "SELECT * FROM activities WHERE finish_date<='2024-06-30'", {}};
  const auto quarter = refill(by, "activities finishing by Q3 2025");
  ASSERT_TRUE(quarter);
  EXPECT_EQ(quarter->sql, "SELECT * FROM activities WHERE finish_date<='2025-09-30'");
  // Equal to a day, a range, or a half-open end: which day of the month is meant cannot be told.
  const Source on{"activities finishing on 2024-06-30", "SELECT * FROM activities WHERE finish_date = '2024-06-30'", {}};
  EXPECT_FALSE(refill(on, "activities finishing on June 2025"));
  const Source between{"activities finishing from 2024-06-01",
                       "SELECT * FROM activities WHERE finish_date BETWEEN '2024-06-01' AND '2024-12-31'", {}};
  EXPECT_FALSE(refill(between, "activities finishing from July 2025"));
  const Source day{"activities finishing on 2024-06-30",
                   "SELECT * FROM activities WHERE finish_date >= '2024-06-30' AND finish_date < '2024-07-01'", {}};
  EXPECT_FALSE(refill(day, "activities finishing on June 2025"));
}

TEST(TemplateRefill, AStoredValueOfAnotherColumnOfTheComparedTable) {
  const Source critical{"critical activities of project RMC",
                        "SELECT a.* FROM activities a JOIN projects AS p ON p.project_id = a.project_id "
                        "WHERE p.project_code = 'RMC' AND a.is_critical = 1", {}};
  const std::string q = "critical activities of the Harbor Bridge project";
  NamedValue name = named(q, "Harbor Bridge", "Harbor Bridge Rehabilitation");
  name.table = "Projects";
  name.column = "Project_Name";
  const auto renamed = refill(critical, q, {name});
  ASSERT_TRUE(renamed);
  EXPECT_EQ(renamed->sql,
            "SELECT a.* FROM activities a JOIN projects AS p ON p.project_id = a.project_id "
            "WHERE p.project_name = 'Harbor Bridge Rehabilitation' AND a.is_critical = 1");
  EXPECT_EQ(renamed->replaced, (Changes{{"RMC", "Harbor Bridge Rehabilitation"}}));
  // Stored in the compared column itself, or in a table the statement does
  // not compare: only the value changes.
  name.column = "project_code";
  EXPECT_NE(refill(critical, q, {name})->sql.find("p.project_code = 'Harbor Bridge Rehabilitation'"), std::string::npos);
  name.table = "clients";
  name.column = "client_name";
  EXPECT_NE(refill(critical, q, {name})->sql.find("p.project_code = 'Harbor Bridge Rehabilitation'"), std::string::npos);
  // Read in a table the statement reads, not in one it does not.
  name.table = "projects";
  name.column = "project_name";
  NamedValue risk = named(q, "Harbor Bridge", "Harbor Bridge scour");
  risk.table = "risks";
  risk.column = "risk_title";
  EXPECT_EQ(refill(critical, q, {risk, name})->replaced, (Changes{{"RMC", "Harbor Bridge Rehabilitation"}}));
  // One table, its columns unqualified.
  const Source one{"float of project RMC", "SELECT total_float FROM projects WHERE project_code = 'RMC'", {}};
  const std::string q2 = "float of the Harbor Bridge project";
  NamedValue name2 = named(q2, "Harbor Bridge", "Harbor Bridge Rehabilitation");
  name2.table = "projects";
  name2.column = "project_name";
  EXPECT_EQ(refill(one, q2, {name2})->sql,
            "SELECT total_float FROM projects WHERE project_name = 'Harbor Bridge Rehabilitation'");
}

// "of type Delay" says no more than "Delay" where the value is a note type;
// a word of the table's name ("project" of project_notes) still counts.
TEST(TemplateWording, AColumnsWordBeforeItsValueSaysNothingMore) {
  auto stored = [](const std::string& q, std::string_view phrase, std::string value) {
    NamedValue v = named(q, phrase, std::move(value));
    v.table = "project_notes";
    v.column = "note_type";
    return v;
  };
  const std::string earlier = "Show notes about delays";
  const Source delays{earlier, "SELECT * FROM project_notes WHERE note_type = 'Delay'",
                      {stored(earlier, "delays", "Delay")}};
  auto ask = [&](const std::string& q, std::string_view phrase, std::string value) {
    return refill(delays, q, {stored(q, phrase, std::move(value))});
  };
  const auto weather = ask("List the notes of type Weather", "Weather", "Weather");
  ASSERT_TRUE(weather);
  EXPECT_EQ(weather->sql, "SELECT * FROM project_notes WHERE note_type = 'Weather'");
  EXPECT_TRUE(ask("notes with type Weather", "Weather", "Weather"));
  EXPECT_FALSE(ask("notes of the project Weather", "Weather", "Weather"));
  // Without the value's column, "type" is a word of the question.
  const std::string q = "List the notes of type Weather";
  EXPECT_FALSE(refill(delays, q, {named(q, "Weather", "Weather")}));
}

// A value the earlier question names that its statement never writes is
// words there, unless the new question names it too.
TEST(TemplateRefill, AValueTheStatementNeverWritesIsWords) {
  const std::string old_q = "granted permits that expire before 2025-11-30";
  NamedValue granted = named(old_q, "granted", "Granted");
  NamedValue expired = named(old_q, "expire", "Expired");
  granted.table = expired.table = "permits";
  granted.column = expired.column = "state";
  const Source permits{old_q, "SELECT * FROM permits WHERE state = 'Granted' AND valid_to < '2025-11-30'",
                       {granted, expired}};
  const std::string q = "granted permits that expire before 2025-12-31";
  NamedValue granted_now = named(q, "granted", "Granted");
  granted_now.table = "permits";
  granted_now.column = "state";
  EXPECT_EQ(refill(permits, q, {granted_now}).value_or(Fit{}).sql,
            "SELECT * FROM permits WHERE state = 'Granted' AND valid_to < '2025-12-31'");
  NamedValue expired_now = named(q, "expire", "Expired");
  expired_now.table = "permits";
  expired_now.column = "state";
  EXPECT_TRUE(refill(permits, q, {granted_now, expired_now}));
}

// Words that name a value only loosely are its literal where the other
// question names a value of that table in their place, and words elsewhere.
TEST(TemplateRefill, ALooselyNamedValueWhereTheOtherNamesOneOfItsTable) {
  const std::string old_q = "variations on the array cable package still waiting for a decision";
  NamedValue cables = named(old_q, "array cable", "Inter-Array Cables");
  cables.table = "packages";
  cables.column = "package_name";
  cables.weak = true;
  const Source waiting{old_q,
                       "SELECT v.* FROM variations v JOIN packages p ON p.id = v.package_id "
                       "WHERE p.package_name = 'Inter-Array Cables' AND v.status = 'Submitted'",
                       {cables}};
  const std::string q = "variations on the substation package still waiting for a decision";
  NamedValue substation = named(q, "substation", "Offshore Substation");
  substation.table = "Packages";
  substation.column = "package_name";
  const auto fit = refill(waiting, q, {substation});
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->replaced, (Changes{{"Inter-Array Cables", "Offshore Substation"}}));
  // Loose in the new question, only as the very value the earlier one named:
  // nothing else says which row they mean.
  const std::string per_q = "variations on the array cable package for P1";
  NamedValue strong_cables = named(per_q, "array cable", "Inter-Array Cables");
  strong_cables.table = "packages";
  const Source per{per_q, "SELECT * FROM variations WHERE package = 'Inter-Array Cables' AND p = 'P1'", {strong_cables}};
  const std::string again = "variations on the cable package for P2";
  NamedValue cable = named(again, "cable", "Inter-Array Cables");
  cable.table = "packages";
  cable.weak = true;
  EXPECT_EQ(refill(per, again, {cable}).value_or(Fit{}).sql,
            "SELECT * FROM variations WHERE package = 'Inter-Array Cables' AND p = 'P2'");
  cable.stored = "Offshore Substation";
  EXPECT_FALSE(refill(per, again, {cable}));
  // Loose in the new question as another value, or of another table, or
  // read as two rows, they stay words.
  Source named_before = waiting;
  named_before.values.front().weak = false;
  substation.weak = true;
  EXPECT_FALSE(refill(named_before, q, {substation}));
  substation.weak = false;
  substation.table = "crews";
  EXPECT_FALSE(refill(waiting, q, {substation}));
  substation.table = "packages";
  Source two_rows = waiting;
  two_rows.values.push_back(two_rows.values.front());
  two_rows.values.back().stored = "Array Cable Spares";
  EXPECT_FALSE(refill(two_rows, q, {substation}));
}

TEST(TemplateRefill, ANameTheQuestionLeavesOutGoesWithItsCondition) {
  const Source first{"critical activities of project RMC",
                     "SELECT a.* FROM activities a JOIN projects p ON p.project_id = a.project_id "
                     "WHERE p.project_code = 'RMC' AND a.is_critical = 1", {}};
  const auto all = refill(first, "Which activities are critical?");
  ASSERT_TRUE(all);
  EXPECT_EQ(all->sql, "SELECT a.* FROM activities a JOIN projects p ON p.project_id = a.project_id "
                      "WHERE a.is_critical = 1");
  EXPECT_EQ(all->replaced, (Changes{{"p.project_code = 'RMC' AND ", ""}}));
  const Source near{"activities of project RMC with float under 5 days",
                    "SELECT * FROM activities WHERE total_float < 5 AND project_code = 'RMC'", {}};
  EXPECT_EQ(refill(near, "activities with float under 3 days")->sql, "SELECT * FROM activities WHERE total_float < 3");
  const Source last{"critical activities for RMC",
                    "SELECT * FROM activities WHERE is_critical = 1 AND project LIKE '%RMC%' ORDER BY start", {}};
  EXPECT_EQ(refill(last, "critical activities")->sql, "SELECT * FROM activities WHERE is_critical = 1 ORDER BY start");
  const Source alone{"late activities of project RMC",
                     "SELECT * FROM activities WHERE project_code = 'RMC' ORDER BY late_finish", {}};
  EXPECT_EQ(refill(alone, "late activities")->sql, "SELECT * FROM activities ORDER BY late_finish");
  // Capitals joined by "&" name something all the same.
  EXPECT_FALSE(refill(alone, "late activities on C&Q"));
  const Source trade{"late activities on M&E", "SELECT * FROM activities WHERE trade = 'M&E'", {}};
  EXPECT_TRUE(refill(trade, "the late M&E activities"));

  // The word that said what the name was: the new question asks about those
  // things; or it was all the question said besides the name.
  EXPECT_FALSE(refill(first, "Which projects have critical activities?"));
  const std::string q = "the weather notes";
  const Source weather{q, "SELECT * FROM notes WHERE note_type = 'Weather'", {named(q, "weather", "Weather")}};
  EXPECT_FALSE(refill(weather, "the notes"));
  // A condition under OR or NOT, in a list, alone in a join, or the name written twice.
  const Source either{"critical activities of project RMC",
                      "SELECT * FROM activities WHERE is_critical = 1 OR project_code = 'RMC'", {}};
  EXPECT_FALSE(refill(either, "critical activities"));
  const Source listed{"critical activities of project RMC",
                      "SELECT * FROM activities WHERE is_critical = 1 AND project_code IN ('RMC')", {}};
  EXPECT_FALSE(refill(listed, "critical activities"));
  const Source joined{"critical activities of project RMC",
                      "SELECT * FROM activities a JOIN projects p ON p.project_code = 'RMC' WHERE a.is_critical = 1", {}};
  EXPECT_FALSE(refill(joined, "critical activities"));
  const Source twice{"critical activities of project RMC",
                     "SELECT 'RMC' AS project, * FROM activities WHERE project_code = 'RMC' AND is_critical = 1", {}};
  EXPECT_FALSE(refill(twice, "critical activities"));
  const Source negated{"critical activities of project RMC",
                       "SELECT * FROM activities WHERE is_critical = 1 AND NOT project_code = 'RMC'", {}};
  EXPECT_FALSE(refill(negated, "critical activities"));
  // Numbers and dates are no names to drop.
  EXPECT_FALSE(refill(kLag, "relationships with lag"));
  EXPECT_FALSE(refill(kMilestones, "milestones due"));
}

TEST(TemplateRefill, AColumnNamedAfterATextIsNamedAnewOrLosesItsWords) {
  const std::string old_q = "How many activities are in progress per project?";
  const Source counts{old_q,
                      "SELECT p.code, COUNT(*) AS in_progress, SUM(a.hrs) AS \"In Progress hours\" FROM activities a "
                      "JOIN projects p USING (project_id) WHERE a.status = 'In Progress' GROUP BY p.code "
                      "ORDER BY in_progress DESC",
                      {named(old_q, "in progress", "In Progress")}};
  const std::string q = "How many activities are not started per project?";
  EXPECT_EQ(refill(counts, q, {named(q, "not started", "Not Started")}).value_or(Fit{}).sql,
            "SELECT p.code, COUNT(*) AS not_started, SUM(a.hrs) AS \"Not Started hours\" FROM activities a "
            "JOIN projects p USING (project_id) WHERE a.status = 'Not Started' GROUP BY p.code "
            "ORDER BY not_started DESC");
  // Taken out: a name left without words goes, unless the statement refers to it.
  EXPECT_FALSE(refill(counts, "How many activities per project?"));
  const Source unordered{old_q,
                         "SELECT p.code, COUNT(*) AS in_progress, SUM(a.hrs) AS inProgressHours FROM activities a "
                         "JOIN projects p USING (project_id) WHERE a.status = 'In Progress' GROUP BY p.code",
                         counts.values};
  EXPECT_EQ(refill(unordered, "How many activities per project?").value_or(Fit{}).sql,
            "SELECT p.code, COUNT(*), SUM(a.hrs) AS hours FROM activities a JOIN projects p USING (project_id) "
            "GROUP BY p.code");
  // In camel case and capitals; a cast's type is no name; a name another column has already is refused.
  const std::string risks = "open risks per project with their BL0 finish";
  const Source camel{risks,
                     "SELECT p.code, COUNT(*) AS openRisks, MAX(b.fin) AS BL0_FIN, CAST(r.kind AS TEXT) FROM risks r "
                     "JOIN projects p USING (project_id) JOIN baselines b USING (project_id) "
                     "WHERE r.status = 'Open' AND b.name = 'BL0' AND r.kind = 'Text'",
                     {named(risks, "open", "Open"), named(risks, "BL0", "BL0")}};
  const std::string closed = "closed risks per project with their BL1 finish";
  EXPECT_EQ(refill(camel, closed, {named(closed, "closed", "Closed"), named(closed, "BL1", "BL1")}).value_or(Fit{}).sql,
            "SELECT p.code, COUNT(*) AS closedRisks, MAX(b.fin) AS BL1_FIN, CAST(r.kind AS TEXT) FROM risks r "
            "JOIN projects p USING (project_id) JOIN baselines b USING (project_id) "
            "WHERE r.status = 'Closed' AND b.name = 'BL1' AND r.kind = 'Text'");
  const Source clash{"open risks per project",
                     "SELECT p.code, COUNT(*) AS open_risks, 0 AS closed_risks FROM risks r JOIN projects p "
                     "USING (project_id) WHERE r.status = 'Open' GROUP BY p.code",
                     {named("open risks per project", "open", "Open")}};
  const std::string other = "closed risks per project";
  EXPECT_FALSE(refill(clash, other, {named(other, "closed", "Closed")}));
}

// ---- example queries -------------------------------------------------------------

TEST(TemplateExamples, PlaceholdersTakeTheStatementsLiterals) {
  const std::string critical =
      "SELECT a.code FROM activity a JOIN project p ON p.id = a.project_id WHERE p.code = 'NDC' AND a.critical = 1";
  const auto one_project = example_question("Critical activities of one project", critical);
  ASSERT_TRUE(one_project);
  EXPECT_EQ(*one_project, "Critical activities of project 'NDC'");
  // The description's own values are what it asks, not placeholders; an explanation in parentheses goes.
  EXPECT_EQ(example_question("Delay and weather notes recorded since a date",
                             "SELECT * FROM notes WHERE kind IN ('Delay', 'Weather') AND day >= '2024-06-01'"),
            "Delay and weather notes recorded since 2024-06-01");
  EXPECT_EQ(example_question("Activities scheduled to start in a given month (early start between two dates)",
                             "SELECT * FROM activity WHERE start BETWEEN '2024-05-01' AND '2024-05-31'"),
            "Activities scheduled to start in 2024-05");
  EXPECT_EQ(example_question("Holidays in a given year of one calendar",
                             "SELECT * FROM holiday h JOIN calendar c ON c.id = h.calendar_id WHERE c.name = 'Standard' "
                             "AND h.day >= '2024-01-01' AND h.day < '2025-01-01'"),
            "Holidays in 2024 of calendar 'Standard'");
  // And the question that names other literals refills it.
  const auto fit = refill(Source{*one_project, critical, {}}, "Show the tasks of project KTR that are on the critical path");
  ASSERT_TRUE(fit);
  EXPECT_NE(fit->sql.find("p.code = 'KTR'"), std::string::npos);

  // No placeholder; "a project" is no placeholder of a thing; a placeholder
  // without its literal; a month that is not one; a date left over.
  EXPECT_FALSE(example_question("Open risks by score", "SELECT * FROM risk WHERE status = 'Open'"));
  EXPECT_FALSE(example_question("Activities of a project", "SELECT * FROM activity a WHERE a.project = 'NDC'"));
  EXPECT_FALSE(example_question("Activities of one project", "SELECT * FROM activity WHERE project_id = 7"));
  EXPECT_FALSE(example_question("Activities starting in a given month",
                                "SELECT * FROM activity WHERE start BETWEEN '2024-05-03' AND '2024-05-31'"));
  EXPECT_FALSE(example_question("Notes since a date",
                                "SELECT * FROM notes WHERE day >= '2024-06-01' AND day < '2024-09-01'"));
}

// ---- choosing among sources ------------------------------------------------------

TEST(TemplateBest, MostSimilarThenEarliestThatRefills) {
  const std::string sql = "SELECT * FROM activity_relationships WHERE critical AND lag_days > 44";
  const std::vector<Source> sources = {
      {"critical predecessor relationships with lag greater than 44 days", "SELECT 'less similar' WHERE 0 > 44", {}},
      {"critical relationships with lag greater than 44 days", "SELECT 'cannot place 44' WHERE 1 > 40", {}},
      {"critical relationships with lag greater than 44 days", sql, {}},
      {"critical links with lag greater than 44 days", "SELECT 'later' WHERE 3 > 44", {}},
      {"activities with float greater than 44 days", "SELECT 'other words' WHERE 4 > 44", {}},
  };
  const std::string q = "critical links with lag over 12 days";
  const auto best = best_refill(sources, q);
  ASSERT_TRUE(best);
  EXPECT_EQ(best->first, 2u);
  EXPECT_EQ(best->second.sql, "SELECT * FROM activity_relationships WHERE critical AND lag_days > 12");
  // Without the closest ones the less similar wording still answers.
  const auto fallback = best_refill({sources[0], sources[1]}, q);
  ASSERT_TRUE(fallback);
  EXPECT_EQ(fallback->first, 0u);
  EXPECT_DOUBLE_EQ(fallback->second.similarity, 0.8);
  EXPECT_FALSE(best_refill(sources, "projects starting in June 2025"));
  EXPECT_FALSE(best_refill({}, q));
}

// Of equally close wordings, the one whose literal is another of the same
// column ("KTR" for "PQB"), not one that is refilled into another column.
TEST(TemplateBest, FewestChangesToTheLiteralsAmongEquals) {
  auto value = [](std::string_view question, std::string_view phrase, const char* column) {
    NamedValue v = named(question, phrase, std::string(phrase));
    v.table = "project";
    v.column = column;
    return v;
  };
  const std::string by_name = "critical activities on Riverside Extension", by_code = "critical activities for KTR";
  const std::vector<Source> sources = {
      {by_name, "SELECT * FROM a JOIN project p WHERE p.name = 'Riverside Extension' AND a.critical = 1",
       {value(by_name, "Riverside Extension", "name")}},
      {by_code, "SELECT a.status FROM a JOIN project p WHERE p.code = 'KTR' AND a.critical = 1",
       {value(by_code, "KTR", "code")}},
  };
  const std::string q = "PQB critical activities";
  const auto best = best_refill(sources, q, {value(q, "PQB", "code")});
  ASSERT_TRUE(best);
  EXPECT_EQ(best->first, 1u);
  EXPECT_EQ(best->second.sql, "SELECT a.status FROM a JOIN project p WHERE p.code = 'PQB' AND a.critical = 1");
}

// A name that says what it names stands for the word outside another one.
TEST(TemplateWording, ANameThatSaysWhatItNames) {
  auto named_in = [](std::string_view question, std::string_view phrase) {
    NamedValue v = named(question, phrase, std::string(phrase));
    v.table = "work_calendars";
    v.column = "calendar_name";
    return v;
  };
  const std::string old_question = "holidays in the Standard calendar in 2024";
  const Source holidays{old_question,
                        "SELECT * FROM holidays h JOIN work_calendars c USING (calendar_id) WHERE c.calendar_name = "
                        "'Standard' AND h.day LIKE '2024-%'",
                        {named_in(old_question, "Standard")}};
  const std::string q = "what holidays does the Site Calendar have in 2025";
  const auto fit = refill(holidays, q, {named_in(q, "Site Calendar")});
  ASSERT_TRUE(fit);
  EXPECT_EQ(fit->sql,
            "SELECT * FROM holidays h JOIN work_calendars c USING (calendar_id) WHERE c.calendar_name = "
            "'Site Calendar' AND h.day LIKE '2025-%'");
}

// A question may leave out the things it asks about, the table its statement
// reads first, when every other word is the same; not when two statements
// of different tables would answer it so.
TEST(TemplateBest, TheThingsAskedAboutMayBeLeftOut) {
  const std::vector<Source> sources = {
      {"activities with negative float on P7, worst first",
       "SELECT * FROM scheduleActivity a WHERE a.project = 'P7' AND a.total_float < 0 ORDER BY a.total_float", {}},
      {"activities with free float over 3 days", "SELECT * FROM scheduleActivity WHERE free_float > 3", {}},
  };
  const auto best = best_refill(sources, "neg float on P9, worst first");
  ASSERT_TRUE(best);
  EXPECT_EQ(best->second.sql,
            "SELECT * FROM scheduleActivity a WHERE a.project = 'P9' AND a.total_float < 0 ORDER BY a.total_float");
  EXPECT_FALSE(best_refill(sources, "negative float on P9, worst first, with their cost"));
  // Or say them where the other does not; but not say another part of the name.
  const Source deeper{"positions deeper than 30 m", "SELECT * FROM turbinePosition WHERE depth > 30", {}};
  EXPECT_EQ(best_refill({deeper}, "which turbine positions are deeper than 33 m?").value_or(std::make_pair(0, Fit{})).second.sql,
            "SELECT * FROM turbinePosition WHERE depth > 33");
  EXPECT_FALSE(best_refill({deeper}, "which turbine positions are shallower than 33 m?"));
  const Source over{"Which resources are over budget?",
                    "SELECT * FROM resource_assignments ra JOIN resources r USING (resource_id) WHERE ra.cost > ra.budget", {}};
  EXPECT_FALSE(best_refill({over}, "Which assignments are over budget?"));
  // The things a join reads, by their names as read, but not what rows are
  // grouped by.
  Wording read;
  read.table_words = [](std::string_view table) {
    return table == "tblActRel" ? std::vector<std::string>{"act", "relationship"} : std::vector<std::string>{"activity"};
  };
  const Source follows{"Which activities follow A-2?",
                       "SELECT s.code FROM tblActRel r JOIN tblAct s ON s.id = r.succ JOIN tblAct p ON p.id = r.pred "
                       "WHERE p.code = 'A-2'", {}};
  EXPECT_TRUE(best_refill({follows}, "what follows A-3", {}, read));
  const Source grouped{"earned value by control account for P1",
                       "SELECT ca.code, SUM(e.ev) FROM ev e JOIN control_accounts ca USING (ca_id) WHERE e.job = 'P1' "
                       "GROUP BY ca.code", {}};
  EXPECT_FALSE(best_refill({grouped}, "earned value for P2"));
  std::vector<Source> both = sources;
  both.push_back({"projects with negative float on P7, worst first",
                  "SELECT * FROM projects WHERE code = 'P7' AND total_float < 0 ORDER BY total_float", {}});
  EXPECT_FALSE(best_refill(both, "neg float on P9, worst first"));
}

// Capitals that spell a word of the schema's names are that word, not a code
// to refill; and a part of the name of the table asked about may stand for it.
TEST(TemplateBest, CapitalsThatSpellANameAndPartsOfATablesName) {
  const std::vector<std::string> names = {"po", "line", "lines", "promised", "need"};
  const Wording wording{[&](std::string_view w) { return std::find(names.begin(), names.end(), w) != names.end(); }};
  const std::vector<Source> sources = {{"undelivered PO lines promised after their need date",
                                        "SELECT * FROM po_lines WHERE delivered = 0 AND promised > need", {}}};
  const auto best = best_refill(sources, "undelivered lines promised after the need date", {}, wording);
  ASSERT_TRUE(best);
  EXPECT_EQ(best->second.sql, sources[0].sql);
  EXPECT_FALSE(best_refill(sources, "undelivered lines promised after the need date", {}, {}));
}

// A statement that keeps some of its rows where its question says neither how
// many nor which come first narrows another question.
TEST(TemplateRefusal, ARowLimitTheQuestionDoesNotSay) {
  const Source capped{"relationships whose lag exceeds 20 days",
                      "SELECT * FROM links WHERE lag > 20 ORDER BY lag DESC LIMIT 10", {}};
  EXPECT_FALSE(refill(capped, "relationships whose lag exceeds 25 days"));
  const Source top{"the 10 relationships with the most lag", "SELECT * FROM links ORDER BY lag DESC LIMIT 10", {}};
  EXPECT_EQ(refill(top, "the 5 relationships with the most lag").value_or(Fit{}).sql,
            "SELECT * FROM links ORDER BY lag DESC LIMIT 5");
}

TEST(TemplateBest, TheFirstOfTheBestAmongManySources) {
  std::vector<Source> sources;
  const char* things[] = {"activities", "relationships", "projects", "milestones", "resources"};
  const char* columns[] = {"float", "lag", "duration", "cost", "progress", "budget", "variance"};
  for (int i = 0; i < 1000; ++i) {
    const std::string thing = things[i % 5], column = columns[(i / 5) % 7];
    sources.push_back({thing + " of project P" + std::to_string(i) + " with " + column + " over " +
                           std::to_string(i) + " days in May 2024",
                       "SELECT * FROM t WHERE c > " + std::to_string(i) + " AND p = 'P" + std::to_string(i) + "'", {}});
  }
  const auto best = best_refill(sources, "milestones of project Q7 with cost over 3 days in May 2024");
  ASSERT_TRUE(best);
  EXPECT_EQ(best->first, 18u);  // the first milestones-with-cost source
  EXPECT_EQ(best->second.sql, "SELECT * FROM t WHERE c > 3 AND p = 'Q7'");
}

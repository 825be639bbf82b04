// The report's arithmetic and its text forms, from stored problems made by hand.
#include "results/report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

namespace {

results::StoredProblem P(const std::string& pupil, int entry, const std::string& outcome, int hints = 0,
                         bool viewing = false, const std::string& started = "2026-12-09T10:00:00Z") {
    results::StoredProblem s;
    s.pupil = pupil;
    s.problem.program = "halvard";
    s.problem.entry = entry;
    s.problem.outcome = outcome;
    s.problem.hints = hints;
    s.problem.viewing = viewing;
    s.problem.started = started;
    s.problem.seconds = 1.25;
    return s;
}

TEST(ResultsReport, CountsOutcomesHintsAndViewsPerEntry) {
    const std::vector<results::StoredProblem> problems = {
        P("aki", 1, "right1"),       P("aki", 1, "right2", 1),
        P("aki", 1, "right3", 2),    P("aki", 1, "solution", 3, false, "2026-12-09T11:00:00Z"),
        P("aki", 1, "left", 1),      P("aki", 1, "viewed", 0, true, "2026-12-09T12:00:00Z"),
        P("aki", 2, "left", 0, true)};
    const auto s = results::Summarise(problems);
    const auto& e = s.at("aki").at("halvard").at(1);
    EXPECT_EQ(e.practised, 5);
    EXPECT_EQ(e.right1, 1);
    EXPECT_EQ(e.right2, 1);
    EXPECT_EQ(e.right3, 1);
    EXPECT_EQ(e.solution, 1);
    EXPECT_EQ(e.left, 1);
    EXPECT_EQ(e.viewed, 1);
    EXPECT_EQ(e.hints, 7);
    EXPECT_DOUBLE_EQ(e.seconds, 5 * 1.25);
    EXPECT_EQ(e.last, "2026-12-09T11:00:00Z");  // the viewed problem is not practice
    const auto& viewedOnly = s.at("aki").at("halvard").at(2);
    EXPECT_EQ(viewedOnly.practised, 0);
    EXPECT_EQ(viewedOnly.left, 0);
    EXPECT_EQ(viewedOnly.viewed, 1);
}

TEST(ResultsReport, TrendComparesTheLastTenWithTheOnesBefore) {
    struct Row {
        int before, beforeRight, recentRight;
        std::optional<double> trend;
    };
    const Row rows[] = {{0, 0, 10, std::nullopt}, {10, 5, 7, 0.2}, {5, 5, 0, -1.0}, {1, 0, 10, 1.0}};
    for (const auto& row : rows) {
        std::vector<results::StoredProblem> problems;
        for (int i = 0; i < row.before; ++i)
            problems.push_back(P("aki", 1, i < row.beforeRight ? "right1" : "right2"));
        for (int i = 0; i < 10; ++i)
            problems.push_back(P("aki", 1, i < row.recentRight ? "right1" : "solution"));
        const auto t = results::Summarise(problems).at("aki").at("halvard").at(1).trend;
        ASSERT_EQ(t.has_value(), row.trend.has_value()) << row.before;
        if (t) {
            EXPECT_NEAR(*t, *row.trend, 1e-9) << row.before;
        }
    }
}

TEST(ResultsReport, FormatsKeepNamesAsTyped) {
    const std::string name = "Robert'); DROP TABLE results;--, \"<b>\"";
    const auto s = results::Summarise({P(name, 4, "right1", 0, false), P("ゆき", 4, "solution", 3)});
    std::ostringstream json, csv, html, text;
    results::WriteReport(s, results::Format::Json, json);
    results::WriteReport(s, results::Format::Csv, csv);
    results::WriteReport(s, results::Format::Html, html);
    results::WriteReport(s, results::Format::Text, text);

    const auto j = nlohmann::json::parse(json.str());
    ASSERT_EQ(j.at("pupils").size(), 2u);
    EXPECT_EQ(j["pupils"][0]["pupil"], name);
    const auto& entry = j["pupils"][0]["programs"][0]["entries"][0];
    EXPECT_EQ(j["pupils"][0]["programs"][0]["program"], "halvard");
    for (const char* key : {"entry", "practised", "right1", "right2", "right3", "solution", "left", "viewed",
                            "hints", "seconds", "last", "trend"})
        EXPECT_TRUE(entry.contains(key)) << key;
    EXPECT_EQ(entry["entry"], 4);
    EXPECT_EQ(entry["right1"], 1);
    EXPECT_TRUE(entry["trend"].is_null());
    EXPECT_EQ(j["pupils"][1]["pupil"], "ゆき");
    EXPECT_EQ(j["pupils"][1]["programs"][0]["entries"][0]["hints"], 3);

    EXPECT_NE(
        csv.str().find("\"Robert'); DROP TABLE results;--, \"\"<b>\"\"\",halvard,4,1,1,0,0,0,0,0,0,1.2"),
        std::string::npos)
        << csv.str();
    EXPECT_EQ(html.str().find("<b>"), std::string::npos);
    EXPECT_NE(html.str().find("&quot;&lt;b&gt;&quot;"), std::string::npos);
    EXPECT_EQ(html.str().find("<script"), std::string::npos);
    EXPECT_EQ(html.str().find("http"), std::string::npos);
    EXPECT_NE(html.str().find("<svg"), std::string::npos);
    EXPECT_NE(text.str().find("Pupil: ゆき"), std::string::npos);
}

}  // namespace

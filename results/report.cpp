#include "results/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

namespace results {

Summary Summarise(const std::vector<StoredProblem>& problems) {
    Summary summary;
    std::map<EntrySummary*, std::vector<bool>> firstTime;
    for (const StoredProblem& s : problems) {
        const shell::ProblemRecord& p = s.problem;
        EntrySummary& e = summary[s.pupil][p.program][p.entry];
        if (p.viewing) {
            ++e.viewed;
            continue;
        }
        ++e.practised;
        if (p.outcome == "right1")
            ++e.right1;
        else if (p.outcome == "right2")
            ++e.right2;
        else if (p.outcome == "right3")
            ++e.right3;
        else if (p.outcome == "solution")
            ++e.solution;
        else
            ++e.left;
        e.hints += p.hints;
        e.seconds += p.seconds;
        if (p.started > e.last) e.last = p.started;
        firstTime[&e].push_back(p.outcome == "right1");
    }
    for (auto& [entry, history] : firstTime) {
        const auto split = history.size() - std::min<size_t>(history.size(), kTrendRecent);
        const auto earlier = std::count(history.begin(), history.begin() + static_cast<long>(split), true);
        const auto recent = std::count(history.begin() + static_cast<long>(split), history.end(), true);
        entry->trend = TrendOf(entry->practised, static_cast<int>(recent), static_cast<int>(earlier));
    }
    return summary;
}

namespace {

// CSV fields are quoted when they hold a comma, a quote or a line break.
std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (const char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string TrendText(const std::optional<double>& t) { return t ? Fixed(*t, 2) : ""; }

void WriteJson(const Summary& summary, std::ostream& out) {
    nlohmann::ordered_json pupils = nlohmann::ordered_json::array();
    for (const auto& [pupil, programs] : summary) {
        nlohmann::ordered_json progs = nlohmann::ordered_json::array();
        for (const auto& [program, entries] : programs) {
            nlohmann::ordered_json list = nlohmann::ordered_json::array();
            for (const auto& [entry, e] : entries) {
                nlohmann::ordered_json j;
                j["entry"] = entry;
                j["practised"] = e.practised;
                j["right1"] = e.right1;
                j["right2"] = e.right2;
                j["right3"] = e.right3;
                j["solution"] = e.solution;
                j["left"] = e.left;
                j["viewed"] = e.viewed;
                j["hints"] = e.hints;
                j["seconds"] = std::round(e.seconds * 10) / 10;
                j["last"] = e.last.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(e.last);
                j["trend"] = e.trend ? nlohmann::ordered_json(std::round(*e.trend * 100) / 100)
                                     : nlohmann::ordered_json(nullptr);
                list.push_back(std::move(j));
            }
            progs.push_back({{"program", program}, {"entries", std::move(list)}});
        }
        pupils.push_back({{"pupil", pupil}, {"programs", std::move(progs)}});
    }
    nlohmann::ordered_json doc;
    doc["pupils"] = std::move(pupils);
    out << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

constexpr const char* kHeadings[] = {"pupil",  "program", "entry",    "practised", "right1",
                                     "right2", "right3",  "solution", "left",      "viewed",
                                     "hints",  "seconds", "last",     "trend"};

std::vector<std::string> Row(const std::string& pupil, const std::string& program, int entry,
                             const EntrySummary& e) {
    return {pupil,
            program,
            std::to_string(entry),
            std::to_string(e.practised),
            std::to_string(e.right1),
            std::to_string(e.right2),
            std::to_string(e.right3),
            std::to_string(e.solution),
            std::to_string(e.left),
            std::to_string(e.viewed),
            std::to_string(e.hints),
            Fixed(e.seconds, 1),
            e.last,
            TrendText(e.trend)};
}

void WriteCsv(const Summary& summary, std::ostream& out) {
    for (size_t i = 0; i < std::size(kHeadings); ++i) out << (i ? "," : "") << kHeadings[i];
    out << "\r\n";
    for (const auto& [pupil, programs] : summary)
        for (const auto& [program, entries] : programs)
            for (const auto& [entry, e] : entries) {
                const auto row = Row(pupil, program, entry, e);
                for (size_t i = 0; i < row.size(); ++i) out << (i ? "," : "") << CsvField(row[i]);
                out << "\r\n";
            }
}

// Columns padded by characters, so that a Japanese name does not push the table apart more
// than it must.
size_t Width(const std::string& s) {
    size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

void WriteText(const Summary& summary, std::ostream& out) {
    if (summary.empty()) out << "No problems recorded.\n";
    for (const auto& [pupil, programs] : summary) {
        out << "Pupil: " << pupil << '\n';
        for (const auto& [program, entries] : programs) {
            out << "  Program: " << program << '\n';
            std::vector<std::vector<std::string>> rows;
            rows.push_back({});
            for (size_t i = 2; i < std::size(kHeadings); ++i) rows.back().push_back(kHeadings[i]);
            for (const auto& [entry, e] : entries) {
                auto row = Row(pupil, program, entry, e);
                rows.emplace_back(row.begin() + 2, row.end());
            }
            std::vector<size_t> widths(rows.front().size(), 0);
            for (const auto& row : rows)
                for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
            for (const auto& row : rows) {
                out << "   ";
                for (size_t i = 0; i < row.size(); ++i)
                    out << ' ' << std::string(widths[i] - Width(row[i]), ' ') << row[i];
                out << '\n';
            }
        }
    }
}

}  // namespace

void WriteReport(const Summary& summary, Format format, std::ostream& out) {
    switch (format) {
        case Format::Json:
            WriteJson(summary, out);
            break;
        case Format::Csv:
            WriteCsv(summary, out);
            break;
        case Format::Html:
            WriteHtml(summary, out);
            break;
        case Format::Text:
            WriteText(summary, out);
            break;
    }
}

}  // namespace results

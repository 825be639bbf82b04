// The report as one self-contained page: no scripts and nothing fetched from elsewhere, charts
// as inline SVG, narrow enough for a phone and plain enough to print.
#include <cstdio>
#include <ostream>

#include "results/report.h"

namespace results {

namespace {

std::string Escape(const std::string& s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

struct Part {
    const char* name;
    const char* colour;
    int EntrySummary::*count;
};

// Outcomes from best to worst, each with the colour its bar segment and legend share.
constexpr Part kParts[] = {{"right at 1st", "#2e9d5b", &EntrySummary::right1},
                           {"right at 2nd", "#8cc63f", &EntrySummary::right2},
                           {"right at 3rd", "#f2c230", &EntrySummary::right3},
                           {"solution shown", "#e07b1a", &EntrySummary::solution},
                           {"left", "#999999", &EntrySummary::left}};

// One horizontal bar split by outcome, as wide as the page allows.
void Bar(std::ostream& out, const EntrySummary& e, const std::string& label) {
    out << "<svg viewBox=\"0 0 200 14\" width=\"100%\" height=\"14\" role=\"img\" aria-label=\""
        << Escape(label) << "\">";
    double x = 0;
    for (const Part& p : kParts) {
        const int n = e.*p.count;
        if (e.practised == 0 || n == 0) continue;
        const double w = 200.0 * n / e.practised;
        char buf[160];
        std::snprintf(
            buf, sizeof buf,
            "<rect x=\"%.2f\" y=\"0\" width=\"%.2f\" height=\"14\" fill=\"%s\"><title>%s: %d</title></rect>",
            x, w, p.colour, p.name, n);
        out << buf;
        x += w;
    }
    out << "</svg>";
}

EntrySummary Total(const std::map<std::string, std::map<int, EntrySummary>>& programs) {
    EntrySummary t;
    for (const auto& [program, entries] : programs)
        for (const auto& [entry, e] : entries) {
            t.practised += e.practised;
            for (const Part& p : kParts) t.*p.count += e.*p.count;
            t.viewed += e.viewed;
            t.hints += e.hints;
            t.seconds += e.seconds;
        }
    return t;
}

}  // namespace

void WriteHtml(const Summary& summary, std::ostream& out) {
    out << "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>Drills report</title><style>"
           "body{font-family:sans-serif;margin:1em;max-width:60em}"
           "table{border-collapse:collapse;width:100%;margin-bottom:1em}"
           "th,td{border-bottom:1px solid #ccc;padding:.2em .4em;text-align:right}"
           "th:first-child,td:first-child{text-align:left}td.bar{width:30%}"
           ".legend span{display:inline-block;margin-right:1em}"
           ".legend i{display:inline-block;width:.8em;height:.8em;margin-right:.3em}"
           "section{page-break-inside:avoid}"
           "@media (max-width:40em){.wide{display:none}}"
           "</style></head><body>\n<h1>Drills report</h1>\n<p class=\"legend\">";
    for (const Part& p : kParts)
        out << "<span><i style=\"background:" << p.colour << "\"></i>" << p.name << "</span>";
    out << "</p>\n";
    if (summary.empty()) out << "<p>No problems recorded.</p>\n";
    if (summary.size() > 1) {
        // The class side by side: one bar per pupil over every program.
        out << "<section><h2>Class</h2><table><tr><th>pupil</th><th>practised</th><th "
               "class=\"bar\">outcomes</th></tr>\n";
        for (const auto& [pupil, programs] : summary) {
            const EntrySummary t = Total(programs);
            out << "<tr><td>" << Escape(pupil) << "</td><td>" << t.practised << "</td><td class=\"bar\">";
            Bar(out, t, pupil);
            out << "</td></tr>\n";
        }
        out << "</table></section>\n";
    }
    for (const auto& [pupil, programs] : summary) {
        out << "<section><h2>" << Escape(pupil) << "</h2>\n";
        for (const auto& [program, entries] : programs) {
            out << "<h3>" << Escape(program)
                << "</h3><table><tr><th>entry</th><th>practised</th>"
                   "<th class=\"wide\">1st</th><th class=\"wide\">2nd</th><th class=\"wide\">3rd</th>"
                   "<th class=\"wide\">solution</th><th class=\"wide\">left</th><th>viewed</th>"
                   "<th class=\"wide\">hints</th><th class=\"wide\">seconds</th><th class=\"wide\">last</th>"
                   "<th>trend</th><th class=\"bar\">outcomes</th></tr>\n";
            for (const auto& [entry, e] : entries) {
                char seconds[32], trend[32] = "";
                std::snprintf(seconds, sizeof seconds, "%.1f", e.seconds);
                if (e.trend) std::snprintf(trend, sizeof trend, "%+.2f", *e.trend);
                out << "<tr><td>" << entry << "</td><td>" << e.practised << "</td><td class=\"wide\">"
                    << e.right1 << "</td><td class=\"wide\">" << e.right2 << "</td><td class=\"wide\">"
                    << e.right3 << "</td><td class=\"wide\">" << e.solution << "</td><td class=\"wide\">"
                    << e.left << "</td><td>" << e.viewed << "</td><td class=\"wide\">" << e.hints
                    << "</td><td class=\"wide\">" << seconds << "</td><td class=\"wide\">" << Escape(e.last)
                    << "</td><td>" << trend << "</td><td class=\"bar\">";
                Bar(out, e, program + " " + std::to_string(entry));
                out << "</td></tr>\n";
            }
            out << "</table>\n";
        }
        out << "</section>\n";
    }
    out << "</body></html>\n";
}

}  // namespace results

#include "runtime/trace.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "runtime/options.h"

namespace rt {

namespace {
// Single-precision numbers, so a caller's 48.6 is written as 48.6 and not 48.59999847.
using Json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                  std::uint64_t, float>;

Json number(float v) {
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15f)
        return Json(static_cast<std::int64_t>(v));
    return Json(v);
}

Json value(const TraceValue& v) {
    return std::visit(
        [](const auto& x) -> Json {
            using X = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<X, float>)
                return number(x);
            else if constexpr (std::is_same_v<X, Text>)
                return Json(toUtf8(x));
            else
                return Json(x);
        },
        v);
}
}  // namespace

Trace::Trace(std::ostream* stream, const std::string& file) : out_(stream) {
    if (!out_) {
        file_.open(file, std::ios::out | std::ios::trunc);
        if (!file_) throw StartupError("cannot write the trace file " + file);
        out_ = &file_;
    }
}

void Trace::write(std::string_view op, std::initializer_list<TraceField> fields) {
    Json event;
    event["op"] = std::string(op);
    for (const auto& f : fields) event[std::string(f.name)] = value(f.value);
    *out_ << event.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

void Trace::writePolyline(const std::vector<Point>& points, int c) {
    Json event;
    event["op"] = "drawPolyline";
    Json list = Json::array();
    for (const auto& p : points) list.push_back(Json::array({number(p.x), number(p.y)}));
    event["points"] = std::move(list);
    event["c"] = c;
    *out_ << event.dump() << '\n';
}

void Trace::flush() { out_->flush(); }

}  // namespace rt

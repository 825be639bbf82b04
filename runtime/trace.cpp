#include "runtime/trace.h"

#include <cerrno>
#include <cmath>
#include <cstring>
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

Trace::Trace(std::ostream* stream, const std::string& file) : path_(file), out_(stream) {
    if (!out_) {
        file_ = std::fopen(file.c_str(), "w");
        if (!file_)
            throw StartupError("cannot write the trace file " + file + ": " + std::strerror(errno));
        std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    }
}

Trace::~Trace() {
    if (file_) std::fclose(file_);
}

void Trace::emit(const std::string& line) {
    if (!file_) {
        *out_ << line << '\n';
        return;
    }
    if (error_) return;
    // A full disk shows up here or only at the flush; either way the first reason is kept.
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fputc('\n', file_) == EOF)
        error_ = errno ? errno : EIO;
}

void Trace::flush() {
    if (file_ && !error_) {
        errno = 0;
        if (std::fflush(file_) != 0) error_ = errno ? errno : EIO;
    } else if (out_) {
        out_->flush();
    }
}

std::string Trace::close() {
    if (file_) {
        errno = 0;
        if (std::fflush(file_) != 0 && !error_) error_ = errno ? errno : EIO;
        if (std::fclose(file_) != 0 && !error_) error_ = errno ? errno : EIO;
        file_ = nullptr;
    } else if (out_) {
        out_->flush();
    }
    if (!error_) return "";
    return "cannot write the trace " + path_ + ": " + std::strerror(error_);
}

void Trace::write(std::string_view op, std::initializer_list<TraceField> fields) {
    Json event;
    event["op"] = std::string(op);
    for (const auto& f : fields) event[std::string(f.name)] = value(f.value);
    emit(event.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void Trace::writePolyline(const std::vector<Point>& points, int c) {
    Json event;
    event["op"] = "drawPolyline";
    Json list = Json::array();
    for (const auto& p : points) list.push_back(Json::array({number(p.x), number(p.y)}));
    event["points"] = std::move(list);
    event["c"] = c;
    emit(event.dump());
}

}  // namespace rt

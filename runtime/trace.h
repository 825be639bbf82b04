// The JSON Lines trace: one object per event, in order, for tests and for a teacher to read.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>

#include "runtime/screen.h"

namespace rt {

class Trace {
public:
    // Writes to `stream` when given, else to `file` (throws StartupError if it cannot be opened).
    Trace(std::ostream* stream, const std::string& file);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    void write(std::string_view op, std::initializer_list<TraceField> fields);
    // For drawPolyline, whose points do not fit a flat field list.
    void writePolyline(const std::vector<Point>& points, int c);
    // Hands what was written so far to the file, so that the trace of a program waiting for a
    // key can be read while it waits. A failure is kept for close() to report.
    void flush();
    // Flushes and closes the file. Returns "" when every event reached it, else one line
    // naming the file and the system's reason for the first failure.
    std::string close();

private:
    void emit(const std::string& line);

    std::string path_;
    std::FILE* file_ = nullptr;
    std::ostream* out_;
    int error_ = 0;  // errno of the first failed write; later events are dropped
};

}  // namespace rt

// The JSON Lines trace: one object per event, in order, for tests and for a teacher to read.
#pragma once

#include <fstream>
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
    void write(std::string_view op, std::initializer_list<TraceField> fields);
    // For drawPolyline, whose points do not fit a flat field list.
    void writePolyline(const std::vector<Point>& points, int c);
    void flush();

private:
    std::ofstream file_;
    std::ostream* out_;
};

}  // namespace rt

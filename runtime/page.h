// Printed pages: a PDF document of A4 portrait pages onto which recorded drawing is placed as
// vectors, each drawing cropped to what it shows and scaled into the text column. Text stays
// text in the program's font (embedded as a subset); the screen's dark background becomes
// white paper, light ink becomes dark ink, and coloured ink keeps its hue.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/drawing.h"
#include "runtime/text.h"

namespace rt {

class PageDocument {
public:
    // `fontFile` empty: the default font. `created` is the document's creation time as
    // "YYYY-MM-DDTHH:MM:SS"; the same arguments and drawing give the same bytes.
    // Throws std::runtime_error when the file cannot be started.
    PageDocument(const std::string& path, const std::string& fontFile, const Text& title,
                 const std::string& created);
    ~PageDocument();
    PageDocument(const PageDocument&) = delete;
    PageDocument& operator=(const PageDocument&) = delete;

    // The sheet's heading: a title, its date, the fields a pupil fills in (class, number,
    // name), and a few lines of notes under it.
    void heading(const Text& title, const Text& date, const std::vector<Text>& notes);
    // A heading line of its own on a fresh page, as the answers start.
    void section(const Text& title);
    // Places the visible part of `ops` under a small label, with `room` points left free
    // below it for writing; starts a new page first when it would not fit on this one.
    void place(const Text& label, const std::vector<DrawOp>& ops, double room);
    // Finishes the file. Throws std::runtime_error (one line) when it could not be written.
    void finish();

    int pages() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The unit pixels a list of operations shows on paper: everything but the background (colour 0)
// and whole fills. Empty (x2 < x1) when nothing shows.
Bounds visibleBounds(const std::vector<DrawOp>& ops);

}  // namespace rt

#include "runtime/page.h"

#ifdef __EMSCRIPTEN__

#include <climits>
#include <stdexcept>

namespace rt {

// A page in the browser prints nothing: there is no file to write a document into.
struct PageDocument::Impl {};

PageDocument::PageDocument(const std::string& path, const std::string&, const Text&, const std::string&) {
    throw std::runtime_error("cannot write " + path + ": no files in the browser");
}
PageDocument::~PageDocument() = default;
void PageDocument::heading(const Text&, const Text&, const std::vector<Text>&) {}
void PageDocument::section(const Text&) {}
void PageDocument::place(const Text&, const std::vector<DrawOp>&, double) {}
void PageDocument::finish() {}
int PageDocument::pages() const { return 0; }

}  // namespace rt

#else

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>

#include "runtime/cairo_loader.h"
#include "runtime/canvas.h"
#include "runtime/fonts.h"

namespace rt {

namespace {

// A4 portrait in points, with margins every printer keeps.
constexpr double kPageW = 595.276, kPageH = 841.89;
constexpr double kMarginX = 42, kMarginTop = 42, kMarginBottom = 48;
constexpr double kColumnW = kPageW - 2 * kMarginX;
// Points per canvas pixel at most: 16-pixel text prints at 8 points.
constexpr double kMaxScale = 0.5;
constexpr double kLabelSize = 7.5, kLabelGap = 3, kItemGap = 10;

struct Ink {
    double r, g, b;
};

Ink rgb(std::uint32_t v) {
    return {((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

double luminance(Ink c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }

// Ink on paper: white and greys print black; a hue keeps its hue, darkened until it reads in grey.
Ink inkOf(std::uint8_t c) {
    Ink k = rgb(kPalette[c & 15]);
    const double hi = std::max({k.r, k.g, k.b}), lo = std::min({k.r, k.g, k.b});
    if (hi - lo < 0.15) return {0, 0, 0};
    const double l = luminance(k), target = 0.3;
    if (l > target) k = {k.r * target / l, k.g * target / l, k.b * target / l};
    return k;
}

// A filled area on paper: a pale tint of its ink, so dark ink on it stays readable.
Ink tintOf(std::uint8_t c) {
    if (c == 0) return {1, 1, 1};
    const Ink k = inkOf(c);
    constexpr double keep = 0.12;
    return {1 - keep * (1 - k.r), 1 - keep * (1 - k.g), 1 - keep * (1 - k.b)};
}

void setColour(cairo_t* cr, Ink k) { cairo_set_source_rgb(cr, k.r, k.g, k.b); }

}  // namespace

Bounds visibleBounds(const std::vector<DrawOp>& ops) {
    Bounds out{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const DrawOp& o : ops) {
        if (std::holds_alternative<op::Fill>(o)) continue;
        const std::uint8_t c = std::visit([](const auto& v) { return v.c; }, o);
        if (c == 0) continue;
        const Bounds b = bounds(o);
        out = {std::min(out.x1, b.x1), std::min(out.y1, b.y1), std::max(out.x2, b.x2),
               std::max(out.y2, b.y2)};
    }
    return out;
}

struct PageDocument::Impl {
    std::string path;
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    cairo_font_face_t* face = nullptr;
    int pages = 1;
    double y = kMarginTop;  // where the next item starts

    ~Impl() {
        if (cr) cairo_destroy(cr);
        if (surface) cairo_surface_destroy(surface);
        if (face) cairo_font_face_destroy(face);
    }

    void text(double x, double baseline, double size, const Text& t, Ink k) {
        cairo_set_font_face(cr, face);
        cairo_set_font_size(cr, size);
        setColour(cr, k);
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, toUtf8(t).c_str());
    }

    double textWidth(double size, const Text& t) {
        cairo_set_font_face(cr, face);
        cairo_set_font_size(cr, size);
        cairo_text_extents_t e;
        cairo_text_extents(cr, toUtf8(t).c_str(), &e);
        return e.x_advance;
    }

    void footer() {
        const Text n = fromUtf8("- " + std::to_string(pages) + " -");
        text((kPageW - textWidth(8, n)) / 2, kPageH - kMarginBottom / 2, 8, n, {0.3, 0.3, 0.3});
    }

    void newPage() {
        cairo_show_page(cr);
        ++pages;
        y = kMarginTop;
        footer();
    }

    void glyphs(const op::Glyphs& g) {
        const double h = 16.0 * g.sy;
        cairo_set_font_face(cr, face);
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, h * g.sx / g.sy, h);
        cairo_set_font_matrix(cr, &m);
        cairo_font_extents_t fe;
        cairo_font_extents(cr, &fe);
        // The glyph hangs from the font's ascent at the top of its cell, as on screen.
        const double baseline = g.y + fe.ascent;
        const std::string utf8 = toUtf8(g.text);
        cairo_glyph_t* gl = nullptr;
        int count = 0;
        cairo_text_cluster_t* clusters = nullptr;
        int clusterCount = 0;
        cairo_text_cluster_flags_t flags{};
        cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
        if (cairo_scaled_font_text_to_glyphs(font, g.x, baseline, utf8.data(), static_cast<int>(utf8.size()),
                                             &gl, &count, &clusters, &clusterCount,
                                             &flags) != CAIRO_STATUS_SUCCESS)
            return;
        // Every character sits in its own cell, whatever the font's advance.
        if (count == static_cast<int>(g.text.size())) {
            double pen = g.x;
            for (int i = 0; i < count; ++i) {
                gl[i].x = pen;
                gl[i].y = baseline;
                pen += 8.0 * (isFullWidth(g.text[static_cast<size_t>(i)]) ? 2 : 1) * g.sx;
            }
        }
        setColour(cr, inkOf(g.c));
        cairo_show_text_glyphs(cr, utf8.data(), static_cast<int>(utf8.size()), gl, count, clusters,
                               clusterCount, flags);
        cairo_glyph_free(gl);
        cairo_text_cluster_free(clusters);
    }

    void paint(const DrawOp& o, double lineWidth) {
        std::visit(
            [&](const auto& v) {
                using O = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<O, op::Fill>) {
                    // The background is the paper itself.
                } else if constexpr (std::is_same_v<O, op::Rect>) {
                    setColour(cr, tintOf(v.c));
                    const int xa = std::min(v.x1, v.x2), ya = std::min(v.y1, v.y2);
                    cairo_rectangle(cr, xa, ya, std::abs(v.x2 - v.x1) + 1, std::abs(v.y2 - v.y1) + 1);
                    cairo_fill(cr);
                } else if constexpr (std::is_same_v<O, op::Box>) {
                    setColour(cr, v.c == 0 ? Ink{1, 1, 1} : inkOf(v.c));
                    cairo_set_line_width(cr, lineWidth);
                    const int xa = std::min(v.x1, v.x2), ya = std::min(v.y1, v.y2);
                    cairo_rectangle(cr, xa + 0.5, ya + 0.5, std::abs(v.x2 - v.x1), std::abs(v.y2 - v.y1));
                    cairo_stroke(cr);
                } else if constexpr (std::is_same_v<O, op::Line>) {
                    setColour(cr, v.c == 0 ? Ink{1, 1, 1} : inkOf(v.c));
                    cairo_set_line_width(cr, lineWidth);
                    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
                    cairo_move_to(cr, v.x1 + 0.5, v.y1 + 0.5);
                    cairo_line_to(cr, v.x2 + 0.5, v.y2 + 0.5);
                    cairo_stroke(cr);
                } else if constexpr (std::is_same_v<O, op::Circle>) {
                    setColour(cr, v.c == 0 ? Ink{1, 1, 1} : inkOf(v.c));
                    cairo_new_sub_path(cr);
                    cairo_arc(cr, std::round(v.cx) + 0.5, std::round(v.cy) + 0.5, v.r, 0, 2 * M_PI);
                    if (v.disc) {
                        cairo_fill(cr);
                    } else {
                        cairo_set_line_width(cr, lineWidth);
                        cairo_stroke(cr);
                    }
                } else if (v.c == 0) {
                    // Text in the background colour shows nothing on paper.
                } else {
                    glyphs(v);
                }
            },
            o);
    }
};

PageDocument::PageDocument(const std::string& path, const std::string& fontFile, const Text& title,
                           const std::string& created)
    : impl_(std::make_unique<Impl>()) {
    Impl& d = *impl_;
    d.path = path;
    if (!cairoLoaded())
        throw std::runtime_error("cannot write " + path +
                                 ": the cairo library libcairo.so.2 cannot be loaded (install libcairo2)");
    d.surface = cairo_pdf_surface_create(path.c_str(), kPageW, kPageH);
    if (cairo_surface_status(d.surface) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path + ": " +
                                 cairo_status_to_string(cairo_surface_status(d.surface)));
    cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_TITLE, toUtf8(title).c_str());
    cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_CREATE_DATE, created.c_str());
    cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_MOD_DATE, created.c_str());
    // cairo opens the very file the screen draws with.
    const std::string file = fontFile.empty() ? findDefaultFont() : fontFile;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
    FcPatternAddInteger(pattern, FC_INDEX, 0);
    d.face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    d.cr = cairo_create(d.surface);
    if (cairo_font_face_status(d.face) != CAIRO_STATUS_SUCCESS || cairo_status(d.cr) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot use the font " + file + " on the page");
    d.footer();
}

PageDocument::~PageDocument() = default;

int PageDocument::pages() const { return impl_->pages; }

void PageDocument::heading(const Text& title, const Text& date, const std::vector<Text>& notes) {
    Impl& d = *impl_;
    const Ink black{0, 0, 0};
    d.text(kMarginX, d.y + 16, 16, title, black);
    d.text(kPageW - kMarginX - d.textWidth(10, date), d.y + 16, 10, date, black);
    d.y += 34;
    // The fields a pupil fills in, each a label after a line to write on.
    const struct {
        const char32_t* label;
        double line;
    } fields[] = {{U"組", 50}, {U"番", 50}, {U"名前", 200}};
    double x = kPageW - kMarginX;
    for (auto it = std::rbegin(fields); it != std::rend(fields); ++it)
        x -= it->line + d.textWidth(11, it->label) + 8;
    cairo_set_line_width(d.cr, 0.6);
    for (const auto& f : fields) {
        setColour(d.cr, black);
        cairo_move_to(d.cr, x, d.y + 14);
        cairo_line_to(d.cr, x + f.line, d.y + 14);
        cairo_stroke(d.cr);
        x += f.line + 2;
        d.text(x, d.y + 12, 11, f.label, black);
        x += d.textWidth(11, f.label) + 6;
    }
    d.y += 26;
    for (const Text& note : notes) {
        d.text(kMarginX, d.y + 9, 9, note, black);
        d.y += 12;
    }
    cairo_move_to(d.cr, kMarginX, d.y + 4);
    cairo_line_to(d.cr, kPageW - kMarginX, d.y + 4);
    cairo_stroke(d.cr);
    d.y += 14;
}

void PageDocument::section(const Text& title) {
    Impl& d = *impl_;
    d.newPage();
    d.text(kMarginX, d.y + 14, 14, title, {0, 0, 0});
    d.y += 28;
}

void PageDocument::place(const Text& label, const std::vector<DrawOp>& ops, double room) {
    Impl& d = *impl_;
    const Bounds b = visibleBounds(ops);
    const double w = b.x2 < b.x1 ? 1 : b.x2 - b.x1 + 1, h = b.y2 < b.y1 ? 1 : b.y2 - b.y1 + 1;
    const double above = kLabelSize + kLabelGap, bottom = kPageH - kMarginBottom;
    // Never wider than the column, never taller than a whole page.
    double scale = std::min({kMaxScale, kColumnW / w, (bottom - kMarginTop - above - room) / h});
    if (d.y + above + h * scale + room > bottom) d.newPage();
    d.text(kMarginX, d.y + kLabelSize, kLabelSize, label, {0.25, 0.25, 0.25});
    d.y += above;
    if (b.x2 >= b.x1) {
        cairo_save(d.cr);
        cairo_rectangle(d.cr, kMarginX, d.y, w * scale, h * scale);
        cairo_clip(d.cr);
        cairo_translate(d.cr, kMarginX, d.y);
        cairo_scale(d.cr, scale, scale);
        cairo_translate(d.cr, -b.x1, -b.y1);
        // Lines keep a printable weight however small the drawing is scaled.
        const double lineWidth = std::max(1.0, 0.5 / scale);
        for (const DrawOp& o : ops) d.paint(o, lineWidth);
        cairo_restore(d.cr);
    }
    d.y += h * scale + room + kItemGap;
}

void PageDocument::finish() {
    Impl& d = *impl_;
    cairo_destroy(d.cr);
    d.cr = nullptr;
    cairo_surface_finish(d.surface);
    const cairo_status_t status = cairo_surface_status(d.surface);
    cairo_surface_destroy(d.surface);
    d.surface = nullptr;
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + d.path + ": " + cairo_status_to_string(status));
}

}  // namespace rt

#endif

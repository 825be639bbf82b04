// cairo is loaded when the first printed sheet is made, not at every start: it brings pixman,
// libpng and X rendering libraries whose loading costs each program over half a millisecond
// before its first screen, for sheets a teacher prints now and then. These are the functions the
// sheets call, each handing over to cairo's own; a sheet asks cairoLoaded() before it calls any.
#ifndef __EMSCRIPTEN__

#include "runtime/cairo_loader.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <iterator>

#include "runtime/late_library.h"

// Each function as F(result, name, parameters, arguments).
// clang-format off
#define DRILLS_CAIRO_FUNCTIONS(F) \
    F(void, cairo_arc, (cairo_t* cr, double xc, double yc, double radius, double angle1, double angle2), (cr, xc, yc, radius, angle1, angle2)) \
    F(void, cairo_clip, (cairo_t* cr), (cr)) \
    F(cairo_t*, cairo_create, (cairo_surface_t* target), (target)) \
    F(void, cairo_destroy, (cairo_t* cr), (cr)) \
    F(void, cairo_fill, (cairo_t* cr), (cr)) \
    F(void, cairo_font_extents, (cairo_t* cr, cairo_font_extents_t* extents), (cr, extents)) \
    F(void, cairo_font_face_destroy, (cairo_font_face_t* font_face), (font_face)) \
    F(cairo_status_t, cairo_font_face_status, (cairo_font_face_t* font_face), (font_face)) \
    F(cairo_font_face_t*, cairo_ft_font_face_create_for_pattern, (FcPattern* pattern), (pattern)) \
    F(cairo_scaled_font_t*, cairo_get_scaled_font, (cairo_t* cr), (cr)) \
    F(void, cairo_glyph_free, (cairo_glyph_t* glyphs), (glyphs)) \
    F(void, cairo_line_to, (cairo_t* cr, double x, double y), (cr, x, y)) \
    F(void, cairo_matrix_init_scale, (cairo_matrix_t* matrix, double sx, double sy), (matrix, sx, sy)) \
    F(void, cairo_move_to, (cairo_t* cr, double x, double y), (cr, x, y)) \
    F(void, cairo_new_sub_path, (cairo_t* cr), (cr)) \
    F(cairo_surface_t*, cairo_pdf_surface_create, (const char* filename, double width_in_points, double height_in_points), (filename, width_in_points, height_in_points)) \
    F(void, cairo_pdf_surface_set_metadata, (cairo_surface_t* surface, cairo_pdf_metadata_t metadata, const char* utf8), (surface, metadata, utf8)) \
    F(void, cairo_rectangle, (cairo_t* cr, double x, double y, double width, double height), (cr, x, y, width, height)) \
    F(void, cairo_restore, (cairo_t* cr), (cr)) \
    F(void, cairo_save, (cairo_t* cr), (cr)) \
    F(void, cairo_scale, (cairo_t* cr, double sx, double sy), (cr, sx, sy)) \
    F(cairo_status_t, cairo_scaled_font_text_to_glyphs, (cairo_scaled_font_t* scaled_font, double x, double y, const char* utf8, int utf8_len, cairo_glyph_t** glyphs, int* num_glyphs, cairo_text_cluster_t** clusters, int* num_clusters, cairo_text_cluster_flags_t* cluster_flags), (scaled_font, x, y, utf8, utf8_len, glyphs, num_glyphs, clusters, num_clusters, cluster_flags)) \
    F(void, cairo_set_font_face, (cairo_t* cr, cairo_font_face_t* font_face), (cr, font_face)) \
    F(void, cairo_set_font_matrix, (cairo_t* cr, const cairo_matrix_t* matrix), (cr, matrix)) \
    F(void, cairo_set_font_size, (cairo_t* cr, double size), (cr, size)) \
    F(void, cairo_set_line_cap, (cairo_t* cr, cairo_line_cap_t line_cap), (cr, line_cap)) \
    F(void, cairo_set_line_width, (cairo_t* cr, double width), (cr, width)) \
    F(void, cairo_set_source_rgb, (cairo_t* cr, double red, double green, double blue), (cr, red, green, blue)) \
    F(void, cairo_show_page, (cairo_t* cr), (cr)) \
    F(void, cairo_show_text, (cairo_t* cr, const char* utf8), (cr, utf8)) \
    F(void, cairo_show_text_glyphs, (cairo_t* cr, const char* utf8, int utf8_len, const cairo_glyph_t* glyphs, int num_glyphs, const cairo_text_cluster_t* clusters, int num_clusters, cairo_text_cluster_flags_t cluster_flags), (cr, utf8, utf8_len, glyphs, num_glyphs, clusters, num_clusters, cluster_flags)) \
    F(cairo_status_t, cairo_status, (cairo_t* cr), (cr)) \
    F(const char*, cairo_status_to_string, (cairo_status_t status), (status)) \
    F(void, cairo_stroke, (cairo_t* cr), (cr)) \
    F(void, cairo_surface_destroy, (cairo_surface_t* surface), (surface)) \
    F(void, cairo_surface_finish, (cairo_surface_t* surface), (surface)) \
    F(cairo_status_t, cairo_surface_status, (cairo_surface_t* surface), (surface)) \
    F(void, cairo_text_cluster_free, (cairo_text_cluster_t* clusters), (clusters)) \
    F(void, cairo_text_extents, (cairo_t* cr, const char* utf8, cairo_text_extents_t* extents), (cr, utf8, extents)) \
    F(void, cairo_translate, (cairo_t* cr, double tx, double ty), (cr, tx, ty))
// clang-format on

namespace {

constexpr char kCairo[] = "libcairo.so.2";

template <class F>
F* find(const char* name) {
    return rt::LateFunction<kCairo, F>(name);
}

#define DRILLS_CAIRO_NAME(result, name, parameters, arguments) #name,
constexpr const char* kNames[] = {DRILLS_CAIRO_FUNCTIONS(DRILLS_CAIRO_NAME)};

}  // namespace

namespace rt {

bool cairoLoaded() {
    static const bool loaded = std::all_of(std::begin(kNames), std::end(kNames),
                                           [](const char* name) { return find<void()>(name) != nullptr; });
    return loaded;
}

}  // namespace rt

#define DRILLS_CAIRO_FORWARD(result, name, parameters, arguments) \
    extern "C" result name parameters {                           \
        static auto* const f = find<decltype(name)>(#name);       \
        return f arguments;                                       \
    }
DRILLS_CAIRO_FUNCTIONS(DRILLS_CAIRO_FORWARD)

#endif

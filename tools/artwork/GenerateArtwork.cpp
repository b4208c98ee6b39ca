// Draws the editor's eleven panel images with cairo and stores them scrambled, the
// way the library keeps its image resources.
//
//   quorvane-artwork [--2x] OUTPUT_DIR [PLAIN_PNG_DIR]
//
// With --2x it draws them at twice the resolution (files named *_2x.zvb) for screens
// of twice the density.
// The control positions are the panel's layout (editor/PanelLayout.h); the sizes chosen
// here decide the controls' rectangles (filmstrip width x height / sub-images).
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "gui/ResourceStream.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

constexpr Rgb kLabel{0.80, 0.81, 0.83};
constexpr Rgb kDimLabel{0.45, 0.46, 0.49};
constexpr Rgb kAmber{1.00, 0.64, 0.16};
constexpr const char* kFace = "Liberation Sans";

constexpr int kPanelWidth = panel::kBackgroundWidth;
constexpr int kPanelHeight = panel::kBackgroundHeight;
constexpr double kSectionEdge = 508.5;  // filter section | envelope section

// A control's place on the panel and its resource's file name (id first).
CPos at(std::int32_t tag) { return panel::control(tag).topLeft; }
std::string fileOf(std::int32_t tag, const char* name) { return std::to_string(panel::control(tag).image) + "_" + name; }

struct KnobArt {
    std::int32_t tag;
    const char* file;
    const char* label;
    int size;
    bool labelInStrip;  // past the background's right edge: the label travels with the strip
};

const KnobArt kKnobs[] = {
    {kCutoff, "cutoff_knob", "Cutoff", 94, false},      {kResonance, "resonance_knob", "Reso", 80, false},
    {kEnvAmount, "env_amount_knob", "Env Amt", 70, false}, {kEnvAttack, "attack_knob", "Attack", 62, false},
    {kEnvRelease, "release_knob", "Release", 56, true},  {kInTrim, "in_trim_knob", "In Trim", 54, false},
    {kOutSat, "out_sat_knob", "Out Sat", 56, false},
};
constexpr int kLabelGap = 12;  // knob bottom to label baseline
constexpr int kKnobFrames = panel::control(kCutoff).subImages;

constexpr int kStagesWidth = 176, kStagesHeight = 48, kStagesFrames = panel::control(kStages).subImages;
constexpr int kModeWidth = 56, kModeHeight = 52, kModeFrames = panel::control(kMode).subImages;
constexpr int kSplashWidth = 400, kSplashHeight = 140;

// The pictures at 2 are the same drawing at twice the resolution: every size and
// position below stays in panel units and cairo scales the whole drawing.
double scale = 1.0;

cairo_surface_t* canvasSurface(cairo_format_t format, int width, int height) {
    return cairo_image_surface_create(format, int(width * scale), int(height * scale));
}

cairo_t* canvasContext(cairo_surface_t* surface) {
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    return cr;
}

void setColor(cairo_t* cr, Rgb c, double a = 1.0) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void font(cairo_t* cr, double size, bool bold = true) {
    cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

// Text centred on cx with its baseline at y; letter spacing in pixels.
void centredText(cairo_t* cr, const char* text, double cx, double y, double spacing = 0) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    if (spacing == 0) {  // whole runs keep multi-byte characters together
        cairo_move_to(cr, std::round(cx - e.x_advance / 2), y);
        cairo_show_text(cr, text);
        return;
    }
    const double width = e.x_advance + spacing * (std::string(text).size() - 1);
    double x = cx - width / 2;
    for (const char* c = text; *c; ++c) {
        const char one[2] = {*c, 0};
        cairo_move_to(cr, std::round(x), y);
        cairo_show_text(cr, one);
        cairo_text_extents(cr, one, &e);
        x += e.x_advance + spacing;
    }
}

// The panel's label style: light grey with a dark engraving shadow below.
void label(cairo_t* cr, const char* text, double cx, double baseline) {
    font(cr, 11);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    centredText(cr, text, cx, baseline + 1, 0.4);
    setColor(cr, kLabel);
    centredText(cr, text, cx, baseline, 0.4);
}

// A soft shadow from stacked translucent discs.
void discShadow(cairo_t* cr, double cx, double cy, double r, double strength) {
    for (int i = 8; i >= 1; --i) {
        cairo_arc(cr, cx, cy, r + i * 0.7, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 0, 0, 0, strength / 8);
        cairo_fill(cr);
    }
}

// ---- knobs --------------------------------------------------------------------------

// value 0 at lower left (225 degrees), 1 at lower right (-45), clockwise over the top.
double knobAngle(double value) { return (225.0 - 270.0 * value) * kPi / 180.0; }

void drawKnob(cairo_t* cr, double size, double value) {
    const double c = size / 2;
    const double bodyR = size * 0.335, arcR = size * 0.425, tickIn = size * 0.455, tickOut = size * 0.49;
    const double lw = std::max(1.0, size / 40.0);

    // Scale: eleven ticks, the ends and centre longer.
    for (int i = 0; i <= 10; ++i) {
        const double a = knobAngle(i / 10.0);
        const double inner = (i % 5 == 0) ? tickIn - size * 0.02 : tickIn;
        cairo_move_to(cr, c + std::cos(a) * inner, c - std::sin(a) * inner);
        cairo_line_to(cr, c + std::cos(a) * tickOut, c - std::sin(a) * tickOut);
        setColor(cr, kDimLabel);
        cairo_set_line_width(cr, lw);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }

    // Value track and the lit arc from the minimum to the value, with a glow.
    const double start = -knobAngle(0.0), end = -knobAngle(1.0) + 2 * kPi;  // cairo angles run clockwise
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_arc(cr, c, c, arcR, start, end);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_set_line_width(cr, size * 0.045);
    cairo_stroke(cr);
    if (value > 0.001) {
        const double now = start + 270.0 * value * kPi / 180.0;
        cairo_arc(cr, c, c, arcR, start, now);
        setColor(cr, kAmber, 0.25);
        cairo_set_line_width(cr, size * 0.085);
        cairo_stroke(cr);
        cairo_arc(cr, c, c, arcR, start, now);
        setColor(cr, kAmber);
        cairo_set_line_width(cr, size * 0.035);
        cairo_stroke(cr);
    }

    // Body: drop shadow, knurled skirt, then the cap lit from the upper left.
    discShadow(cr, c + size * 0.02, c + size * 0.04, bodyR, 0.35);
    cairo_pattern_t* skirt = cairo_pattern_create_linear(c - bodyR, c - bodyR, c + bodyR, c + bodyR);
    cairo_pattern_add_color_stop_rgb(skirt, 0, 0.36, 0.37, 0.40);
    cairo_pattern_add_color_stop_rgb(skirt, 1, 0.06, 0.06, 0.07);
    cairo_arc(cr, c, c, bodyR, 0, 2 * kPi);
    cairo_set_source(cr, skirt);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    // Knurling turns with the knob.
    const int ridges = int(bodyR * 1.6);
    const double turn = knobAngle(value);
    for (int i = 0; i < ridges; ++i) {
        const double a = turn + 2 * kPi * i / ridges;
        cairo_move_to(cr, c + std::cos(a) * bodyR * 0.86, c - std::sin(a) * bodyR * 0.86);
        cairo_line_to(cr, c + std::cos(a) * bodyR * 0.99, c - std::sin(a) * bodyR * 0.99);
    }
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_set_line_width(cr, std::max(0.6, size / 110.0));
    cairo_stroke(cr);

    const double capR = bodyR * 0.82;
    cairo_pattern_t* cap = cairo_pattern_create_radial(c - capR * 0.45, c - capR * 0.55, capR * 0.1, c, c, capR * 1.05);
    cairo_pattern_add_color_stop_rgb(cap, 0, 0.34, 0.35, 0.38);
    cairo_pattern_add_color_stop_rgb(cap, 0.6, 0.17, 0.18, 0.20);
    cairo_pattern_add_color_stop_rgb(cap, 1, 0.10, 0.10, 0.11);
    cairo_arc(cr, c, c, capR, 0, 2 * kPi);
    cairo_set_source(cr, cap);
    cairo_fill(cr);
    cairo_pattern_destroy(cap);
    // Rim light: bright at the upper left, gone at the lower right.
    cairo_pattern_t* rim = cairo_pattern_create_linear(c - capR, c - capR, c + capR, c + capR);
    cairo_pattern_add_color_stop_rgba(rim, 0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(rim, 0.5, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(rim, 1, 0, 0, 0, 0.5);
    cairo_arc(cr, c, c, capR - 0.5, 0, 2 * kPi);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    // Pointer line.
    const double a = knobAngle(value);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, c + std::cos(a) * capR * 0.30, c - std::sin(a) * capR * 0.30);
    cairo_line_to(cr, c + std::cos(a) * capR * 0.86, c - std::sin(a) * capR * 0.86);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_set_line_width(cr, std::max(2.0, size * 0.05));
    cairo_stroke(cr);
    cairo_move_to(cr, c + std::cos(a) * capR * 0.30, c - std::sin(a) * capR * 0.30);
    cairo_line_to(cr, c + std::cos(a) * capR * 0.86, c - std::sin(a) * capR * 0.86);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.93);
    cairo_set_line_width(cr, std::max(1.4, size * 0.028));
    cairo_stroke(cr);
}

cairo_surface_t* knobStrip(const KnobArt& knob) {
    const int frameHeight = knob.size + (knob.labelInStrip ? kLabelGap + 4 : 0);
    cairo_surface_t* s = canvasSurface(CAIRO_FORMAT_ARGB32, knob.size, frameHeight * kKnobFrames);
    cairo_t* cr = canvasContext(s);
    for (int i = 0; i < kKnobFrames; ++i) {
        cairo_save(cr);
        cairo_translate(cr, 0, i * frameHeight);
        drawKnob(cr, knob.size, i / 100.0);
        if (knob.labelInStrip) label(cr, knob.label, knob.size / 2.0, knob.size + kLabelGap);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

// ---- switches -----------------------------------------------------------------------

void led(cairo_t* cr, double x, double y, double w, double h, bool lit) {
    roundedRect(cr, x - 1, y - 1, w + 2, h + 2, 2.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_fill(cr);
    if (lit) {
        roundedRect(cr, x - 2.5, y - 2.5, w + 5, h + 5, 4);
        setColor(cr, kAmber, 0.18);
        cairo_fill(cr);
    }
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    if (lit) {
        cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.85, 0.55);
        cairo_pattern_add_color_stop_rgb(p, 1, kAmber.r, kAmber.g * 0.85, kAmber.b);
    } else {
        cairo_pattern_add_color_stop_rgb(p, 0, 0.20, 0.17, 0.13);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.13, 0.11, 0.09);
    }
    roundedRect(cr, x, y, w, h, 1.8);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void thumb(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x + 0.5, y + 1.5, w, h, 2.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w * 0.3, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.52, 0.53, 0.56);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.20, 0.21, 0.23);
    roundedRect(cr, x, y, w, h, 2.5);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Grip lines across the thumb.
    const bool tall = h > w;
    for (int i = -1; i <= 1; ++i) {
        if (tall) {
            cairo_move_to(cr, x + 3, std::round(y + h / 2 + i * 3) + 0.5);
            cairo_line_to(cr, x + w - 3, std::round(y + h / 2 + i * 3) + 0.5);
        } else {
            cairo_move_to(cr, std::round(x + w / 2 + i * 3) + 0.5, y + 3);
            cairo_line_to(cr, std::round(x + w / 2 + i * 3) + 0.5, y + h - 3);
        }
    }
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void slot(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x, y, w, h, std::min(w, h) / 2);
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.04);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// The stage count the filter runs for stages switch position p (value p / 100).
int stagesAt(int position) {
    const float value = float(position) / 100.0f;
    return int(double(value) * double(3.999f) + 1.0);
}

cairo_surface_t* stagesStrip() {
    cairo_surface_t* s = canvasSurface(CAIRO_FORMAT_ARGB32, kStagesWidth, kStagesHeight * kStagesFrames);
    cairo_t* cr = canvasContext(s);
    const double segment = kStagesWidth / 4.0;
    for (int p = 0; p < kStagesFrames; ++p) {
        cairo_save(cr);
        cairo_translate(cr, 0, p * kStagesHeight);
        const int stages = stagesAt(p);
        for (int i = 0; i < 4; ++i) led(cr, i * segment + 6, 5, segment - 12, 8, i < stages);
        slot(cr, 4, 21, kStagesWidth - 8, 6);
        const double band = double(kStagesWidth) / kStagesFrames;
        const double cx = (p + 0.5) * band;
        thumb(cr, std::clamp(cx - 9, 1.0, kStagesWidth - 19.0), 17, 18, 14);
        font(cr, 10);
        static const char* slopes[] = {"6", "12", "18", "24"};
        for (int i = 0; i < 4; ++i) {
            setColor(cr, i + 1 == stages ? kAmber : kDimLabel);
            centredText(cr, slopes[i], (i + 0.5) * segment, 44);
        }
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* modeStrip() {
    cairo_surface_t* s = canvasSurface(CAIRO_FORMAT_ARGB32, kModeWidth, kModeHeight * kModeFrames);
    cairo_t* cr = canvasContext(s);
    for (int p = 0; p < kModeFrames; ++p) {
        cairo_save(cr);
        cairo_translate(cr, 0, p * kModeHeight);
        const bool highPass = p <= 10;  // the top band is high-pass
        slot(cr, 9, 4, 8, kModeHeight - 8);
        const double travel = kModeHeight - 8 - 20;
        thumb(cr, 4, 4 + travel * p / (kModeFrames - 1), 18, 20);
        font(cr, 10);
        const double tx = 39;
        led(cr, tx - 13, 12, 5, 5, highPass);
        led(cr, tx - 13, 36, 5, 5, !highPass);
        setColor(cr, highPass ? kAmber : kDimLabel);
        centredText(cr, "HPF", tx + 5, 18.5);
        setColor(cr, highPass ? kDimLabel : kAmber);
        centredText(cr, "LPF", tx + 5, 42.5);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

// ---- background and splash ----------------------------------------------------------

void screw(cairo_t* cr, double x, double y) {
    discShadow(cr, x + 0.5, y + 1, 4, 0.3);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - 1.5, y - 1.5, 0.5, x, y, 4.5);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.62, 0.63, 0.66);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.22, 0.23, 0.25);
    cairo_arc(cr, x, y, 4, 0, 2 * kPi);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_move_to(cr, x - 2.6, y + 1.2);
    cairo_line_to(cr, x + 2.6, y - 1.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_set_line_width(cr, 1.1);
    cairo_stroke(cr);
}

// The filter response with its resonant peak, for the emblem and the splash.
void responseCurve(cairo_t* cr, double x, double y, double w, double h) {
    for (int i = 0; i <= 100; ++i) {
        const double t = i / 100.0;
        const double f = t / 0.62;
        const double peak = 1.0 / std::sqrt(std::pow(1 - f * f, 2) + std::pow(f / 4.0, 2));
        const double mag = std::min(peak, 4.2) / 4.2;
        const double px = x + t * w, py = y + h - mag * h;
        if (i == 0) cairo_move_to(cr, px, py);
        else cairo_line_to(cr, px, py);
    }
}

cairo_surface_t* background() {
    cairo_surface_t* s = canvasSurface(CAIRO_FORMAT_RGB24, kPanelWidth, kPanelHeight);
    cairo_t* cr = canvasContext(s);

    // Filter section: graphite with a fine horizontal brush.
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, kPanelHeight);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.205, 0.215, 0.235);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.120, 0.125, 0.140);
    cairo_rectangle(cr, 0, 0, kSectionEdge, kPanelHeight);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    unsigned seed = 12345;
    for (int y = 0; y < kPanelHeight; ++y) {
        seed = seed * 1103515245u + 12345u;
        const double shade = ((seed >> 16) % 1000) / 1000.0;
        cairo_rectangle(cr, 0, y, kSectionEdge, 1);
        cairo_set_source_rgba(cr, shade > 0.5 ? 1 : 0, shade > 0.5 ? 1 : 0, shade > 0.5 ? 1 : 0, 0.018 + 0.02 * std::fabs(shade - 0.5));
        cairo_fill(cr);
    }
    // Top light edge and bottom shade of the plate.
    cairo_rectangle(cr, 0, 0, kSectionEdge, 1);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.16);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, kPanelHeight - 1, kSectionEdge, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);

    // Envelope section: black glass, pure black at the right edge where the window
    // continues in black past the background.
    cairo_pattern_t* glass = cairo_pattern_create_linear(kSectionEdge, 0, kPanelWidth, 0);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.075, 0.078, 0.088);
    cairo_pattern_add_color_stop_rgb(glass, 0.55, 0.0, 0.0, 0.0);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.0, 0.0, 0.0);
    cairo_rectangle(cr, kSectionEdge, 0, kPanelWidth - kSectionEdge, kPanelHeight);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_move_to(cr, kSectionEdge - 1, 0);
    cairo_line_to(cr, kSectionEdge - 1, kPanelHeight);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_move_to(cr, kSectionEdge - 2, 0);
    cairo_line_to(cr, kSectionEdge - 2, kPanelHeight);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_stroke(cr);

    // Product name.
    font(cr, 22);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_move_to(cr, 17, 33);
    cairo_show_text(cr, "QUORVANE");
    setColor(cr, {0.90, 0.91, 0.92});
    cairo_move_to(cr, 16, 32);
    cairo_show_text(cr, "QUORVANE");
    cairo_text_extents_t e;
    cairo_text_extents(cr, "QUORVANE", &e);
    font(cr, 9);
    setColor(cr, kAmber);
    cairo_move_to(cr, 16 + e.x_advance + 8, 32);
    cairo_show_text(cr, "RESONANT FILTER");
    cairo_move_to(cr, 16, 40.5);
    cairo_line_to(cr, 16 + e.x_advance + 8 + 86, 40.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // Envelope section heading and the emblem that opens the splash.
    font(cr, 9);
    setColor(cr, kDimLabel);
    centredText(cr, "ENVELOPE FOLLOWER", 585, 24, 1.2);
    cairo_set_line_width(cr, 1.6);
    setColor(cr, kAmber);
    cairo_new_path(cr);
    const CPos splash = at(panel::kSplashTag);
    cairo_arc(cr, splash.x + 57, splash.y + 13, 8, 0, 2 * kPi);
    cairo_stroke(cr);
    responseCurve(cr, splash.x + 50, splash.y + 8, 14, 9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);

    // Labels under the knobs; the one past the right edge is in its filmstrip.
    for (const KnobArt& knob : kKnobs)
        if (!knob.labelInStrip)
            label(cr, knob.label, at(knob.tag).x + knob.size / 2.0, at(knob.tag).y + knob.size + kLabelGap);
    const CPos stages = at(kStages), mode = at(kMode);
    label(cr, "Stages", stages.x + kStagesWidth / 2.0, stages.y - 6);
    label(cr, "LPF/HPF", mode.x + kModeWidth / 2.0, mode.y - 7);
    font(cr, 8, false);
    setColor(cr, kDimLabel);
    cairo_move_to(cr, stages.x + kStagesWidth - 34, stages.y - 6);
    cairo_show_text(cr, "dB/oct");

    // Recessed bezel around the cutoff readout.
    const CBounds& readout = panel::kReadout;
    roundedRect(cr, readout.left - 3.5, readout.top - 3.5, readout.width() + 7, 20, 3);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    screw(cr, 10, 196);
    screw(cr, 496, 12);
    screw(cr, 496, 200);
    cairo_destroy(cr);
    return s;
}

cairo_surface_t* splash() {
    cairo_surface_t* s = canvasSurface(CAIRO_FORMAT_ARGB32, kSplashWidth, kSplashHeight);
    cairo_t* cr = canvasContext(s);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, kSplashHeight);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.14, 0.145, 0.16);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.03, 0.035);
    roundedRect(cr, 0.5, 0.5, kSplashWidth - 1, kSplashHeight - 1, 8);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    setColor(cr, kAmber, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // Response curve across the card, with a glow.
    responseCurve(cr, 24, 58, kSplashWidth - 48, 38);
    setColor(cr, kAmber, 0.2);
    cairo_set_line_width(cr, 6);
    cairo_stroke_preserve(cr);
    setColor(cr, kAmber);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);

    font(cr, 34);
    setColor(cr, {0.93, 0.94, 0.95});
    centredText(cr, "QUORVANE", kSplashWidth / 2.0, 46, 3);
    font(cr, 11, false);
    setColor(cr, kLabel);
    centredText(cr, "Resonant Filter  \xc2\xb7  Version 0.6", kSplashWidth / 2.0, 112);
    font(cr, 9, false);
    setColor(cr, kDimLabel);
    centredText(cr, "1 to 4 stages  \xc2\xb7  6 to 24 dB/oct  \xc2\xb7  envelope follower", kSplashWidth / 2.0, 125);
    centredText(cr, "Click to close", kSplashWidth / 2.0, 135);
    cairo_destroy(cr);
    return s;
}

// ---- output -------------------------------------------------------------------------

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::vector<unsigned char>*>(closure)->insert(static_cast<std::vector<unsigned char>*>(closure)->end(),
                                                              data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool store(cairo_surface_t* surface, const std::string& name, const std::string& dir, const std::string& plainDir) {
    cairo_surface_flush(surface);
    std::vector<unsigned char> png;
    const bool encoded = cairo_surface_write_to_png_stream(surface, appendBytes, &png) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!encoded) return false;
    const std::string stem = name + (scale == 2.0 ? "_2x" : "");
    if (!plainDir.empty() && !writeFile(plainDir + "/" + stem + ".png", png)) return false;
    for (unsigned char& b : png) b = ResourceStream::unscramble(b);  // the rule is its own inverse
    std::printf("%s.zvb: %zu bytes\n", stem.c_str(), png.size());
    return writeFile(dir + "/" + stem + ".zvb", png);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "--2x") {
        scale = 2.0;
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s [--2x] OUTPUT_DIR [PLAIN_PNG_DIR]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1], plain = argc > 2 ? argv[2] : "";
    bool ok = store(background(), std::to_string(panel::kBackgroundImage) + "_background", dir, plain);
    for (const KnobArt& knob : kKnobs) ok = store(knobStrip(knob), fileOf(knob.tag, knob.file), dir, plain) && ok;
    ok = store(stagesStrip(), fileOf(kStages, "stages_switch"), dir, plain) && ok;
    ok = store(modeStrip(), fileOf(kMode, "mode_switch"), dir, plain) && ok;
    ok = store(splash(), fileOf(panel::kSplashTag, "splash"), dir, plain) && ok;
    return ok ? 0 : 1;
}

// What a display window draws, as a list of drawing steps in the window's own user units:
// lines, joined traces, per-column envelopes of long traces, and texts. The models build it;
// the Qt painter maps user units to pixels and paints the steps in order. Colours are
// numbers of the 16-colour console palette (palette.h).
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace pqwave {

struct PicturePoint {
    double x = 0, y = 0;
};

enum class LineStyle { Solid = 0, Dash = 1, Dot = 2 };

struct PictureLine {
    PicturePoint from, to;
    int colour = 0;
    LineStyle style = LineStyle::Solid;
    int width = 1;  // pixels, whatever the scale
};

// A trace: the first point set on its own, every later one joined to the one before.
struct PicturePolyline {
    int colour = 0;
    std::vector<PicturePoint> points;
};

// A trace with more samples than pixel columns: column c covers x from x0 + c dx to
// x0 + (c + 1) dx and is filled from low[c] to high[c]. Each column includes the last
// sample of the one before, so the columns join as a line would.
struct PictureEnvelope {
    int colour = 0;
    double x0 = 0, dx = 0;
    std::vector<float> low, high;
};

// Text whose top left corner is at `at`.
struct PictureText {
    PicturePoint at;
    std::string text;
    int colour = 0;
    double height = 0;  // user units; 0: the picture's textHeight
};

using PictureItem = std::variant<PictureLine, PicturePolyline, PictureEnvelope, PictureText>;

struct Picture {
    // The user extent: x runs 0..width to the right, y 0..height downwards.
    double width = 1, height = 1;
    // True: one unit is as wide as it is high, and the extent is fitted into the pixels
    // without distortion; false: each axis is stretched to the pixels on its own.
    bool keepAspect = false;
    // Height of text in user units (the vector window's 9-point captions are 180 twips).
    double textHeight = 180;
    std::vector<PictureItem> items;

    template <typename T>
    std::vector<const T*> all() const {
        std::vector<const T*> found;
        for (const PictureItem& item : items)
            if (const T* t = std::get_if<T>(&item)) found.push_back(t);
        return found;
    }
};

}  // namespace pqwave

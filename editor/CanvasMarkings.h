// What the canvas draws over the picture: the octave grid with its
// frequency labels, the start and time markers with theirs, the two loop
// triangles. Each takes the canvas's origin in the context (the picture's
// pixel (0, 0)) and the parameter values it depends on (each 0..1).
#pragma once

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace editor {

// Colours of the markings, 0x00RRGGBB.
constexpr std::uint32_t kMarkerRed = 0xF02A28;    // the first grid line and the start marker
constexpr std::uint32_t kMarkerGreen = 0x50DC3C;  // the other grid lines and the time markers
constexpr std::uint32_t kLoopOutline = 0x000000;
constexpr std::uint32_t kLoopInside = 0x00FFFF;
constexpr std::uint32_t kLinePreview = 0x80FFFF;

// One line per octave, line i at bin 16 x 2^i of the rebuild's mapping of
// rows to bins, labelled A4=440, 880, ... for lines 0 to 7.
void drawOctaveGrid(gui::CDrawContext& context, gui::CPoint origin, const gui::CBitmap& labels,
                    float tune, float range, float log);

// The start marker at Start, and a time marker every Tempo x 512 columns
// after it, labelled 1 to 9 and 0, on to the right edge.
void drawTimeMarkers(gui::CDrawContext& context, gui::CPoint origin, const gui::CBitmap& labels,
                     float start, float tempo);

// Triangles on the bottom edge: at LoopIn pointing right, at LoopOut pointing left.
void drawLoopMarkers(gui::CDrawContext& context, gui::CPoint origin, float loopIn, float loopOut);

}  // namespace editor

// The spectral canvas: the current program's picture at full size, one
// screen pixel per picture pixel, with the octave grid, the start, time and
// loop markers, the preview of a line being drawn, the oscillator's wave
// display and the fading help overlay drawn over it; and the surface the
// user paints on (left button: the chosen colour; right button: black).
//
// It reports itself dirty at every idle pass, since the display, the fade
// and the preview move on their own; but it composes (and the frame shows)
// its pixels again only when something it draws from has changed.
//
// Threads: the editor's. The picture is copied under the oscillator's lock
// only when that lock is free, so drawing never waits for a rebuild.
#pragma once

#include <cstdint>

#include "editor/HelpFade.h"
#include "editor/Painting.h"
#include "gui/CKnob.h"
#include "gui/PixelSurface.h"
#include "modules/MoSpectrogram.h"

namespace editor {

class CMySpectrogram : public gui::CKnob {
  public:
    static constexpr int kSize = 512;

    CMySpectrogram(const gui::CRect& size, gui::CControlListener* listener, int tag,
                   gui::CBitmap* background, gui::CPoint offset, audio::MoSpectrogram& oscillator,
                   HelpFade& helpFade);

    void draw(gui::CDrawContext& context) override;
    bool isDirty() const override { return true; }
    bool isOpaque() const override { return true; }
    void setDirty(bool dirty = true) override;
    bool isTypeOf(const char* name) const override;

    // Painting, one gesture from the press to the release of the last of
    // the left and right buttons: every position the mouse reports (or a
    // change of the buttons) strokes once for each button held; the release
    // ends a line; the oscillator rebuilds once, at the end.
    gui::MouseResult onMouseDown(gui::CPoint where, int buttons) override;
    void onMouseMoved(gui::CPoint where, int buttons) override;
    void onMouseUp(gui::CPoint where, int buttons) override;

    const LinePreview& linePreview() const { return preview_; }

  protected:
    ~CMySpectrogram() override = default;

  private:
    // Everything the pixels of one redraw depend on.
    struct DrawnFrom {
        int program = -1;
        std::uint32_t revision = 0;
        float tune = 0, range = 0, log = 0, start = 0, tempo = 0, loopIn = 0, loopOut = 0;
        bool display = false;
        int helpLevel = 0;
        LinePreview preview;
        bool operator==(const DrawnFrom&) const = default;
    };

    void refreshPicture(int program);
    void paintAt(gui::CPoint where, int buttons);
    void strokeAt(gui::CPoint where, int buttons);
    void finishGesture(gui::CPoint where, int buttons);

    audio::MoSpectrogram& oscillator_;
    HelpFade& helpFade_;
    gui::SharedBitmap labels_;
    gui::SharedBitmap helpOverlay_;
    LinePreview preview_;
    Painter painter_;
    gui::CPoint lastPoint_;  // of the last gesture, too
    int pressButtons_ = 0;
    float density_ = 1.f;  // read once per gesture
    bool painting_ = false;
    gui::PixelBuffer picture_;
    int pictureProgram_ = -1;
    std::uint32_t pictureRevision_ = 0;
    DrawnFrom drawn_;
    bool drawnOnce_ = false;
};

}  // namespace editor

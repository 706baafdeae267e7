#include "editor/CMySpectrogram.h"

#include <cstring>

#include "editor/CanvasMarkings.h"
#include "resources/ResourceIds.h"

namespace editor {

CMySpectrogram::CMySpectrogram(const gui::CRect& size, gui::CControlListener* listener, int tag,
                               gui::CBitmap* background, gui::CPoint offset,
                               audio::MoSpectrogram& oscillator, HelpFade& helpFade)
    : CKnob(size, listener, tag, background, background, offset),
      oscillator_(oscillator),
      helpFade_(helpFade),
      labels_(new gui::CBitmap(LUMAVOX_RES_CANVAS_LABELS)),
      helpOverlay_(new gui::CBitmap(LUMAVOX_RES_HELP_OVERLAY)),
      painter_(oscillator),
      picture_(kSize, kSize) {}

// Whoever marks the canvas dirty (the frame after drawing over it) wants it
// composed again, even if nothing it draws from has changed.
void CMySpectrogram::setDirty(bool dirty) {
    CKnob::setDirty(dirty);
    if (dirty) drawnOnce_ = false;
}

void CMySpectrogram::refreshPicture(int program) {
    if (program == pictureProgram_ && oscillator_.pictureRevision() == pictureRevision_) return;
    std::uint32_t revision = 0;
    // Busy (a rebuild or an edit elsewhere): the copy waits for the next pass.
    if (oscillator_.tryCopyPicture(program, picture_.data(), revision)) {
        pictureProgram_ = program;
        pictureRevision_ = revision;
    }
}

void CMySpectrogram::draw(gui::CDrawContext& context) {
    using audio::read;
    const int program = oscillator_.currentProgram();
    refreshPicture(program);

    DrawnFrom now;
    now.program = pictureProgram_;
    now.revision = pictureRevision_;
    now.tune = read(oscillator_.tune);
    now.range = read(oscillator_.range);
    now.log = read(oscillator_.log);
    now.start = read(oscillator_.start);
    now.tempo = read(oscillator_.tempo);
    now.loopIn = read(oscillator_.loopIn);
    now.loopOut = read(oscillator_.loopOut);
    now.display = read(oscillator_.waveDisplay) != 0.f;
    now.helpLevel = helpFade_.step(read(oscillator_.help) != 0.f);
    now.preview = preview_;
    bool freshDisplay = false;
    const std::uint32_t* display = oscillator_.displayPicture(freshDisplay);
    CKnob::setDirty(false);
    if (drawnOnce_ && now == drawn_ && !(now.display && freshDisplay)) return;
    drawn_ = now;
    drawnOnce_ = true;

    const gui::CPoint origin{size_.left, size_.top};
    context.copy(picture_.surface(), size_, {});
    drawOctaveGrid(context, origin, *labels_, now.tune, now.range, now.log);
    drawTimeMarkers(context, origin, *labels_, now.start, now.tempo);
    drawLoopMarkers(context, origin, now.loopIn, now.loopOut);
    if (preview_.x0 >= 0 && preview_.x1 >= 0)
        context.drawLine({origin.h + preview_.x0, origin.v + preview_.y0},
                         {origin.h + preview_.x1, origin.v + preview_.y1}, kLinePreview);
    if (now.display) {
        const gui::PixelSurface surface{const_cast<std::uint32_t*>(display), kSize, kSize, kSize};
        context.blend(surface, size_, {});
    }
    if (now.helpLevel)
        helpOverlay_->drawAlphaBlend(context, size_, {}, static_cast<std::uint32_t>(now.helpLevel));
}

constexpr int kPaintButtons = gui::kLButton | gui::kRButton;

void CMySpectrogram::strokeAt(gui::CPoint where, int buttons) {
    painter_.stroke(where.h - size_.left, where.v - size_.top, buttons, density_, preview_);
}

void CMySpectrogram::paintAt(gui::CPoint where, int buttons) {
    if (where == lastPoint_ && buttons == pressButtons_) return;
    if (buttons & gui::kLButton) strokeAt(where, buttons);
    if (buttons & gui::kRButton) strokeAt(where, buttons);
    lastPoint_ = where;
}

void CMySpectrogram::finishGesture(gui::CPoint where, int buttons) {
    painting_ = false;
    if (pressButtons_ & kPaintButtons) strokeAt(where, buttons);  // ends a line
    oscillator_.rebuild();
}

gui::MouseResult CMySpectrogram::onMouseDown(gui::CPoint where, int buttons) {
    pressButtons_ = buttons;
    density_ = audio::read(oscillator_.density);
    painting_ = true;
    paintAt(where, buttons);
    if (!(buttons & kPaintButtons)) finishGesture(where, buttons);
    return painting_ ? gui::MouseResult::kCapture : gui::MouseResult::kHandled;
}

void CMySpectrogram::onMouseMoved(gui::CPoint where, int buttons) {
    if (!painting_) return;
    if (buttons & kPaintButtons)
        paintAt(where, buttons);
    else
        finishGesture(where, buttons);
}

void CMySpectrogram::onMouseUp(gui::CPoint where, int buttons) {
    if (painting_) finishGesture(where, buttons);
}

bool CMySpectrogram::isTypeOf(const char* name) const {
    return (name && std::strcmp(name, "CMySpectrogram") == 0) || CKnob::isTypeOf(name);
}

}  // namespace editor

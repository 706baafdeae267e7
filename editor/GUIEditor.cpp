#include "editor/GUIEditor.h"

#include <cstring>

#include "editor/CMyAnimKnob.h"
#include "editor/CMySpectrogram.h"
#include "editor/PictureCommands.h"
#include "gui/CKickButton.h"
#include "gui/COnOffButton.h"
#include "gui/CSwitch.h"
#include "gui/CTextEdit.h"
#include "gui/CVerticalSlider.h"
#include "resources/ResourceIds.h"
#include "synth/ParameterSteps.h"

namespace editor {
namespace {

constexpr float kDegreesToRadians = 3.1415927f / 180.f;

// The key modifiers of a host's key request, as the framework's button word.
int modifiersOfHost(float modifiers) {
    const int bits = static_cast<int>(modifiers);
    int word = 0;
    if (bits & 1) word |= gui::kShift;    // MODIFIER_SHIFT
    if (bits & 2) word |= gui::kAlt;      // MODIFIER_ALTERNATE
    if (bits & 8) word |= gui::kControl;  // MODIFIER_CONTROL
    return word;
}

}  // namespace

GUIEditor::GUIEditor(lumavox::Lumavox* instrument, int entryCount, synth::ParameterEntry* entries,
                     synth::SynthCore* synthCore)
    : AEffGUIEditor(instrument),
      instrument_(instrument),
      synthCore_(synthCore),
      entries_(entries),
      entryCount_(entryCount < ParameterHandOver::kCapacity ? entryCount
                                                            : ParameterHandOver::kCapacity) {
    for (int i = 0; i < entryCount_; ++i)
        entries_[i].control = nullptr;
    background_ = gui::SharedBitmap(new gui::CBitmap(LUMAVOX_RES_BACKGROUND));
    rect_.top = 0;
    rect_.left = 0;
    rect_.right = static_cast<VstInt16>(background_->getWidth());
    rect_.bottom = static_cast<VstInt16>(background_->getHeight());
}

GUIEditor::~GUIEditor() {
    // The instrument closes the window before it goes; this is for an editor
    // destroyed on its own.
    frame_.reset();
}

gui::CControl* GUIEditor::control(int index) const {
    if (index < 0 || index >= entryCount_ || !open_.load(std::memory_order_acquire)) return nullptr;
    return static_cast<gui::CControl*>(entries_[index].control);
}

bool GUIEditor::open(void* parentWindow) {
    // A host that opens twice gets one window, the new one.
    if (frame_) close();
    // A window needs a parent to be a child of.
    if (!parentWindow || !background_->isLoaded()) return false;
    auto frame = std::make_unique<gui::CFrame>(
        gui::CRect(0, 0, background_->getWidth(), background_->getHeight()), parentWindow,
        static_cast<gui::FrameIdler*>(this));
    if (!frame->isOpen()) return false;
    systemWindow = parentWindow;
    frame_ = std::move(frame);
    frame_->setBackground(background_.get());
    // From here on changes are recorded; what came before is read afresh.
    handOver_.clear();
    open_.store(true, std::memory_order_release);
    for (int i = 0; i < entryCount_; ++i)
        createControl(i);
    synthCore_->setEditorOpen(true);
    frame_->drawAll();
    return true;
}

void GUIEditor::close() {
    open_.store(false, std::memory_order_release);
    synthCore_->setEditorOpen(false);
    frame_.reset();
    for (int i = 0; i < entryCount_; ++i)
        entries_[i].control = nullptr;
    systemWindow = nullptr;
}

void GUIEditor::createControl(int index) {
    synth::ParameterEntry& entry = entries_[index];
    const synth::ParameterDefinition& d = entry.definition;
    const float value = synthCore_->getParameter(index);
    gui::CBitmap* picture = d.bitmapId ? new gui::CBitmap(d.bitmapId) : nullptr;
    const int pictureWidth = picture ? picture->getWidth() : 0;
    const int pictureHeight = picture ? picture->getHeight() : 0;
    const int images = d.imageHeight > 0 ? pictureHeight / d.imageHeight : 0;
    const gui::CRect area = gui::CRect::fromSize(d.x, d.y, d.width, d.height);
    // Buttons take their size from their picture of two stacked images.
    const gui::CRect button = gui::CRect::fromSize(d.x, d.y, pictureWidth, pictureHeight / 2);
    gui::CControl* control = nullptr;
    switch (d.controlType) {
        case synth::kOnOffButton: {
            auto* c = new gui::COnOffButton(button, this, index, picture, 0);
            c->setTransparency(true);
            c->setValue(value);
            c->setDefaultValue(d.defaultValue);
            control = c;
            break;
        }
        case synth::kKickButton: {
            auto* c = new gui::CKickButton(button, this, index, picture, {});
            c->setValue(value);
            c->setDefaultValue(d.defaultValue);
            control = c;
            break;
        }
        case 5:
        case synth::kKnob:
        case 7: {
            auto* c = new CMyAnimKnob(area, this, index, images, d.imageHeight, picture, {});
            c->setTransparency(true);
            c->setStartAngle(static_cast<float>(d.startAngle) * kDegreesToRadians);
            c->setRangeAngle(static_cast<float>(d.rangeAngle) * kDegreesToRadians);
            c->setValue(value);
            c->setDefaultValue(d.defaultValue);
            control = c;
            break;
        }
        case synth::kHorizontalSwitch:
        case synth::kVerticalSwitch: {
            gui::CSwitch* c;
            if (d.controlType == synth::kHorizontalSwitch)
                c = new gui::CHorizontalSwitch(area, this, index, images, d.imageHeight, images,
                                               picture, {});
            else
                c = new gui::CVerticalSwitch(area, this, index, images, d.imageHeight, images,
                                             picture, {});
            c->setValue(value);
            c->setDefaultValue(d.defaultValue);
            control = c;
            break;
        }
        case synth::kVerticalSlider: {
            gui::CBitmap* handle = new gui::CBitmap(d.handleBitmapId);
            const bool ownBackground = d.bitmapId != 0;
            gui::CBitmap* background = ownBackground ? picture : background_.get();
            const gui::CPoint offset = ownBackground ? gui::CPoint{d.sliderOffsetX, d.sliderOffsetY}
                                                     : gui::CPoint{d.x, d.y};
            const int lowest = ownBackground ? d.y + pictureHeight - handle->getHeight() - 1
                                             : d.y + d.height - handle->getHeight() - 1;
            auto* c = new gui::CVerticalSlider(area, this, index, d.y, lowest, handle, background,
                                               offset, 0x40);
            c->setOffsetHandle({0, 0});
            c->setValue(value);
            c->setDefaultValue(d.defaultValue);
            handle->forget();
            control = c;
            break;
        }
        case synth::kTextEdit: {
            auto* c = new gui::CTextEdit(area, this, index, nullptr, picture, 0);
            c->setText(d.displaySpec);
            c->setFontColor(200, 180, 180, 255);
            control = c;
            break;
        }
        case synth::kSpectralCanvas:
            control = new CMySpectrogram(area, this, index, nullptr, {}, instrument_->spectrogram(),
                                         helpFade_);
            break;
        default:
            break;  // an entry of another type gets no control
    }
    if (picture) picture->forget();  // the control holds its own reference
    if (!control) return;
    frame_->addView(control);
    entry.control = control;
}

void GUIEditor::idle() {
    if (!isOpen() || applying_) return;
    applyRecordedChanges();
    if (frame_) frame_->idle();
}

bool GUIEditor::setKnobMode(VstInt32 mode) {
    AEffGUIEditor::setKnobMode(mode);
    gui::CKnob::setKnobMode(mode);
    return true;
}

bool GUIEditor::onKeyDown(VstInt32 key, VstInt32 virtualKey, float modifiers) {
    if (!frame_) return false;
    return frame_->onKeyDown({key, virtualKey, modifiersOfHost(modifiers)});
}

void GUIEditor::setParameter(VstInt32 index, float value) {
    if (index < 0 || index >= entryCount_ || !isOpen()) return;
    const bool command =
        entries_[index].definition.controlType == synth::kKickButton && value != 0.f;
    handOver_.record(index, value, command);
}

void GUIEditor::valueChanged(gui::CControl* control) {
    if (!control) return;
    const int index = control->getTag();
    if (index < 0 || index >= entryCount_) return;
    const synth::ParameterDefinition& d = entries_[index].definition;
    if (d.controlType == synth::kTextEdit) {
        synthCore_->textChanged(index, control);
        return;
    }
    const float value = synth::stepValue(control->getValue(), d.steps);
    control->setValue(value);
    synthCore_->setParameterAutomated(index, value);
    // The change came back through setParameter on this very thread: a
    // command runs now, during the press.
    applyRecordedChanges();
}

void GUIEditor::applyRecordedChanges() {
    if (applying_) return;
    applying_ = true;
    handOver_.drain([this](int index, float value, bool command) { apply(index, value, command); });
    applying_ = false;
}

void GUIEditor::apply(int index, float value, bool command) {
    gui::CControl* c = static_cast<gui::CControl*>(entries_[index].control);
    switch (entries_[index].definition.controlType) {
        case synth::kOnOffButton:
        case synth::kVerticalSlider:
        case synth::kHorizontalSwitch:
        case synth::kVerticalSwitch:
            if (c) c->setValue(synthCore_->getParameter(index));
            break;
        case 5:
        case synth::kKnob:
        case 7:
            if (c) c->setValue(value);
            break;
        case synth::kKickButton:
            if (command) runCommand(entries_[index].definition.name);
            break;
        case synth::kSpectralCanvas:
            instrument_->spectrogram().rebuild();
            break;
        default:
            break;
    }
}

void GUIEditor::runCommand(const char* name) {
    if (!name) return;
    audio::MoSpectrogram& spectrogram = instrument_->spectrogram();
    if (std::strcmp(name, "Clear") == 0) spectrogram.clear();
    if (std::strcmp(name, "Invers") == 0) spectrogram.invert();
    if (std::strcmp(name, "Monoch") == 0) spectrogram.monochrome();
    if (std::strcmp(name, "Load") == 0) loadPicture(*instrument_);
    if (std::strcmp(name, "Save") == 0) savePicture(spectrogram);
}

}  // namespace editor

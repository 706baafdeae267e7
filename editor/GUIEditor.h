// The instrument's editor: a window of 688 x 604 pixels built from the
// parameter table, one control per entry as its control type says (the
// table holds the whole layout), with the spectral canvas at the left.
//
// Both directions between controls and parameters pass through here. A
// control the user moves becomes a parameter change through the host's
// automation (valueChanged). A parameter change from anywhere (the host, a
// MIDI controller on the audio thread, a chunk, a program change, the
// editor itself) arrives in setParameter on the thread that made it and is
// only recorded there; the editor's thread takes it over in idle and sets
// the control, rebuilds the picture (the canvas entry) or runs the command
// (the kick buttons).
//
// Threads: setParameter from any thread (it records and returns); every
// other call on the host's user-interface thread.
#pragma once

#include <atomic>
#include <memory>

#include "editor/HelpFade.h"
#include "editor/ParameterHandOver.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CFrame.h"
#include "instrument/Lumavox.h"
#include "vst2/AEffGUIEditor.h"

namespace editor {

class GUIEditor : public AEffGUIEditor, public gui::CControlListener, private gui::FrameIdler {
  public:
    GUIEditor(lumavox::Lumavox* instrument, int entryCount, synth::ParameterEntry* entries,
              synth::SynthCore* synthCore);
    ~GUIEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() override { return open_.load(std::memory_order_acquire); }
    void idle() override;
    bool setKnobMode(VstInt32 mode) override;
    bool onKeyDown(VstInt32 key, VstInt32 virtualKey, float modifiers) override;

    // Any thread.
    void setParameter(VstInt32 index, float value) override;
    // The user moved a control.
    void valueChanged(gui::CControl* control) override;

    // The frame while the window is open (tests draw and drive it).
    gui::CFrame* frame() const { return frame_.get(); }
    gui::CControl* control(int index) const;

  private:
    void idleFromFrame() override { idle(); }
    void createControl(int index);
    // Takes over what setParameter recorded, on the editor's thread.
    void applyRecordedChanges();
    void apply(int index, float value, bool command);
    void runCommand(const char* name);

    lumavox::Lumavox* instrument_;
    synth::SynthCore* synthCore_;
    synth::ParameterEntry* entries_;
    int entryCount_;
    gui::SharedBitmap background_;
    std::atomic<bool> open_{false};
    std::unique_ptr<gui::CFrame> frame_;
    ParameterHandOver handOver_;
    // The canvas's help fade goes on from one opening of the window to the next.
    HelpFade helpFade_;
    // Set while changes are taken over (a command may show a modal box,
    // whose message loop may call idle again).
    bool applying_ = false;
};

}  // namespace editor

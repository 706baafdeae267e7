#pragma once

#include <memory>
#include <vector>

#include "editor/GUIEditor.h"
#include "instrument/Lumavox.h"
#include "platform/EditorWindow.h"

namespace testsupport {

// A window that is only a record: what the frame showed, and the events the
// test sends through it, for a headless editor.
class FakeEditorWindow : public platform::EditorWindow {
  public:
    struct Shown {
        int left, top, right, bottom;
    };
    FakeEditorWindow(const std::uint32_t* shownPixels, int windowWidth, int windowHeight,
                     platform::EditorWindowEvents& windowEvents)
        : pixels(shownPixels), width(windowWidth), height(windowHeight), events(windowEvents) {}

    void present(int left, int top, int right, int bottom) override {
        shown.push_back({left, top, right, bottom});
    }
    void processEvents() override {}
    void hostIdled() override {}
    int mouseButtons() override { return buttons; }
    void mousePosition(int& x, int& y) override { x = pointerX, y = pointerY; }
    std::uintptr_t nativeHandle() const override { return 1; }

    const std::uint32_t* pixels;
    int width, height;
    platform::EditorWindowEvents& events;
    std::vector<Shown> shown;
    int buttons = 0, pointerX = 0, pointerY = 0;
};

// An instrument with its editor, whose window is a FakeEditorWindow for as
// long as the harness lives.
class EditorHarness {
  public:
    EditorHarness();
    ~EditorHarness();

    lumavox::Lumavox& synth() { return *synth_; }
    editor::GUIEditor& editor() { return *editor_; }
    bool open();
    void close() { editor_->close(); }
    FakeEditorWindow* window() const;
    // The editor's whole picture as the frame holds it.
    const std::uint32_t* pixels() const;

    // The mouse through the frame, at a point of the canvas's picture.
    void press(int x, int y, int buttons);
    void move(int x, int y, int buttons);
    void release(int x, int y, int buttons = 0);
    // A click on the control of the entry named so (press, then release).
    void click(const char* name);
    void set(const char* name, float value);
    // The current program's picture.
    std::vector<std::uint32_t> picture();
    std::uint32_t pixel(int x, int y) { return picture()[y * 512 + x]; }

  private:
    std::unique_ptr<lumavox::Lumavox> synth_;
    editor::GUIEditor* editor_;  // the instrument owns it
};

}  // namespace testsupport

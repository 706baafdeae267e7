#include "tests/support/EditorHarness.h"

#include "gui/CKnob.h"

namespace testsupport {
namespace {

FakeEditorWindow* gLastWindow = nullptr;

std::unique_ptr<platform::EditorWindow> makeFake(void*, int width, int height,
                                                 const std::uint32_t* pixels, int,
                                                 platform::EditorWindowEvents& events) {
    auto window = std::make_unique<FakeEditorWindow>(pixels, width, height, events);
    gLastWindow = window.get();
    return window;
}

}  // namespace

EditorHarness::EditorHarness() : synth_(std::make_unique<lumavox::Lumavox>(nullptr)) {
    editor_ =
        new editor::GUIEditor(synth_.get(), synth::kNumParameters, synth_->entries(), synth_.get());
    editor_->setKnobMode(gui::kLinearMode);
    platform::setEditorWindowFactory(&makeFake);
}

EditorHarness::~EditorHarness() {
    synth_.reset();
    platform::setEditorWindowFactory(nullptr);
    gLastWindow = nullptr;
}

bool EditorHarness::open() {
    static int parent;  // any window will do for the fake
    return editor_->open(&parent);
}

FakeEditorWindow* EditorHarness::window() const {
    return editor_->frame() ? gLastWindow : nullptr;
}

const std::uint32_t* EditorHarness::pixels() const {
    return editor_->frame() ? editor_->frame()->buffer().data() : nullptr;
}

}  // namespace testsupport

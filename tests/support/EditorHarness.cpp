#include "tests/support/EditorHarness.h"

#include "gui/CKnob.h"
#include "gui/Input.h"

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

void EditorHarness::press(int x, int y, int buttons) {
    editor_->frame()->onMouseDown({16 + x, 16 + y}, buttons);
}

void EditorHarness::move(int x, int y, int buttons) {
    editor_->frame()->onMouseMoved({16 + x, 16 + y}, buttons);
}

void EditorHarness::release(int x, int y, int buttons) {
    editor_->frame()->onMouseUp({16 + x, 16 + y}, buttons);
}

void EditorHarness::click(const char* name) {
    const gui::CRect r = editor_->control(synth_->parameterIndex(name))->getViewSize();
    editor_->frame()->onMouseDown({r.left + 2, r.top + 2}, gui::kLButton);
    editor_->frame()->onMouseUp({r.left + 2, r.top + 2}, 0);
}

void EditorHarness::set(const char* name, float value) {
    synth_->setParameter(synth_->parameterIndex(name), value);
}

std::vector<std::uint32_t> EditorHarness::picture() {
    auto access = synth_->spectrogram().pictures();
    return std::vector<std::uint32_t>(access.current(), access.current() + 512 * 512);
}

const std::uint32_t* EditorHarness::pixels() const {
    return editor_->frame() ? editor_->frame()->buffer().data() : nullptr;
}

}  // namespace testsupport

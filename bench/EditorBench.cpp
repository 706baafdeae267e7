// The editor's costs as a host sees them. Headless (the frame's own buffer):
// one whole editor frame composed, an idle pass with nothing changed, and a
// pen stroke of 100 positions at radius 18 from its release to new sound
// (the rebuild at the end of the gesture). Through the plug-in's binary
// interface in a real X window (run it under tests/window/with-xvfb.sh):
// effEditIdle with nothing changed, and effEditOpen to the first frame shown.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "gui/Input.h"
#include "tests/support/EditorHarness.h"
#include "tools/vsthost/PluginInstance.h"

// Last: Xlib's macros would rename what the others declare.
#include <X11/Xlib.h>

namespace {

void BM_ComposeWholeEditorFrame(benchmark::State& state) {
    testsupport::EditorHarness h;
    h.open();
    for (auto _ : state) {
        h.editor().frame()->drawAll();
        h.window()->shown.clear();
    }
}
BENCHMARK(BM_ComposeWholeEditorFrame)->Unit(benchmark::kMicrosecond);

void BM_IdleWithNothingChanged(benchmark::State& state) {
    testsupport::EditorHarness h;
    h.open();
    h.editor().idle();
    h.editor().idle();
    for (auto _ : state)
        h.editor().idle();
}
BENCHMARK(BM_IdleWithNothingChanged)->Unit(benchmark::kMicrosecond);

void BM_PenStrokeOf100PositionsReleaseToNewSound(benchmark::State& state) {
    testsupport::EditorHarness h;
    h.set("Tool", 0.f);
    h.set("PenSiz", 1.f);  // radius 18
    h.open();
    for (auto _ : state) {
        state.PauseTiming();
        h.press(100, 100, gui::kLButton);
        for (int i = 1; i < 99; ++i)
            h.move(100 + 3 * i, 100 + i, gui::kLButton);
        state.ResumeTiming();
        h.release(400, 200);  // the last stroke and the rebuild of the wave tables
    }
}
BENCHMARK(BM_PenStrokeOf100PositionsReleaseToNewSound)->Unit(benchmark::kMillisecond);

void BM_PenStrokeOf100PositionsWhole(benchmark::State& state) {
    testsupport::EditorHarness h;
    h.set("Tool", 0.f);
    h.set("PenSiz", 1.f);
    h.open();
    for (auto _ : state) {
        h.press(100, 100, gui::kLButton);
        for (int i = 1; i < 99; ++i)
            h.move(100 + 3 * i, 100 + i, gui::kLButton);
        h.release(400, 200);
    }
}
BENCHMARK(BM_PenStrokeOf100PositionsWhole)->Unit(benchmark::kMillisecond);

// A host's side: the plug-in binary, a top-level X window to open it into.
class Host : public vsthost::HostBehaviour {
  public:
    VstIntPtr onHostCall(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        return opcode == audioMasterVersion ? 2400 : 0;
    }
};

struct XHost {
    Display* display = XOpenDisplay(nullptr);
    Window top = 0;
    std::unique_ptr<vsthost::PluginLibrary> library;
    std::unique_ptr<vsthost::PluginInstance> plugin;
    Host host;
    bool ready(benchmark::State& state) {
        if (!display) {
            state.SkipWithError("no X server: run under tests/window/with-xvfb.sh");
            return false;
        }
        top = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 620, 0, 0, 0);
        XMapWindow(display, top);
        XSync(display, False);
        std::string error;
        library = vsthost::PluginLibrary::open(LUMAVOX_PLUGIN_PATH, &error);
        if (library) plugin = vsthost::PluginInstance::create(library->entryPoint(), host, &error);
        if (!plugin) state.SkipWithError(error.c_str());
        return plugin != nullptr;
    }
    ~XHost() {
        plugin.reset();
        if (display) XCloseDisplay(display);
    }
};

void BM_EffEditIdleWithNothingChanged(benchmark::State& state) {
    XHost x;
    if (!x.ready(state)) return;
    x.plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(x.top));
    for (int i = 0; i < 20; ++i)
        x.plugin->dispatch(effEditIdle);  // the first frames, the help fade, the expose
    for (auto _ : state)
        x.plugin->dispatch(effEditIdle);
    x.plugin->dispatch(effEditClose);
}
BENCHMARK(BM_EffEditIdleWithNothingChanged)->Unit(benchmark::kMicrosecond);

void BM_EffEditOpenToFirstFrameShown(benchmark::State& state) {
    XHost x;
    if (!x.ready(state)) return;
    for (auto _ : state) {
        // effEditOpen composes and shows the whole window before it returns.
        x.plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(x.top));
        state.PauseTiming();
        x.plugin->dispatch(effEditClose);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EffEditOpenToFirstFrameShown)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The editor as a host and a user see it, drawn headless into its frame.
#include <gtest/gtest.h>

#include "editor/CMyAnimKnob.h"
#include "editor/HelpFade.h"
#include "gui/CKnob.h"
#include "tests/support/EditorHarness.h"
#include "tests/support/GoldenImage.h"

namespace {

using testsupport::EditorHarness;

int index(lumavox::Lumavox& synth, const char* name) {
    return synth.parameterIndex(name);
}

// The whole window at the factory state, pixel for pixel: the layout of
// every control, its picture at its value, and the canvas with program 0's
// picture under the grid, the markers and the wave display. Rewrite with
// LUMAVOX_UPDATE_GOLDEN=1 after a deliberate change, and look at the result.
TEST(EditorWindow, OpensAtTheFactoryStateAsTheGoldenPictureShowsIt) {
    EditorHarness h;
    ERect* rect = nullptr;
    ASSERT_TRUE(h.editor().getRect(&rect));  // before any open
    EXPECT_EQ(rect->right - rect->left, 688);
    EXPECT_EQ(rect->bottom - rect->top, 604);
    ASSERT_TRUE(h.open());
    EXPECT_TRUE(h.editor().isOpen());
    EXPECT_EQ(testsupport::compareWithGoldenImage("editor-factory", h.pixels(), 688, 604), "");

    // Buttons are as large as one image of their picture; the canvas entry
    // gets its canvas, at the canvas's place.
    EXPECT_EQ(h.editor().control(index(h.synth(), "Log"))->getViewSize(),
              gui::CRect(442, 564, 458, 580));
    EXPECT_EQ(h.editor().control(index(h.synth(), "Clear"))->getViewSize(),
              gui::CRect(632, 152, 656, 168));
    gui::CControl* canvas = h.editor().control(index(h.synth(), "Spectr"));
    ASSERT_NE(canvas, nullptr);
    EXPECT_TRUE(canvas->isTypeOf("CMySpectrogram"));
    EXPECT_EQ(canvas->getBackground(), nullptr);
    EXPECT_EQ(canvas->getViewSize(), gui::CRect(16, 16, 528, 528));
}

// The help overlay faded in (16 redraws) over the bright picture (no wave
// display), with the line tool and another colour chosen: the blending of a
// picture at partial opacity and the switches away from their defaults.
TEST(EditorWindow, FadesTheHelpInAsTheGoldenPictureShowsIt) {
    EditorHarness h;
    ASSERT_TRUE(h.open());
    h.set("WavDsp", 0.f);
    h.set("Help", 1.f);
    h.set("Tool", 1.f);
    h.set("Color", 0.2f);
    for (int i = 0; i < 16; ++i)
        h.editor().idle();
    EXPECT_EQ(testsupport::compareWithGoldenImage("editor-help", h.pixels(), 688, 604), "");
}

TEST(EditorWindow, ShowsTheCurrentValuesAfterEveryOpenAndTakesChangesOnlyWhileOpen) {
    EditorHarness h;
    const int volume = index(h.synth(), "Volume"), tune = index(h.synth(), "Tune");
    const int mono = index(h.synth(), "Mono"), tool = index(h.synth(), "Tool");
    ASSERT_TRUE(h.open());
    h.synth().setParameter(volume, 0.31f);
    h.synth().setParameter(mono, 1.f);
    EXPECT_FLOAT_EQ(h.editor().control(volume)->getValue(), 0.69f);  // not before idle
    h.editor().idle();
    EXPECT_FLOAT_EQ(h.editor().control(volume)->getValue(), 0.31f);
    EXPECT_FLOAT_EQ(h.editor().control(mono)->getValue(), 1.f);

    h.close();
    EXPECT_FALSE(h.editor().isOpen());
    EXPECT_EQ(h.editor().control(volume), nullptr);
    h.synth().setParameter(tune, 0.7f);  // closed: nothing to touch, nothing fails
    h.synth().setParameter(tool, 1.f);
    h.editor().idle();
    ASSERT_TRUE(h.open());
    EXPECT_FLOAT_EQ(h.editor().control(volume)->getValue(), 0.31f);
    EXPECT_FLOAT_EQ(h.editor().control(tune)->getValue(), 0.7f);
    EXPECT_FLOAT_EQ(h.editor().control(tool)->getValue(), 1.f);
    EXPECT_FLOAT_EQ(h.editor().control(mono)->getValue(), 1.f);
}

TEST(EditorWindow, AnIdlePassShowsOnlyWhatChanged) {
    EditorHarness h;
    ASSERT_TRUE(h.open());
    h.editor().idle();  // the canvas settles (the help fade, the display)
    h.editor().idle();
    EXPECT_TRUE(h.editor().frame()->lastShown().isEmpty());
    const int volume = index(h.synth(), "Volume");
    h.synth().setParameter(volume, 0.12f);
    h.editor().idle();
    EXPECT_EQ(h.editor().frame()->lastShown(), h.editor().control(volume)->getViewSize());
    h.synth().setParameter(volume, 0.12f);  // the same value: nothing to draw
    h.editor().idle();
    EXPECT_TRUE(h.editor().frame()->lastShown().isEmpty());
}

// A strip whose image k is the colour k, so the drawn colour names the image.
gui::CBitmap* numberedStrip(int images, int height) {
    platform::Image image;
    image.width = 4;
    image.height = images * height;
    for (int k = 0; k < images; ++k)
        for (int i = 0; i < 4 * height; ++i)
            image.pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(k));
    return new gui::CBitmap(std::move(image));
}

int imageShown(editor::CMyAnimKnob& knob) {
    gui::PixelBuffer buffer(4, 4);
    gui::CDrawContext context(buffer.surface());
    knob.draw(context);
    return static_cast<int>(buffer.data()[0] & 0xFFFFFF);
}

TEST(EditorKnob, EveryImageStandsForAnEqualShareOfTheRange) {
    struct Case {
        int images;
        float value;
        int image;
    };
    const Case cases[] = {{101, 1.f, 100}, {101, -0.25f, 0}, {101, 0.99f, 99},     {65, 0.5f, 32},
                          {65, 1.f, 64},   {15, 0.5f, 7},    {15, 14.f / 15.f, 14}};
    for (const Case& c : cases) {
        gui::CBitmap* strip = numberedStrip(c.images, 4);
        auto* knob = new editor::CMyAnimKnob({0, 0, 4, 4}, nullptr, 0, c.images, 4, strip);
        strip->forget();
        knob->setValue(c.value);
        EXPECT_EQ(imageShown(*knob), c.image) << c.images << " images, value " << c.value;
        knob->forget();
    }
    gui::CBitmap* strip = numberedStrip(101, 4);
    auto* knob = new editor::CMyAnimKnob({0, 0, 4, 4}, nullptr, 0, 101, 4, strip);
    strip->forget();
    for (int k = 0; k <= 100; ++k) {
        knob->setValue(static_cast<float>(k) / 100.f);
        ASSERT_EQ(imageShown(*knob), k);
    }
    knob->setValue(1.f);  // the same value again: no redraw
    EXPECT_FALSE(knob->isDirty());
    knob->forget();
}

TEST(EditorHelp, FadesInOverSixteenRedrawsAndOutAgain) {
    editor::HelpFade fade;
    const int fadeIn[] = {50,  87,  115, 136, 152, 164, 173, 179,
                          184, 188, 191, 193, 194, 195, 196, 197};
    for (int level : fadeIn)
        EXPECT_EQ(fade.step(true), level);
    EXPECT_EQ(fade.step(true), 197);
    int level = 197;
    for (int i = 0; i < 16; ++i)
        level = fade.step(false);
    EXPECT_EQ(level, 0);
}

}  // namespace

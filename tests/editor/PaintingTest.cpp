// Painting on the canvas through the framework's mouse path, on a black
// picture, against the numbers the brushes are made of.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/CMySpectrogram.h"
#include "editor/Painting.h"
#include "gui/Input.h"
#include "modules/SharedMath.h"
#include "synth/PaintRandom.h"
#include "tests/support/EditorHarness.h"

namespace {

using gui::kLButton;
using gui::kRButton;

struct Canvas : testsupport::EditorHarness {
    // Pen (Tool 0) in white (Color 0.5) at full density, unless a test says otherwise.
    Canvas() {
        set("Tool", 0.f);
        set("Color", 0.5f);
        set("Densit", 1.f);
        set("PenSiz", 0.f);
        blacken(0);
        EXPECT_TRUE(open());
    }
    void blacken(int program) {
        auto access = synth().spectrogram().pictures();
        math::wordFill(access.picture(program), 0, audio::kPicturePixels);
    }
    int changed() {
        const auto p = picture();
        return static_cast<int>(
            std::count_if(p.begin(), p.end(), [](std::uint32_t v) { return v != 0; }));
    }
    void dab(int x, int y, int buttons = kLButton) {
        press(x, y, buttons);
        release(x, y);
    }
};

std::vector<std::pair<int, int>> walk(int x0, int y0, int x1, int y1) {
    std::vector<std::pair<int, int>> stamps;
    editor::walkLine(x0, y0, x1, y1, [&](int x, int y) { stamps.emplace_back(x, y); });
    return stamps;
}

TEST(Painting, ALineStampsBeforeEachStepAndNeverAtItsEnd) {
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(walk(0, 0, 5, 0), (P{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));
    // A vertical line steps sideways first.
    EXPECT_EQ(walk(0, 0, 0, 5), (P{{0, 0}, {-1, 0}, {-1, 1}, {-1, 2}, {-1, 3}}));
    EXPECT_EQ(walk(0, 0, 3, 3), (P{{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 2}, {2, 3}}));
    EXPECT_TRUE(walk(7, 7, 7, 7).empty());
}

TEST(Painting, ThePenCoversADiscOfItsSizeWithTheStrengthOfItsDensity) {
    Canvas c;
    c.set("PenSiz", 1.f);  // radius 18
    c.dab(256, 256);
    EXPECT_EQ(c.changed(), 1005);
    EXPECT_EQ(c.pixel(256, 256), 0xFFFFFFu);
    c.blacken(0);
    c.set("PenSiz", 0.f);  // radius 2: the 3 x 3 square
    c.dab(100, 100);
    EXPECT_EQ(c.changed(), 9);
    EXPECT_EQ(c.pixel(101, 101), 0xFFFFFFu);
    c.blacken(0);
    c.set("Densit", 0.5f);  // 5 percent of the way
    c.dab(200, 100);
    EXPECT_EQ(c.pixel(200, 100), 0x0C0C0Cu);
    c.set("Densit", 0.05f);  // below 0.1: no step, so the colour outright
    c.set("Color", 0.f);
    c.dab(300, 100);
    EXPECT_EQ(c.pixel(300, 100), 0xFF0000u);
}

TEST(Painting, TheSprayScattersThreeDotsFromTheSeededSequence) {
    Canvas c;
    c.set("Tool", 0.5f);
    c.set("PenSiz", 0.5f);  // square of side 2 x 18
    c.set("Densit", 0.5f);  // half way
    synth::PaintRandom::seed(5);
    // The Windows C runtime's generator, seeded with 5.
    std::uint32_t state = 5;
    auto rand = [&] {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    c.dab(200, 200);
    for (int dot = 0; dot < 3; ++dot) {
        const int dx = 2 * (rand() % 18) - 18;
        const int dy = 2 * (rand() % 18) - 18;
        EXPECT_EQ(c.pixel(200 + dx, 200 + dy), 0x7F7F7Fu) << dot;
    }
    EXPECT_LE(c.changed(), 3);
}

TEST(Painting, BothButtonsStrokeTwicePaintingTheColourThenBlack) {
    Canvas c;
    c.set("Color", 0.f);
    c.dab(50, 50, kLButton);
    EXPECT_EQ(c.pixel(50, 50), 0xFF0000u);
    c.dab(60, 60, kLButton | kRButton);
    EXPECT_EQ(c.pixel(60, 60), 0u);
    EXPECT_EQ(c.changed(), 9);  // only the first dab shows
    c.dab(50, 50, kRButton);
    EXPECT_EQ(c.changed(), 0);
}

TEST(Painting, AStampAtTheBorderPaintsOnlyInsideThePicture) {
    Canvas c;
    for (int p = 1; p < 4; ++p)
        c.blacken(p);
    c.dab(0, 0);
    EXPECT_EQ(c.changed(), 4);
    auto access = c.synth().spectrogram().pictures();
    for (int p = 0; p < 4; ++p) {
        const std::uint32_t* picture = access.picture(p);
        EXPECT_EQ(std::count(picture, picture + audio::kPicturePixels, 0u),
                  audio::kPicturePixels - (p == 0 ? 4 : 0));
    }
}

TEST(Painting, AClickAtTheLastPointStampsNothingButRebuilds) {
    Canvas c;
    c.dab(30, 30);
    c.blacken(0);
    const int rebuilds = c.synth().spectrogram().rebuildCount();
    c.dab(30, 30);
    EXPECT_EQ(c.changed(), 0);
    EXPECT_EQ(c.synth().spectrogram().rebuildCount(), rebuilds + 1);
}

TEST(Painting, TheLineToolPreviewsWhileDrawnAndStampsUpToItsEnd) {
    Canvas c;
    c.set("Tool", 1.f);
    c.press(10, 10, kLButton);
    c.move(20, 10, kLButton);
    auto* canvas = static_cast<editor::CMySpectrogram*>(c.editor().control(27));
    EXPECT_EQ(canvas->linePreview(), (editor::LinePreview{10, 10, 20, 10}));
    EXPECT_EQ(c.changed(), 0);
    c.release(20, 10);
    EXPECT_EQ(canvas->linePreview().x0, -1);
    EXPECT_EQ(c.pixel(9, 10), 0xFFFFFFu);   // the first stamp's square
    EXPECT_EQ(c.pixel(20, 10), 0xFFFFFFu);  // the last stamp, at 19, reaches 20
    EXPECT_EQ(c.pixel(21, 10), 0u);         // nothing is stamped at the end itself
}

TEST(Painting, TheWheelOverTheCanvasTurnsItsEntryAndRebuilds) {
    Canvas c;
    const int rebuilds = c.synth().spectrogram().rebuildCount();
    EXPECT_TRUE(c.editor().frame()->onWheel({200, 200}, 1.f, 0));
    EXPECT_FLOAT_EQ(c.synth().getParameter(c.synth().parameterIndex("Spectr")), 0.1f);
    EXPECT_EQ(c.synth().spectrogram().rebuildCount(), rebuilds + 1);
}

TEST(Painting, AProgramChangeSwitchesThePicturePainted) {
    Canvas c;
    c.blacken(2);
    c.synth().setProgram(2);
    c.editor().idle();
    c.dab(40, 40);
    auto access = c.synth().spectrogram().pictures();
    EXPECT_EQ(access.picture(2)[40 * 512 + 40], 0xFFFFFFu);
    EXPECT_EQ(access.picture(0)[40 * 512 + 40], 0u);
}

}  // namespace

// The markings the canvas draws over the picture, where the picture is black.
#include <gtest/gtest.h>

#include "modules/SharedMath.h"
#include "tests/support/EditorHarness.h"

namespace {

constexpr std::uint32_t kRed = 0xF02A28, kGreen = 0x50DC3C;

struct Canvas {
    testsupport::EditorHarness h;
    Canvas(std::initializer_list<std::pair<const char*, float>> values) {
        for (auto [name, value] : values)
            h.synth().setParameter(h.synth().parameterIndex(name), value);
        auto pictures = h.synth().spectrogram().pictures();
        math::wordFill(pictures.current(), 0, audio::kPicturePixels);
    }
    // Picture pixel (x, y) of the editor's window.
    std::uint32_t at(int x, int y) {
        if (!h.editor().isOpen()) {
            EXPECT_TRUE(h.open());
        }
        return h.pixels()[(16 + y) * 688 + 16 + x] & 0xFFFFFF;
    }
};

TEST(CanvasDrawing, TimeMarkersStandEveryTempoStepFromTheStart) {
    Canvas c{{"WavDsp", 0.f}, {"Tempo", 0.1f}, {"Start", 0.f}, {"Tune", 0.9f}};
    EXPECT_EQ(c.at(0, 300), kRed);  // the start marker
    for (int x : {51, 102, 153, 204, 256, 307, 358, 409, 460}) {
        EXPECT_EQ(c.at(x, 300), kGreen) << x;
        EXPECT_EQ(c.at(x - 1, 300), 0u) << x;
    }
}

TEST(CanvasDrawing, WithoutTempoThereAreNoTimeMarkers) {
    Canvas c{{"WavDsp", 0.f}, {"Tempo", 0.f}, {"Start", 0.5f}, {"Tune", 0.9f}};
    EXPECT_EQ(c.at(256, 300), kRed);
    for (int x = 0; x < 512; ++x)
        if (x != 256) {
            ASSERT_NE(c.at(x, 300), kGreen) << x;
        }
}

TEST(CanvasDrawing, TheFirstGridLineFollowsTune) {
    Canvas low{{"WavDsp", 0.f}, {"Tune", 0.f}, {"Start", 0.5f}};
    EXPECT_EQ(low.at(300, 240), kRed);
    Canvas mid{{"WavDsp", 0.f}, {"Tune", 0.5f}, {"Start", 0.5f}};
    EXPECT_EQ(mid.at(300, 496), kRed);
    EXPECT_EQ(mid.at(300, 495), 0u);
}

TEST(CanvasDrawing, LoopTrianglesStandOnTheBottomEdge) {
    Canvas c{
        {"WavDsp", 0.f}, {"LoopIn", 0.25f}, {"LoopOut", 0.75f}, {"Start", 0.5f}, {"Tempo", 0.f}};
    // LoopIn at 128 points right: its black edge rises from the corner, cyan inside.
    EXPECT_EQ(c.at(128, 496), 0u);
    EXPECT_EQ(c.at(129, 505), 0x00FFFFu);
    EXPECT_EQ(c.at(127, 505), 0u);
    // LoopOut at 384 points left.
    EXPECT_EQ(c.at(383, 505), 0x00FFFFu);
    EXPECT_EQ(c.at(385, 505), 0u);
}

}  // namespace

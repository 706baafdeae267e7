// The editor's five commands through their buttons, with the message boxes
// and file choosers answered by the test.
#include <gtest/gtest.h>

#include <random>

#include "instrument/ImageGeometry.h"
#include "platform/FileBytes.h"
#include "platform/ImageCodec.h"
#include "tests/support/EditorHarness.h"
#include "tests/support/FileDialogAnswer.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::EditorHarness;

struct Commands : EditorHarness {
    Commands() {
        std::mt19937 rng(2024);
        auto access = synth().spectrogram().pictures();
        for (int i = 0; i < audio::kPicturePixels; ++i)
            access.current()[i] = rng() & 0x00FFFFFFu;
        access.current()[0] = 0x00FF0000u;  // pure red
        access.current()[1] = 0x00FFFFFFu;  // white
        EXPECT_TRUE(open());
    }
};

void writeImage(const std::filesystem::path& path, const platform::Image& image) {
    const auto png = platform::encodePng(image.pixels.data(), image.width, image.height, true);
    ASSERT_TRUE(platform::writeFileBytes(path, png.data(), png.size()));
}

platform::Image solid(int width, int height, std::uint32_t colour) {
    return {width, height,
            std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, colour)};
}

TEST(PictureCommands, InversTwiceGivesThePictureBackAndMonochTurnsItGrey) {
    Commands c;
    const auto before = c.picture();
    const int rebuilds = c.synth().spectrogram().rebuildCount();
    c.click("Invers");  // once per press; the release runs nothing
    EXPECT_EQ(c.pixel(0, 0), 0x0000FFFFu);
    EXPECT_EQ(c.synth().spectrogram().rebuildCount(), rebuilds + 1);
    c.click("Invers");
    EXPECT_EQ(c.picture(), before);
    c.click("Monoch");
    EXPECT_EQ(c.pixel(0, 0), 0x004C4C4Cu);  // red: (3 x 255) / 10 = 76
    EXPECT_EQ(c.pixel(1, 0), 0x00FFFFFFu);
}

TEST(PictureCommands, ClearAsksAndOnlyOkClears) {
    Commands c;
    const auto before = c.picture();
    {
        testsupport::MessageRecorder cancel(platform::MessageAnswer::Cancel);
        c.click("Clear");
        ASSERT_EQ(cancel.boxes.size(), 1u);
        EXPECT_EQ(cancel.boxes[0].text, "BitMap Clear?");
        EXPECT_EQ(cancel.boxes[0].caption, "Lumavox");
        EXPECT_EQ(cancel.boxes[0].buttons, platform::MessageButtons::OkCancel);
    }
    EXPECT_EQ(c.picture(), before);
    testsupport::MessageRecorder ok(platform::MessageAnswer::Ok);
    c.click("Clear");
    EXPECT_EQ(c.picture(), std::vector<std::uint32_t>(512 * 512, 0u));
}

TEST(PictureCommands, LoadFillsThePictureByTheImportGeometry) {
    Commands c;
    testsupport::TempDir dir;
    testsupport::FileDialogAnswer dialog;
    testsupport::MessageRecorder boxes;

    writeImage(dir.path() / "wide.png", solid(1024, 256, 0xFF3366CCu));
    dialog.answer = dir.path() / "wide.png";
    c.click("Load");
    ASSERT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(dialog.requests[0].kind, platform::FileDialogRequest::Kind::Open);
    EXPECT_EQ(dialog.requests[0].filters[0].patterns, "*.bmp;*.png;*.jpg;*.jpeg;*.gif");
    EXPECT_EQ(c.picture(), std::vector<std::uint32_t>(512 * 512, 0x003366CCu));

    // 512 x 512 keeps 256 independent rows: what the geometry makes of it.
    platform::Image rows = solid(512, 512, 0);
    for (int i = 0; i < 512 * 512; ++i)
        rows.pixels[i] =
            0xFF000000u | static_cast<std::uint32_t>((i * 2654435761u) >> 8 & 0xFFFFFF);
    writeImage(dir.path() / "square.png", rows);
    dialog.answer = dir.path() / "square.png";
    c.click("Load");
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t p : rows.pixels)
        rgba.insert(rgba.end(),
                    {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                     static_cast<std::uint8_t>(p), 255});
    std::vector<std::uint32_t> expected(512 * 512);
    lumavox::scaleImageToPicture(rgba.data(), 512, 512, expected.data());
    EXPECT_EQ(c.picture(), expected);

    writeImage(dir.path() / "clear.png", solid(64, 64, 0x00FFFFFFu));  // all transparent
    dialog.answer = dir.path() / "clear.png";
    c.click("Load");
    EXPECT_EQ(c.picture(), std::vector<std::uint32_t>(512 * 512, 0u));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(PictureCommands, AFileThatIsNoImageLeavesThePictureAsItWasAndSaysSo) {
    Commands c;
    testsupport::TempDir dir;
    testsupport::FileDialogAnswer dialog;
    testsupport::MessageRecorder boxes;
    {
        auto access = c.synth().spectrogram().pictures();
        access.current()[5] |= 0x7F000000u;  // top bits, which Load clears in any case
    }
    auto before = c.picture();
    before[5] &= 0x00FFFFFFu;
    dir.write("broken.png", "\x89PNG\r\n\x1a\n not really");
    dialog.answer = dir.path() / "broken.png";
    const int rebuilds = c.synth().spectrogram().rebuildCount();
    c.click("Load");
    EXPECT_EQ(c.picture(), before);
    EXPECT_EQ(c.synth().spectrogram().rebuildCount(), rebuilds + 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("broken.png"), std::string::npos);

    dialog.answer.reset();  // cancelled: nothing read, nothing said
    c.click("Load");
    EXPECT_EQ(c.picture(), before);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST(PictureCommands, SaveThenLoadGivesThePictureBackWithHalfTheRows) {
    Commands c;
    testsupport::TempDir dir;
    testsupport::FileDialogAnswer dialog;
    const auto picture = c.picture();
    dialog.answer = dir.path() / std::filesystem::u8path("Bild \xC3\xA4\xE2\x82\xAC.bmp");
    c.click("Save");
    ASSERT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(dialog.requests[0].kind, platform::FileDialogRequest::Kind::Save);
    EXPECT_EQ(dialog.requests[0].defaultExtension, "bmp");
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(platform::readFileBytes(*dialog.answer, file, 1 << 22));
    EXPECT_EQ(file.size(), 54u + 512 * 512 * 3);  // 512 x 512, 24-bit
    platform::Image saved;
    ASSERT_TRUE(platform::decodeImage(file.data(), file.size(), saved));
    for (int i = 0; i < 512 * 512; ++i)
        ASSERT_EQ(saved.pixels[i] & 0xFFFFFF, picture[i]) << i;

    c.click("Load");
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t p : picture)
        rgba.insert(rgba.end(),
                    {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                     static_cast<std::uint8_t>(p), 255});
    std::vector<std::uint32_t> expected(512 * 512);
    lumavox::scaleImageToPicture(rgba.data(), 512, 512, expected.data());
    EXPECT_EQ(c.picture(), expected);
}

}  // namespace

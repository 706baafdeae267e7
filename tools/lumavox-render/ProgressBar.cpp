#include "tools/lumavox-render/ProgressBar.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define LUMAVOX_ISATTY _isatty
#define LUMAVOX_FILENO _fileno
#else
#include <unistd.h>
#define LUMAVOX_ISATTY isatty
#define LUMAVOX_FILENO fileno
#endif

namespace render {

ProgressBar::ProgressBar(bool enabled, std::uint64_t songFrames, double sampleRate)
    : enabled_(enabled && songFrames > sampleRate && LUMAVOX_ISATTY(LUMAVOX_FILENO(stderr))),
      songFrames_(songFrames),
      sampleRate_(sampleRate) {}

ProgressBar::~ProgressBar() {
    finish();
}

void ProgressBar::update(std::uint64_t framesDone) {
    if (!enabled_) return;
    constexpr int kWidth = 40;
    const bool inTail = framesDone >= songFrames_;
    const int permille =
        inTail ? 1000 : static_cast<int>(framesDone * 1000 / (songFrames_ ? songFrames_ : 1));
    // Redrawn at most a thousand times, plus once per tenth of a second of tail.
    const int shown =
        inTail ? 1000 + static_cast<int>((framesDone - songFrames_) * 10 / sampleRate_) : permille;
    if (shown == lastShown_) return;
    lastShown_ = shown;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i)
        bar[i] = i < permille * kWidth / 1000 ? '#' : '.';
    bar[kWidth] = 0;
    std::fprintf(stderr, "\r[%s] %3d%% %7.1f s%s", bar, permille / 10, framesDone / sampleRate_,
                 inTail ? " (tail)" : "       ");
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressBar::finish() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r%*s\r", 72, "");
    std::fflush(stderr);
    drawn_ = false;
    enabled_ = false;
}

}  // namespace render

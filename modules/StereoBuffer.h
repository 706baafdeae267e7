#pragma once

#if defined(_WIN32) && !defined(_WIN64)
// A 32-bit Windows heap aligns to 8 bytes; the build must say so, or new of
// a StereoBuffer's owner may hand out a block that its SSE loads fault on.
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ <= 8, "build with -faligned-new=8");
#endif

namespace audio {

// The longest sub-block the framework ever hands a module.
constexpr int kMaxFrames = 256;

// 256 interleaved stereo frames (left, right, left, ...), aligned so that a
// module may load four floats at a time.
struct alignas(16) StereoBuffer {
    float samples[2 * kMaxFrames] = {};

    float& left(int frame) { return samples[2 * frame]; }
    float& right(int frame) { return samples[2 * frame + 1]; }
    float left(int frame) const { return samples[2 * frame]; }
    float right(int frame) const { return samples[2 * frame + 1]; }
};

}  // namespace audio

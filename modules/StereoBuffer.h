#pragma once

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

#include "tests/support/TestSynth.h"

namespace testsupport {

void TestSynth::render(int frames, int hostBlock) {
    std::vector<float> left(static_cast<size_t>(hostBlock)), right(left.size());
    while (frames > 0) {
        const int n = frames < hostBlock ? frames : hostBlock;
        float* outputs[2] = {left.data(), right.data()};
        processReplacing(nullptr, outputs, n);
        frames -= n;
    }
}

void TestSynth::renderInto(std::vector<float>& left, std::vector<float>& right, int frames) {
    left.assign(static_cast<size_t>(frames), 0.f);
    right.assign(static_cast<size_t>(frames), 0.f);
    float* outputs[2] = {left.data(), right.data()};
    processReplacing(nullptr, outputs, frames);
}

}  // namespace testsupport

#include "tests/golden/GoldenFile.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>

#include "tests/support/SignalPicture.h"

namespace golden {
namespace {

std::string pathOf(const std::string& name, const char* suffix) {
    return std::string(LUMAVOX_GOLDEN_DIR) + "/" + name + suffix;
}

bool updating() {
    const char* value = std::getenv("LUMAVOX_UPDATE_GOLDEN");
    return value && std::strcmp(value, "1") == 0;
}

// What is wrong with one channel, or nothing.
std::string compare(const char* channel, const std::vector<float>& reference,
                    const std::vector<float>& render) {
    double referenceEnergy = 0, errorEnergy = 0, worst = 0;
    std::size_t worstAt = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const double e = static_cast<double>(render[i]) - reference[i];
        referenceEnergy += static_cast<double>(reference[i]) * reference[i];
        errorEnergy += e * e;
        if (!(std::fabs(e) <= worst)) {  // NaN counts as the worst
            worst = std::isnan(e) ? INFINITY : std::fabs(e);
            worstAt = i;
        }
    }
    const double ratio =
        referenceEnergy > 0 ? std::sqrt(errorEnergy / referenceEnergy) : std::sqrt(errorEnergy);
    if (ratio <= kMaxRmsRatio && worst <= kMaxSampleError) return {};
    std::ostringstream what;
    what << channel << " channel: difference " << 20 * std::log10(ratio + 1e-30)
         << " dB against the reference (at most " << 20 * std::log10(kMaxRmsRatio)
         << " dB), largest " << worst << " at sample " << worstAt << " (at most " << kMaxSampleError
         << ")";
    return what.str();
}

}  // namespace

testing::AssertionResult matchesReference(const std::string& name,
                                          const testsupport::StereoSignal& render) {
    const std::string reference = pathOf(name, ".wav");
    if (updating()) {
        if (!testsupport::writeFloatWav(reference, render))
            return testing::AssertionFailure() << "cannot write " << reference;
        return testing::AssertionSuccess() << "rewrote " << reference;
    }
    const std::optional<testsupport::StereoSignal> expected = testsupport::readFloatWav(reference);
    std::string fault;
    if (!expected)
        fault = "no reference " + reference + " (LUMAVOX_UPDATE_GOLDEN=1 makes it)";
    else if (expected->left.size() != render.left.size() ||
             expected->sampleRate != render.sampleRate)
        fault = "the reference has " + std::to_string(expected->left.size()) + " frames at " +
                std::to_string(expected->sampleRate) + " Hz, the render " +
                std::to_string(render.left.size()) + " at " + std::to_string(render.sampleRate);
    else if (fault = compare("left", expected->left, render.left); fault.empty())
        fault = compare("right", expected->right, render.right);
    if (fault.empty()) return testing::AssertionSuccess();

    testsupport::writeFloatWav(pathOf(name, ".actual.wav"), render);
    testsupport::writeSignalPng(pathOf(name, ".actual.png"), render);
    if (expected) testsupport::writeSignalPng(pathOf(name, ".reference.png"), *expected);
    return testing::AssertionFailure()
           << name << ": " << fault << "\n  heard and seen in " << pathOf(name, ".actual.wav")
           << ", " << pathOf(name, ".actual.png") << " and " << pathOf(name, ".reference.png")
           << "\n  if the change is meant: LUMAVOX_UPDATE_GOLDEN=1 "
              "build/linux/tests/lumavox_golden_tests";
}

}  // namespace golden

#include "tests/render/ToolRun.h"

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ImageCodec.h"
#include "tools/lumavox-render/SpectrumFft.h"

namespace rendertest {
namespace {

std::string gTool, gPlugin;

std::string quoted(const std::string& text) {
    std::string q(1, '\'');
    for (char c : text) {
        if (c == '\'')
            q.append("'\\''");
        else
            q.push_back(c);
    }
    q.push_back('\'');
    return q;
}

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

const std::string& toolPath() {
    return gTool;
}
const std::string& pluginPath() {
    return gPlugin;
}

float Audio::peak() const {
    float p = 0.f;
    for (float x : samples)
        p = std::max(p, std::fabs(x));
    return p;
}

std::vector<float> Audio::left() const {
    std::vector<float> out;
    for (long i = 0; i < frames(); ++i)
        out.push_back(samples[static_cast<std::size_t>(i * channels)]);
    return out;
}

void ToolTest::SetUp() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("lumavox-render-" + std::to_string(getpid()) + "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
}

void ToolTest::TearDown() {
    if (HasFailure()) {
        std::printf("files kept in %s\n", folder_.c_str());
        return;
    }
    std::filesystem::remove_all(folder_);
    std::filesystem::remove(folder_.string() + ".out");
    std::filesystem::remove(folder_.string() + ".err");
}

ToolResult ToolTest::run(const std::vector<std::string>& args,
                         const std::vector<std::string>& env) const {
    std::vector<std::string> words = {"cd", folder_.string(), "&&", "env"};
    words.insert(words.end(), env.begin(), env.end());
    words.insert(words.end(), {toolPath(), "--plugin", pluginPath()});
    words.insert(words.end(), args.begin(), args.end());
    const std::string out = folder_.string() + ".out", err = folder_.string() + ".err";
    std::string command;
    for (const std::string& word : words) {
        command += word == "&&" ? word : quoted(word);
        command += ' ';
    }
    command.append(">").append(quoted(out)).append(" 2>").append(quoted(err));
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

void ToolTest::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
}

std::vector<std::uint8_t> ToolTest::read(const std::string& name) const {
    const std::string text = slurp(folder_ / name);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::string> ToolTest::files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Audio ToolTest::audio(const std::string& name) const {
    Audio a;
    SF_INFO info{};
    SNDFILE* file = sf_open(path(name).c_str(), SFM_READ, &info);
    if (!file) {
        ADD_FAILURE() << name << ": " << sf_strerror(nullptr);
        return a;
    }
    a.rate = info.samplerate;
    a.channels = info.channels;
    a.format = info.format;
    a.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, a.samples.data(), info.frames);
    sf_close(file);
    return a;
}

std::vector<std::uint8_t> bmpFile(int width, int height,
                                  const std::function<std::uint32_t(int, int)>& colour) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(colour(x, y) & 0xFFFFFF);
    return platform::encodeBmp(pixels.data(), width, height);
}

std::vector<double> onsets(const Audio& audio) {
    std::vector<float> level(static_cast<std::size_t>(audio.frames()), 0.f);
    for (std::size_t i = 0; i < level.size(); ++i)
        for (int c = 0; c < audio.channels; ++c)
            level[i] = std::max(level[i], std::fabs(audio.samples[i * audio.channels + c]));
    const float threshold = 0.1f * audio.peak();
    const auto gap = static_cast<long>(0.02 * audio.rate);
    std::vector<double> times;
    long lastLoud = -gap - 1;
    for (std::size_t i = 0; i < level.size(); ++i) {
        if (level[i] <= threshold) continue;
        if (static_cast<long>(i) - lastLoud > gap) times.push_back(double(i) / audio.rate);
        lastLoud = static_cast<long>(i);
    }
    return times;
}

double dominantFrequency(const Audio& audio, double start, double length) {
    constexpr int kSize = 4096;
    const std::vector<float> left = audio.left();
    std::vector<double> sum(kSize / 2, 0.0);
    const auto first = static_cast<std::size_t>(start * audio.rate);
    const auto last =
        std::min(left.size(), static_cast<std::size_t>((start + length) * audio.rate));
    const double pi = std::acos(-1.0);
    render::SpectrumFft fft(kSize);
    for (std::size_t at = first; at + kSize <= last; at += kSize / 2) {
        float frame[kSize], magnitudes[kSize / 2 + 1];
        for (int i = 0; i < kSize; ++i)
            frame[i] = left[at + static_cast<std::size_t>(i)] *
                       static_cast<float>(0.5 - 0.5 * std::cos(2 * pi * i / kSize));
        fft.magnitudes(frame, magnitudes);
        for (int k = 1; k < kSize / 2; ++k)
            sum[static_cast<std::size_t>(k)] += magnitudes[k];
    }
    const auto best = std::max_element(sum.begin() + 2, sum.end() - 1) - sum.begin();
    const double a = std::log(sum[best - 1] + 1e-12), b = std::log(sum[best] + 1e-12),
                 c = std::log(sum[best + 1] + 1e-12);
    const double offset = 0.5 * (a - c) / (a - 2 * b + c);
    return (static_cast<double>(best) + offset) * audio.rate / kSize;
}

}  // namespace rendertest

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string flag = argv[i];
        // The tool runs in a folder of each test's own.
        if (flag == "--tool") rendertest::gTool = std::filesystem::absolute(argv[++i]).string();
        if (flag == "--plugin") rendertest::gPlugin = std::filesystem::absolute(argv[++i]).string();
    }
    if (rendertest::gTool.empty() || rendertest::gPlugin.empty()) {
        std::fprintf(stderr, "usage: %s [gtest options] --tool PATH --plugin PATH\n", argv[0]);
        return 2;
    }
    return RUN_ALL_TESTS();
}

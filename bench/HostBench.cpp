// The instrument's costs as a host sees them. Every figure is timed through
// the plug-in's binary interface: the built Lumavox.so is loaded with dlopen
// and driven only through its AEffect record (effSetChunk, setParameter,
// processReplacing, the entry point), as a host drives it. The FFTW rebuild
// of the same picture runs in the same process and in every run, so the
// ratios compare like with like on a machine whose speed varies from minute
// to minute.
//
// A run measures every figure once, in turn; the program prints the median of
// the runs and their spread (lowest, highest, and the interquartile range as
// a share of the median). Ratios are taken run by run, then summarised.
//
//   lumavox_host_bench [--runs N] PATH/TO/Lumavox.so
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bench/FftwRebuild.h"
#include "tools/vsthost/PluginInstance.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 512;
constexpr int kRenderBlocks = 1000;  // 11.6 s of audio per run
constexpr unsigned kSeed = 7;

using Clock = std::chrono::steady_clock;

// ---- Timing: the wall clock (what a host waits) and the calling thread's CPU
// time (what other work on a shared machine does not inflate) ----

struct Timing {
    double wall, cpu;  // ms
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Time per call of f, over calls calls.
Timing timePerCall(int calls, const std::function<void(int)>& f) {
    const auto start = Clock::now();
    const double cpuStart = threadCpuMs();
    for (int i = 0; i < calls; ++i)
        f(i);
    const double cpu = threadCpuMs() - cpuStart;
    const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return {wall / calls, cpu / calls};
}

struct Series {
    std::vector<double> wall, cpu;
    void add(Timing t) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    Timing last() const { return {wall.back(), cpu.back()}; }
};

// ---- Statistics ----

struct Summary {
    double median, low, high, interquartile;
};

double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, v.size() - 1);
    return v[below] + (v[above] - v[below]) * (at - static_cast<double>(below));
}

Summary summarise(const std::vector<double>& v) {
    return {quantile(v, 0.5), *std::min_element(v.begin(), v.end()),
            *std::max_element(v.begin(), v.end()), quantile(v, 0.75) - quantile(v, 0.25)};
}

void printRow(const char* figure, const char* unit, const std::vector<double>& v) {
    const Summary s = summarise(v);
    std::printf("%-52s %10.3f %10.3f %10.3f %7.1f%%  %s\n", figure, s.median, s.low, s.high,
                100.0 * s.interquartile / s.median, unit);
}

// ---- The host side ----

class BenchHost : public vsthost::HostBehaviour {
  public:
    VstIntPtr onHostCall(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) override {
        return opcode == audioMasterVersion ? 2400 : 0;
    }
};

struct Plugin {
    BenchHost host;
    std::unique_ptr<vsthost::PluginInstance> instance;
};

std::unique_ptr<Plugin> create(const vsthost::PluginLibrary& library) {
    auto plugin = std::make_unique<Plugin>();
    std::string error;
    plugin->instance = vsthost::PluginInstance::create(library.entryPoint(), plugin->host, &error);
    if (!plugin->instance) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    plugin->instance->dispatch(effOpen);
    return plugin;
}

int parameterIndex(const vsthost::PluginInstance& p, std::string_view name) {
    for (int i = 0; i < p.effect()->numParams; ++i)
        if (p.stringOf(effGetParamName, i) == name) return i;
    std::fprintf(stderr, "the plug-in has no parameter %.*s\n", static_cast<int>(name.size()),
                 name.data());
    std::exit(1);
}

std::vector<std::uint8_t> getChunk(const vsthost::PluginInstance& p, bool program) {
    void* data = nullptr;
    const auto size = p.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

void setChunk(const vsthost::PluginInstance& p, std::vector<std::uint8_t>& chunk, bool program) {
    p.dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(chunk.size()), chunk.data());
}

// ---- Chunks, edited as bytes: the text strings and the picture block ----

// Where the string starting with prefix begins in the text section, or npos.
std::size_t findString(const std::vector<std::uint8_t>& chunk, std::string_view prefix) {
    std::size_t at = 4;
    while (at < chunk.size() && chunk[at] != 0) {
        const std::string_view s(reinterpret_cast<const char*>(chunk.data() + at));
        if (s.substr(0, prefix.size()) == prefix) return at;
        at += s.size() + 1;
    }
    return std::string_view::npos;
}

void setValue(std::vector<std::uint8_t>& chunk, const std::string& key, float value) {
    const std::size_t at = findString(chunk, key + "=");
    if (at == std::string_view::npos) {
        std::fprintf(stderr, "the chunk has no key %s\n", key.c_str());
        std::exit(1);
    }
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", std::bit_cast<std::uint32_t>(value));
    std::memcpy(chunk.data() + at + key.size() + 1, digits, 8);
}

void writePictures(std::vector<std::uint8_t>& chunk, const std::vector<std::uint32_t>& pixels,
                   int pictures) {
    std::size_t at = findString(chunk, "Spctr=") + 7;
    for (int p = 0; p < pictures; ++p)
        for (std::uint32_t pixel : pixels) {
            chunk[at++] = static_cast<std::uint8_t>(pixel);
            chunk[at++] = static_cast<std::uint8_t>(pixel >> 8);
            chunk[at++] = static_cast<std::uint8_t>(pixel >> 16);
        }
}

// Every pixel bright in both channels (red and green 160..255), blue at random.
std::vector<std::uint32_t> busyPicture() {
    std::mt19937 rng(kSeed);
    std::vector<std::uint32_t> picture(audio::kPicturePixels);
    for (auto& p : picture) {
        const std::uint32_t r = 160 + rng() % 96, g = 160 + rng() % 96, b = rng() % 256;
        p = r << 16 | g << 8 | b;
    }
    return picture;
}

// Range 1 (every row its own bin), linear, Fat 0.5, and every effect on.
struct ProgramValues {
    float tune, fat, spike, filter;
};
constexpr ProgramValues kBusyA{0.5f, 0.5f, 0.f, 1.f};
// The same with other rebuild values, so that loading one after the other
// changes every value a rebuild reads.
constexpr ProgramValues kBusyB{0.51f, 0.4f, 0.2f, 0.99f};

void setProgramValues(std::vector<std::uint8_t>& chunk, const std::string& prefix,
                      const ProgramValues& v) {
    const std::pair<const char*, float> values[] = {
        {"Tune", v.tune},   {"Range", 1.f},       {"Log", 0.f},      {"Fat", v.fat},
        {"Spike", v.spike}, {"Filter", v.filter}, {"Drive", 0.2f},   {"Tempo", 0.3f},
        {"DlyLv", 0.5f},    {"DlyFbk", 0.5f},     {"ChrsLv", 0.5f},  {"ChrsRat", 0.5f},
        {"RevLevel", 0.5f}, {"RevTime", 0.5f},    {"Release", 0.5f}, {"LoopOut", 1.f}};
    for (const auto& [name, value] : values)
        setValue(chunk, prefix + name, value);
}

audio::RebuildSettings settingsOf(const ProgramValues& v) {
    return {v.tune, 1.f, 0.f, v.fat, v.spike, v.filter};
}

// ---- Rendering ----

struct NoteList {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[8];
};

// Times real time: seconds of audio per second of wall clock and of CPU.
Timing renderTimesRealTime(const vsthost::PluginInstance& p) {
    std::vector<float> left(kBlock), right(kBlock);
    float* out[2] = {left.data(), right.data()};
    const Timing t =
        timePerCall(kRenderBlocks, [&](int) { p.processReplacing(nullptr, out, kBlock); });
    const double audioMs = 1000.0 * kBlock / kRate;
    return {audioMs / t.wall, audioMs / t.cpu};
}

void startEightNotes(const vsthost::PluginInstance& p) {
    VstMidiEvent notes[8] = {};
    NoteList list{8, 0, {}};
    for (int k = 0; k < 8; ++k) {
        notes[k].type = kVstMidiType;
        notes[k].byteSize = sizeof notes[k];
        notes[k].deltaFrames = k;
        notes[k].midiData[0] = static_cast<char>(0x90);
        notes[k].midiData[1] = static_cast<char>(48 + 3 * k);
        notes[k].midiData[2] = 100;
        list.events[k] = reinterpret_cast<VstEvent*>(&notes[k]);
    }
    p.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    p.dispatch(effSetBlockSize, 0, kBlock);
    p.dispatch(effMainsChanged, 0, 1);
    p.dispatch(effProcessEvents, 0, 0, &list);
    std::vector<float> left(kBlock), right(kBlock);
    float* out[2] = {left.data(), right.data()};
    for (int b = 0; b < 100; ++b)  // every voice past its attack
        p.processReplacing(nullptr, out, kBlock);
}

// ---- Memory ----

double residentMiB() {
    std::ifstream statm("/proc/self/statm");
    long total = 0, resident = 0;
    statm >> total >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

// ---- A first instance, in a process that has only just loaded the plug-in ----

// Loads the library in a child process and times the making of its first
// instance there (what a host pays when it opens a song); -1 when the child
// failed.
Timing firstInstanceInFreshProcess(const char* path) {
    int channel[2];
    if (pipe(channel) != 0) return {-1, -1};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        Timing t{-1, -1};
        std::string error;
        if (const auto library = vsthost::PluginLibrary::open(path, &error)) {
            std::unique_ptr<Plugin> made;
            t = timePerCall(1, [&](int) { made = create(*library); });
        }
        const ssize_t written = write(channel[1], &t, sizeof t);
        _exit(written == sizeof t ? 0 : 1);
    }
    close(channel[1]);
    Timing t{-1, -1};
    if (child < 0 || read(channel[0], &t, sizeof t) != sizeof t) t = {-1, -1};
    close(channel[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 21;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(3, std::atoi(argv[++i]));
        else
            path = argv[i];
    }
    if (!path) {
        std::fprintf(stderr, "usage: %s [--runs N] PATH/TO/Lumavox.so\n", argv[0]);
        return 2;
    }
    // Before this process loads the plug-in itself, so that each child starts fresh.
    Series firstInstance;
    for (int run = 0; run < runs; ++run)
        firstInstance.add(firstInstanceInFreshProcess(path));

    std::string error;
    const auto library = vsthost::PluginLibrary::open(path, &error);
    if (!library) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    // Resident memory first, in a process that has made no instance yet: four
    // instances made, then each rendering a second, then closed.
    constexpr int kInstances = 4;
    const double before = residentMiB();
    std::vector<std::unique_ptr<Plugin>> many;
    for (int i = 0; i < kInstances; ++i)
        many.push_back(create(*library));
    const double afterMaking = residentMiB();
    for (auto& p : many) {
        std::vector<float> left(kBlock), right(kBlock);
        float* out[2] = {left.data(), right.data()};
        p->instance->dispatch(effMainsChanged, 0, 1);
        for (int b = 0; b < kRate / kBlock; ++b)
            p->instance->processReplacing(nullptr, out, kBlock);
    }
    const double played = residentMiB();
    many.clear();

    // The chunks: a busy program in two variants, a bank of four busy
    // programs, and the factory bank as a new instance saves it.
    const std::vector<std::uint32_t> picture = busyPicture();
    std::vector<std::uint8_t> factoryBank, programA, programB, busyBank;
    {
        const auto fresh = create(*library);
        factoryBank = getChunk(*fresh->instance, false);
        programA = getChunk(*fresh->instance, true);
    }
    writePictures(programA, picture, 1);
    programB = programA;
    setProgramValues(programA, "", kBusyA);
    setProgramValues(programB, "", kBusyB);
    busyBank = factoryBank;
    writePictures(busyBank, picture, 4);
    for (int p = 0; p < 4; ++p) {
        char prefix[4];
        std::snprintf(prefix, sizeof prefix, "%02x", p);
        setProgramValues(busyBank, prefix, p % 2 ? kBusyB : kBusyA);
    }

    bench::FftwRebuild fftwRebuild;
    auto tables = std::make_unique<audio::WaveTableSet>();

    const auto editing = create(*library);  // the host's control thread's instance
    const vsthost::PluginInstance& edit = *editing->instance;
    setChunk(edit, programA, true);
    const int tune = parameterIndex(edit, "Tune");

    const auto playing = create(*library);
    setChunk(*playing->instance, programA, true);
    startEightNotes(*playing->instance);

    Series fftw, rebuild, program, bankFactory, bankBusy, getBank, creation, closing, realTime;
    Series chunkRatio, rebuildRatio;
    auto ratio = [](Timing a, Timing b) { return Timing{a.wall / b.wall, a.cpu / b.cpu}; };
    constexpr int kCalls = 4;  // per figure and run, alternating between two states
    for (int run = 0; run < runs; ++run) {
        fftw.add(timePerCall(kCalls, [&](int i) {
            fftwRebuild.run(picture.data(), settingsOf(i % 2 ? kBusyB : kBusyA), *tables);
        }));
        rebuild.add(timePerCall(
            kCalls, [&](int i) { edit.setParameter(tune, i % 2 ? kBusyA.tune : kBusyB.tune); }));
        program.add(
            timePerCall(kCalls, [&](int i) { setChunk(edit, i % 2 ? programA : programB, true); }));
        Timing factory{0, 0}, busy{0, 0};
        for (int i = 0; i < kCalls / 2; ++i) {
            const Timing f = timePerCall(1, [&](int) { setChunk(edit, factoryBank, false); });
            const Timing b = timePerCall(1, [&](int) { setChunk(edit, busyBank, false); });
            factory = {factory.wall + f.wall / (kCalls / 2), factory.cpu + f.cpu / (kCalls / 2)};
            busy = {busy.wall + b.wall / (kCalls / 2), busy.cpu + b.cpu / (kCalls / 2)};
        }
        bankFactory.add(factory);
        bankBusy.add(busy);
        getBank.add(timePerCall(kCalls, [&](int) { getChunk(edit, false); }));
        setChunk(edit, programA, true);

        std::unique_ptr<Plugin> made;
        creation.add(timePerCall(1, [&](int) { made = create(*library); }));
        closing.add(timePerCall(1, [&](int) { made.reset(); }));

        realTime.add(renderTimesRealTime(*playing->instance));
        chunkRatio.add(ratio(program.last(), fftw.last()));
        rebuildRatio.add(ratio(rebuild.last(), fftw.last()));
    }

    std::printf("Lumavox through its binary interface: %s\n", path);
    std::printf(
        "%d runs; busy picture: red and green 160..255 in every pixel (seed %u), "
        "Range 1, Fat 0.5, every effect on\n\n",
        runs, kSeed);
    for (const bool cpu : {false, true}) {
        std::printf("%s\n", cpu ? "CPU time of the calling thread"
                                : "wall clock, as the host waits for each call");
        std::printf("%-52s %10s %10s %10s %8s\n", "figure", "median", "lowest", "highest", "IQR");
        auto row = [cpu](const char* figure, const char* unit, const Series& series) {
            printRow(figure, unit, cpu ? series.cpu : series.wall);
        };
        row("FFTW rebuild of the busy picture", "ms", fftw);
        row("one rebuild: setParameter(Tune)", "ms", rebuild);
        row("effSetChunk, program form, busy program", "ms", program);
        row("  ratio effSetChunk program / FFTW rebuild", "x", chunkRatio);
        row("  ratio one rebuild / FFTW rebuild", "x", rebuildRatio);
        row("render 8 notes, every effect on, 44.1 kHz, 1 thread", "x real time", realTime);
        row("instance creation (entry point, factory bank)", "ms", creation);
        row("  the first instance in a process", "ms", firstInstance);
        row("instance close (effClose)", "ms", closing);
        row("effSetChunk, bank form, factory bank", "ms", bankFactory);
        row("effSetChunk, bank form, four busy programs", "ms", bankBusy);
        row("effGetChunk, bank form", "ms", getBank);
        std::printf("\n");
    }
    std::printf("%-52s %10.1f MiB\n", "resident memory per instance, made",
                (afterMaking - before) / kInstances);
    std::printf("%-52s %10.1f MiB\n", "resident memory per instance, after 1 s of audio",
                (played - before) / kInstances);
    return 0;
}

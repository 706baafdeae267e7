// Validator-style sessions through the plug-in's binary interface: the built
// Lumavox.so, driven only through its AEffect record the way plug-in checkers
// and careless hosts drive it. Each session is seeded: random requests with
// safe pointers, parameters far out of range, block sizes 1 to 4096, sample
// rates changed with and without a suspend, program changes while notes
// sound, MIDI storms, chunks saved and restored, damaged chunks, several
// instances at once, the editor opened and closed without a window. After
// every step every output sample must be finite and within the soft clip's
// range, processing must leave the host's buffer past the block alone, and
// every getParameter must answer within 0..1. A second test lets a control
// thread change parameters, programs and chunks while the audio thread plays;
// CI runs it under ThreadSanitizer.
//
// A failure names its seed. The environment steers a run:
//   LUMAVOX_TORTURE_SEED=N      first seed (default 1)
//   LUMAVOX_TORTURE_SESSIONS=N  sessions of each test (default 4, threaded 2)
//   LUMAVOX_TORTURE_STEPS=N     steps of a session (default 120, threaded 60)
// so LUMAVOX_TORTURE_SEED=17 LUMAVOX_TORTURE_SESSIONS=1 replays seed 17, and
// a larger LUMAVOX_TORTURE_SESSIONS soaks for longer.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/ScriptedHost.h"
#include "tests/support/EventList.h"
#include "tests/torture/Nasty.h"
#include "tests/torture/TortureHost.h"

namespace torture {
namespace {

constexpr int kMaxBlock = 4096;
constexpr int kGuard = 64;  // samples past the block that processing must not touch
constexpr float kUntouched = 1234.5f;
constexpr std::size_t kProgramChunkSize = 786949;
constexpr std::size_t kBankChunkSize = 3147784;
constexpr int kMaxInstances = 4;

int setting(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

vsthost::PluginLibrary& library() {
    static std::unique_ptr<vsthost::PluginLibrary> loaded = [] {
        // A damaged chunk makes the plug-in tell the user about unknown keys:
        // on standard error here, never in a dialog that waits for someone.
        setenv("LUMAVOX_MESSAGES", "stderr", 1);
        std::string error;
        auto l = vsthost::PluginLibrary::open(hosttest::pluginPath(), &error);
        if (!l) std::fprintf(stderr, "%s\n", error.c_str());
        return l;
    }();
    if (!loaded) std::abort();
    return *loaded;
}

// The first fault seen, from whichever thread saw it.
class Faults {
  public:
    void note(const std::string& what) {
        if (what.empty()) return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (first_.empty()) first_ = what;
        seen_.store(true, std::memory_order_relaxed);
    }
    bool any() const { return seen_.load(std::memory_order_relaxed); }
    std::string first() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return first_;
    }

  private:
    mutable std::mutex mutex_;
    std::string first_;
    std::atomic<bool> seen_{false};
};

struct Instance {
    TortureHost host;  // declared first: it outlives the plug-in instance
    std::unique_ptr<vsthost::PluginInstance> plugin;
    bool resumed = false;
};

std::unique_ptr<Instance> makeInstance(Nasty& nasty) {
    auto instance = std::make_unique<Instance>();
    instance->host.processLevel = nasty.between(0, 4);
    instance->host.canDoAnswer = nasty.between(-1, 1);
    instance->host.knowsTime = nasty.chance(0.8);
    instance->host.time.sampleRate = 44100;
    instance->host.time.tempo = 120;
    instance->host.time.flags = kVstTempoValid | kVstPpqPosValid | kVstTransportPlaying;
    std::string error;
    instance->plugin =
        vsthost::PluginInstance::create(library().entryPoint(), instance->host, &error);
    if (!instance->plugin) return nullptr;
    const vsthost::PluginInstance& p = *instance->plugin;
    p.dispatch(effOpen);
    p.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f);
    p.dispatch(effSetBlockSize, 0, nasty.between(1, kMaxBlock));
    if (nasty.chance(0.9)) {
        p.dispatch(effMainsChanged, 0, 1);
        instance->resumed = true;
    }
    return instance;
}

// The host's output buffers, with a guard zone past the largest block.
class Output {
  public:
    // Processes frames (any number, even 0 or negative) and answers what is
    // wrong with the result, or nothing.
    std::string process(const vsthost::PluginInstance& plugin, int frames) {
        for (auto* channel : {left_, right_})
            std::fill_n(channel, kMaxBlock + kGuard, kUntouched);
        float* outputs[2] = {left_, right_};
        float* inputs[2] = {left_, right_};  // no inputs are declared; a host may pass some
        plugin.processReplacing(inputs, outputs, frames);
        const int written = frames > 0 ? frames : 0;
        for (const float* channel : {left_, right_}) {
            for (int i = 0; i < written; ++i)
                if (!std::isfinite(channel[i]) || std::fabs(channel[i]) > 1.f)
                    return "sample " + std::to_string(i) + " of " + std::to_string(frames) +
                           " is " + std::to_string(channel[i]);
            for (int i = written; i < kMaxBlock + kGuard; ++i)
                if (channel[i] != kUntouched)
                    return "a block of " + std::to_string(frames) + " wrote sample " +
                           std::to_string(i);
        }
        return {};
    }

  private:
    float left_[kMaxBlock + kGuard];
    float right_[kMaxBlock + kGuard];
};

std::string parameterFault(const vsthost::PluginInstance& plugin) {
    for (int i = -2; i < 40; ++i) {
        const float v = plugin.getParameter(i);
        if (!(v >= 0.f && v <= 1.f))
            return "getParameter(" + std::to_string(i) + ") = " + std::to_string(v);
    }
    return {};
}

// Adds count events due within frames (and some not), most of them MIDI.
void addStorm(testsupport::EventList& events, Nasty& nasty, int count, int frames) {
    // Controllers of Tune, Range, Spike, Fat, Log and Filter (LoopIn and
    // LoopOut too) each ask the worker for a rebuild of the tables: they
    // come less often, so that rebuilds do not take all of the run.
    static constexpr int kControllers[] = {7, 10, 64, 0, 5, 71, 72, 123, 126, 0xFF, 1, 127};
    static constexpr int kRebuildingControllers[] = {14, 15, 16, 17, 18, 92};
    static constexpr char kDump[] = "\xF0\x7E\x7F\x09\x01\xF7";
    for (int k = 0; k < count; ++k) {
        const int delta = nasty.chance(0.9) ? nasty.between(0, frames > 0 ? frames - 1 : 0)
                                            : nasty.between(-100, frames + 5000);
        if (nasty.chance(0.03)) {
            VstMidiSysexEvent e{};
            e.type = kVstSysExType;
            e.byteSize = sizeof e;
            e.deltaFrames = delta;
            e.dumpBytes = static_cast<VstInt32>(sizeof kDump);
            e.sysexDump = const_cast<char*>(kDump);
            events.add(e);
            continue;
        }
        const int kind = nasty.between(0, 9);
        const int channel = nasty.between(0, 15);
        VstMidiEvent e;
        if (kind <= 3) {
            e = testsupport::midiEvent(delta, (nasty.chance(0.7) ? 0x90 : 0x80) | channel,
                                       nasty.between(0, 127), nasty.between(0, 127));
        } else if (kind <= 6) {
            const int controller =
                nasty.chance(0.1)
                    ? kRebuildingControllers[nasty.between(0, 5)]
                    : kControllers[nasty.between(0, static_cast<int>(std::size(kControllers)) - 1)];
            e = testsupport::midiEvent(delta, 0xB0 | channel, controller, nasty.between(0, 255));
        } else if (kind == 7) {
            e = testsupport::midiEvent(delta, 0xE0 | channel, nasty.between(0, 255),
                                       nasty.between(0, 255));
        } else {
            e = testsupport::midiEvent(delta, nasty.between(0, 255), nasty.between(0, 255),
                                       nasty.between(0, 255));
            e.midiData[3] = static_cast<char>(nasty.between(0, 255));
        }
        if (nasty.chance(0.03)) e.type = nasty.between(-1, 9);  // not MIDI, or not known
        e.detune = static_cast<char>(nasty.between(-128, 127));
        events.add(e);
    }
}

std::vector<std::uint8_t> saveChunk(const vsthost::PluginInstance& plugin, bool program,
                                    std::string* fault) {
    void* data = nullptr;
    const VstIntPtr size = plugin.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    const std::size_t expected = program ? kProgramChunkSize : kBankChunkSize;
    if (!data || size != static_cast<VstIntPtr>(expected)) {
        *fault = "getChunk answered " + std::to_string(size) + " bytes";
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return {bytes, bytes + size};
}

// A chunk as a damaged file or a confused host may hand it over.
std::vector<std::uint8_t> damage(std::vector<std::uint8_t> chunk, Nasty& nasty) {
    const int textEnd = 2100;  // past the text section of either form
    switch (nasty.between(0, 6)) {
        case 0:  // bytes of the text changed: unknown keys, broken values
            for (int k = nasty.between(1, 20); k > 0; --k)
                chunk[static_cast<std::size_t>(nasty.between(4, textEnd))] =
                    static_cast<std::uint8_t>(nasty.between(0, 255));
            break;
        case 1:  // cut short anywhere, even inside the ID
            chunk.resize(
                static_cast<std::size_t>(nasty.between(1, static_cast<int>(chunk.size()))));
            break;
        case 2: {  // a value that is no value (NaN, infinities, out of range, not hex)
            static constexpr const char* kValues[] = {
                "7fc00000", "7f800000", "ff800000", "bf800000", "4b000000", "zzzzzzzz", "00000001"};
            for (int k = nasty.between(1, 30); k > 0; --k) {
                const int at = nasty.between(4, textEnd);
                for (std::size_t i = static_cast<std::size_t>(at); i + 9 < chunk.size(); ++i) {
                    if (chunk[i] != '=') continue;
                    std::memcpy(&chunk[i + 1], kValues[nasty.between(0, 6)], 8);
                    break;
                }
            }
            break;
        }
        case 3:  // no string ends: the text runs into the pictures
            for (int i = 4; i < textEnd; ++i)
                if (chunk[static_cast<std::size_t>(i)] == 0)
                    chunk[static_cast<std::size_t>(i)] = 'A';
            break;
        case 4: {  // noise over a stretch of the pictures
            const int from = nasty.between(textEnd, static_cast<int>(chunk.size()) - 2);
            const int to =
                std::min(static_cast<int>(chunk.size()), from + nasty.between(1, 100000));
            for (int i = from; i < to; ++i)
                chunk[static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(nasty.between(0, 255));
            break;
        }
        case 5:  // someone else's chunk
            chunk[static_cast<std::size_t>(nasty.between(0, 3))] ^= 0x20;
            break;
        default:  // trailing garbage
            chunk.resize(chunk.size() + static_cast<std::size_t>(nasty.between(1, 5000)), 0xAB);
            break;
    }
    return chunk;
}

// One seeded session on up to kMaxInstances instances of the plug-in.
class Session {
  public:
    explicit Session(std::uint32_t seed) : nasty_(seed) {}

    // The first fault, with the step that showed it; empty when there is none.
    std::string run(int steps) {
        for (int k = nasty_.between(1, 3); k > 0; --k)
            if (!addInstance()) return "no instance was created";
        for (int step = 0; step < steps; ++step) {
            const char* action = nullptr;
            std::string fault = oneStep(&action);
            for (const auto& instance : instances_) {
                if (!fault.empty()) break;
                fault = parameterFault(*instance->plugin);
                if (fault.empty() && instance->host.badAutomations.load() > 0)
                    fault = "automation notice for no parameter of ours";
            }
            if (!fault.empty())
                return "step " + std::to_string(step) + " (" + action + "): " + fault;
        }
        for (auto& instance : instances_)
            if (instance->resumed) instance->plugin->dispatch(effMainsChanged, 0, 0);
        instances_.clear();
        return {};
    }

  private:
    bool addInstance() {
        auto instance = makeInstance(nasty_);
        if (!instance) return false;
        instances_.push_back(std::move(instance));
        return true;
    }
    Instance& anyInstance() {
        return *instances_[static_cast<std::size_t>(
            nasty_.between(0, static_cast<int>(instances_.size()) - 1))];
    }
    std::string play(Instance& instance, int frames) {
        return output_.process(*instance.plugin, frames);
    }
    std::string playStorm(Instance& instance, int count) {
        const int frames = nasty_.between(1, kMaxBlock);
        events_.clear();
        addStorm(events_, nasty_, count, frames);
        instance.plugin->dispatch(effProcessEvents, 0, 0, events_.get());
        return play(instance, frames);
    }

    std::string oneStep(const char** action) {
        Instance& instance = anyInstance();
        const vsthost::PluginInstance& p = *instance.plugin;
        const int pick = nasty_.between(0, 99);
        if (pick < 30) {
            *action = "blocks";
            for (int k = nasty_.between(1, 4); k > 0; --k) {
                const int frames = nasty_.chance(0.05)  ? nasty_.between(-3, 0)
                                   : nasty_.chance(0.5) ? nasty_.between(1, 300)
                                                        : nasty_.between(1, kMaxBlock);
                if (std::string fault = playStorm(instance, nasty_.between(0, 12)); !fault.empty())
                    return fault;
                if (std::string fault = play(instance, frames); !fault.empty()) return fault;
            }
            return {};
        }
        if (pick < 38) {
            *action = "MIDI storm";
            return playStorm(instance, nasty_.between(100, 700));
        }
        if (pick < 50) {
            *action = "parameters";  // a few at a time: each of six rebuilds the tables
            for (int k = nasty_.between(1, 8); k > 0; --k)
                p.setParameter(nasty_.integer(), nasty_.value());
            return play(instance, nasty_.between(1, kMaxBlock));
        }
        if (pick < 56) {
            *action = "program change during notes";
            events_.clear();
            for (int k = nasty_.between(1, 10); k > 0; --k)
                events_.add(testsupport::midiEvent(nasty_.between(0, 64), 0x90,
                                                   nasty_.between(20, 110), 100));
            p.dispatch(effProcessEvents, 0, 0, events_.get());
            if (std::string fault = play(instance, nasty_.between(64, kMaxBlock)); !fault.empty())
                return fault;
            p.dispatch(effSetProgram, 0,
                       nasty_.chance(0.8) ? nasty_.between(0, 3) : nasty_.integer());
            return play(instance, nasty_.between(1, kMaxBlock));
        }
        if (pick < 62) {
            *action = "sample rate";
            const bool suspend = instance.resumed && nasty_.chance(0.5);
            if (suspend) p.dispatch(effMainsChanged, 0, 0);
            p.dispatch(effSetSampleRate, 0, 0, nullptr, nasty_.sampleRate());
            if (nasty_.chance(0.5)) p.dispatch(effSetBlockSize, 0, nasty_.integer());
            if (suspend) p.dispatch(effMainsChanged, 0, 1);
            return playStorm(instance, nasty_.between(0, 20));
        }
        if (pick < 66) {
            *action = "time information";
            instance.host.knowsTime = nasty_.chance(0.8);
            instance.host.time.tempo = nasty_.tempo();
            instance.host.time.flags = nasty_.between(0, 0xFFFF);
            instance.host.time.samplePos = nasty_.value();
            instance.host.time.ppqPos = nasty_.value();
            return play(instance, nasty_.between(1, kMaxBlock));
        }
        if (pick < 76) {
            *action = "random requests";
            return randomRequests(instance);
        }
        if (pick < 81) {
            *action = "chunk round trip";
            return roundTrip(instance, anyInstance());
        }
        if (pick < 87) {
            *action = "damaged chunk";
            const bool program = nasty_.chance(0.5);
            std::string fault;
            std::vector<std::uint8_t> chunk = saveChunk(*anyInstance().plugin, program, &fault);
            if (!fault.empty()) return fault;
            chunk = damage(std::move(chunk), nasty_);
            if (p.dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(chunk.size()),
                           chunk.data()) != 1)
                return "setChunk of a damaged chunk did not answer 1";
            return playStorm(instance, nasty_.between(0, 30));
        }
        if (pick < 91) {
            *action = "editor";
            return editorLoop(p);
        }
        if (pick < 94) {
            *action = "suspend and resume";
            instance.resumed = !instance.resumed;
            p.dispatch(effMainsChanged, 0, instance.resumed ? 1 : 0);
            return play(instance, nasty_.between(1, kMaxBlock));
        }
        if (pick < 97 && instances_.size() < kMaxInstances) {
            *action = "new instance";
            if (!addInstance()) return "no instance was created";
            return play(*instances_.back(), nasty_.between(1, kMaxBlock));
        }
        *action = "close an instance";
        if (instances_.size() > 1) {
            const std::size_t which = static_cast<std::size_t>(
                nasty_.between(0, static_cast<int>(instances_.size()) - 1));
            if (nasty_.chance(0.5)) instances_[which]->plugin->dispatch(effMainsChanged, 0, 0);
            instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(which));
        }
        return {};
    }

    // Requests of every opcode but effClose, each with pointers that are
    // safe for what the opcode means: text where text is read, zeroed room
    // where something is written, real data where data is read.
    std::string randomRequests(Instance& instance) {
        const vsthost::PluginInstance& p = *instance.plugin;
        for (int k = nasty_.between(1, 20); k > 0; --k) {
            std::memset(scratch_, 0, sizeof scratch_);
            char* text = scratch_;  // text the plug-in reads: random, NUL-terminated
            for (int i = nasty_.between(0, 100); i > 0; --i)
                text[i - 1] = static_cast<char>(nasty_.between(1, 255));
            if (text[0] == 'X') text[0] = 'x';  // never the instrument's chunk ID
            char* room = scratch_ + 4096;       // zeroed room the plug-in may write into
            const VstInt32 opcode = nasty_.between(-2, 90);
            const VstInt32 index = nasty_.integer();
            VstIntPtr value = nasty_.integer();
            void* ptr = room;
            switch (opcode) {
                case effClose:
                    continue;
                case effSetProgramName:
                case effString2Parameter:
                case effCanDo:
                case effVendorSpecific:
                    ptr = text;
                    break;
                case effSetChunk:
                    ptr = text;
                    value = nasty_.between(1, 4096);
                    break;
                case effProcessEvents:
                    events_.clear();
                    addStorm(events_, nasty_, nasty_.between(0, 50), 512);
                    ptr = events_.get();
                    break;
                case effEditOpen:
                    ptr = nullptr;  // no window to open in: the editor must refuse
                    break;
                case effSetSpeakerArrangement:
                case effGetSpeakerArrangement:
                    value = reinterpret_cast<VstIntPtr>(room + 1024);
                    break;
                case effMainsChanged:
                    instance.resumed = value != 0;
                    break;
                default:
                    break;
            }
            const float opt = opcode == effSetSampleRate ? nasty_.sampleRate() : nasty_.value();
            const VstIntPtr answer = p.dispatch(opcode, index, value, ptr, opt);
            if (opcode == effEditOpen && answer != 0)
                return "the editor opened without a parent window";
            if (std::memchr(room, 0, 1024) == nullptr)
                return "opcode " + std::to_string(opcode) + " wrote an unterminated text";
        }
        return play(instance, nasty_.between(1, kMaxBlock));
    }

    std::string editorLoop(const vsthost::PluginInstance& p) {
        for (int k = nasty_.between(1, 5); k > 0; --k) {
            ERect* rect = nullptr;
            if (p.dispatch(effEditGetRect, 0, 0, &rect) && rect &&
                (rect->right <= rect->left || rect->bottom <= rect->top))
                return "the editor's rectangle is empty";
            if (p.dispatch(effEditOpen, 0, 0, nullptr) != 0)
                return "the editor opened without a parent window";
            p.dispatch(effEditIdle);
            p.dispatch(effEditKeyDown, 'a', 0, nullptr, 0.f);
            p.dispatch(effEditClose);
            p.dispatch(effEditIdle);
        }
        return {};
    }

    // What one instance saves, another (or the same) restores, and saves
    // again byte for byte. The target first selects the source's program:
    // the values of the current program pass setParameter, which puts a
    // stored value that is out of range (a damaged chunk's) back in range.
    std::string roundTrip(Instance& from, Instance& to) {
        const bool program = nasty_.chance(0.5);
        std::string fault;
        const std::vector<std::uint8_t> saved = saveChunk(*from.plugin, program, &fault);
        if (!fault.empty()) return fault;
        to.plugin->dispatch(effSetProgram, 0, from.plugin->dispatch(effGetProgram));
        if (to.plugin->dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(saved.size()),
                                const_cast<std::uint8_t*>(saved.data())) != 1)
            return "setChunk did not answer 1";
        const std::vector<std::uint8_t> again = saveChunk(*to.plugin, program, &fault);
        if (!fault.empty()) return fault;
        for (std::size_t i = 0; i < saved.size(); ++i)
            if (saved[i] != again[i])
                return std::string(program ? "program" : "bank") + " chunk differs at byte " +
                       std::to_string(i) + " after a round trip";
        return play(to, nasty_.between(1, kMaxBlock));
    }

    Nasty nasty_;
    std::vector<std::unique_ptr<Instance>> instances_;
    Output output_;
    testsupport::EventList events_;
    char scratch_[8192];
};

// Runs sessions seed after seed; the first fault fails the test with its seed.
void runSeeds(const char* kind, int defaultSessions, int defaultSteps,
              const std::function<std::string(std::uint32_t seed, int steps)>& session) {
    const int first = setting("LUMAVOX_TORTURE_SEED", 1);
    const int sessions = setting("LUMAVOX_TORTURE_SESSIONS", defaultSessions);
    const int steps = setting("LUMAVOX_TORTURE_STEPS", defaultSteps);
    for (int s = 0; s < sessions; ++s) {
        const auto seed = static_cast<std::uint32_t>(first + s);
        // Said first, so that even a crash names its seed.
        std::printf("%s, seed %u\n", kind, seed);
        std::fflush(stdout);
        const std::string fault = session(seed, steps);
        ASSERT_EQ(fault, "") << kind << ", seed " << seed
                             << " (replay: LUMAVOX_TORTURE_SEED=" << seed
                             << " LUMAVOX_TORTURE_SESSIONS=1)";
    }
}

TEST(Torture, SeededSessionsThroughTheBinaryInterface) {
    runSeeds("torture session", 4, 120,
             [](std::uint32_t seed, int steps) { return Session(seed).run(steps); });
}

// The audio thread plays two instances while a control thread changes their
// parameters and programs, saves their chunks and restores saved and damaged
// ones, as hosts do from their user-interface or automation threads.
std::string threadedSession(std::uint32_t seed, int operations) {
    Nasty setup(seed);
    std::unique_ptr<Instance> instances[2];
    for (auto& instance : instances) {
        instance = makeInstance(setup);
        if (!instance) return "no instance was created";
        if (!instance->resumed) instance->plugin->dispatch(effMainsChanged, 0, 1);
    }
    std::string fault;
    const std::vector<std::uint8_t> savedBank = saveChunk(*instances[1]->plugin, false, &fault);
    const std::vector<std::uint8_t> savedProgram = saveChunk(*instances[1]->plugin, true, &fault);
    if (!fault.empty()) return fault;

    Faults faults;
    std::atomic<bool> controlDone{false};
    std::thread audio([&] {
        Nasty nasty(seed * 2 + 1);
        auto output = std::make_unique<Output>();
        testsupport::EventList events;
        for (long blocks = 0; !faults.any() && (!controlDone || blocks < 50); ++blocks) {
            Instance& instance = *instances[blocks % 2];
            const int frames = nasty.between(1, kMaxBlock);
            events.clear();
            addStorm(events, nasty, nasty.between(0, 20), frames);
            instance.plugin->dispatch(effProcessEvents, 0, 0, events.get());
            if (std::string f = output->process(*instance.plugin, frames); !f.empty())
                faults.note("audio thread: " + f);
        }
    });
    std::thread control([&] {
        Nasty nasty(seed * 2 + 2);
        for (int k = 0; k < operations && !faults.any(); ++k) {
            const vsthost::PluginInstance& p = *instances[nasty.between(0, 1)]->plugin;
            std::string f;
            switch (nasty.between(0, 5)) {
                case 0:
                    for (int n = nasty.between(1, 8); n > 0; --n)
                        p.setParameter(nasty.integer(), nasty.value());
                    break;
                case 1:
                    p.dispatch(effSetProgram, 0, nasty.between(-1, 4));
                    break;
                case 2:
                    saveChunk(p, nasty.chance(0.5), &f);
                    break;
                case 3: {
                    const bool program = nasty.chance(0.5);
                    std::vector<std::uint8_t> chunk = program ? savedProgram : savedBank;
                    if (nasty.chance(0.5)) chunk = damage(std::move(chunk), nasty);
                    p.dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(chunk.size()),
                               chunk.data());
                    break;
                }
                case 4: {
                    char name[32] = {};
                    p.dispatch(effGetProgramNameIndexed, nasty.between(0, 3), 0, name);
                    char display[64] = {};
                    p.dispatch(effGetParamDisplay, nasty.between(0, 26), 0, display);
                    break;
                }
                default:
                    f = parameterFault(p);
                    break;
            }
            if (!f.empty()) faults.note("control thread: " + f);
        }
        controlDone = true;
    });
    control.join();
    audio.join();
    for (auto& instance : instances) {
        faults.note(parameterFault(*instance->plugin));
        if (instance->host.badAutomations.load() > 0)
            faults.note("automation notice for no parameter of ours");
    }
    return faults.first();
}

TEST(Torture, ControlThreadAgainstTheAudioThread) {
    runSeeds("threaded torture session", 2, 60, threadedSession);
}

}  // namespace
}  // namespace torture

#include "tools/lumavox-render/Renderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstddef>
#include <vector>

#include "tools/lumavox-render/ProgressBar.h"
#include "tools/lumavox-render/RenderError.h"

namespace render {
namespace {

// Lumavox queues at most 600 events per block; staying well below that also
// keeps any other plug-in's queue from overflowing on a dense file.
constexpr std::size_t kMaxEventsPerCall = 256;
constexpr double kSilenceLevel = 3.1622776e-5;  // -90 dBFS

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void requestStop(int) {
    gStopRequested = 1;
}

struct TimedEvent {
    std::uint64_t frame;
    const SongEvent* event;
};

// The VstEvents record with room for kMaxEventsPerCall pointers after its
// header, and the events it points at.
class EventBatch {
  public:
    EventBatch()
        : storage_(offsetof(VstEvents, events) / sizeof(VstIntPtr) + kMaxEventsPerCall),
          midi_(kMaxEventsPerCall) {}

    void clear() { count_ = 0; }
    void add(const SongEvent& e, int deltaFrames) {
        VstMidiEvent& m = midi_[count_];
        m = VstMidiEvent{};
        m.type = kVstMidiType;
        m.byteSize = sizeof(VstMidiEvent);
        m.deltaFrames = deltaFrames;
        for (int i = 0; i < e.size && i < 3; ++i)
            m.midiData[i] = static_cast<char>(e.bytes[i]);
        slots()[count_++] = reinterpret_cast<VstEvent*>(&m);
    }
    std::size_t size() const { return count_; }
    VstEvents* list() {
        auto* events = reinterpret_cast<VstEvents*>(storage_.data());
        events->numEvents = static_cast<VstInt32>(count_);
        events->reserved = 0;
        return events;
    }

  private:
    VstEvent** slots() {
        return reinterpret_cast<VstEvent**>(reinterpret_cast<char*>(storage_.data()) +
                                            offsetof(VstEvents, events));
    }
    std::vector<VstIntPtr> storage_;
    std::vector<VstMidiEvent> midi_;
    std::size_t count_ = 0;
};

std::uint64_t frameOf(const Song& song, std::uint64_t tick, double sampleRate) {
    return static_cast<std::uint64_t>(std::llround(song.tempo.secondsAt(tick) * sampleRate));
}

}  // namespace

double songSeconds(const Song& song) {
    return song.tempo.secondsAt(song.endTick);
}

RenderResult renderSong(PluginSession& session, const Song& song, const RenderSettings& settings,
                        const AudioSink& sink) {
    gStopRequested = 0;
    auto previousInt = std::signal(SIGINT, requestStop);
    auto previousTerm = std::signal(SIGTERM, requestStop);
    struct RestoreSignals {
        decltype(previousInt) i, t;
        ~RestoreSignals() {
            std::signal(SIGINT, i);
            std::signal(SIGTERM, t);
        }
    } restore{previousInt, previousTerm};

    const double rate = settings.sampleRate;
    std::vector<TimedEvent> events;
    events.reserve(song.events.size());
    for (const SongEvent& e : song.events)
        events.push_back({frameOf(song, e.tick, rate), &e});
    const std::uint64_t songEnd = frameOf(song, song.endTick, rate);
    const std::uint64_t end =
        songEnd + static_cast<std::uint64_t>(std::llround(settings.maxTailSeconds * rate));
    const auto quietWindow = std::max<std::uint64_t>(
        1, static_cast<std::uint64_t>(std::max(settings.quietWindowSeconds, 0.0) * rate));
    const auto keptQuiet =
        std::min(quietWindow, static_cast<std::uint64_t>(kKeptSilenceSeconds * rate));
    // A render too short for a fade of two frames or more has none.
    std::uint64_t fadeFrames =
        std::min<std::uint64_t>(static_cast<std::uint64_t>(kFadeSeconds * rate), end);
    if (fadeFrames < 2) fadeFrames = 0;

    const int outputs = session.effect().numOutputs;
    const int inputs = std::max(session.effect().numInputs, 0);
    const auto channels = static_cast<std::size_t>(outputs);
    const auto block = static_cast<std::size_t>(settings.blockSize);
    std::vector<std::vector<float>> outputBuffers(channels, std::vector<float>(block));
    std::vector<std::vector<float>> inputBuffers(static_cast<std::size_t>(inputs),
                                                 std::vector<float>(block));
    std::vector<float*> outputPointers, inputPointers;
    for (auto& b : outputBuffers)
        outputPointers.push_back(b.data());
    for (auto& b : inputBuffers)
        inputPointers.push_back(b.data());
    inputPointers.push_back(nullptr);  // never an empty array, even without inputs
    std::vector<float> ready;          // this block's frames for the sink
    std::vector<float> held;           // quiet frames past the kept silence, until sound returns
    std::vector<float> frame(channels);
    ready.reserve(block * channels);

    EventBatch batch;
    ProgressBar progress(settings.showProgress, songEnd, rate);
    RenderResult result;
    std::uint64_t position = 0, quietRun = 0;
    std::size_t next = 0;
    bool endedQuiet = false;
    while (position < end && !endedQuiet) {
        if (gStopRequested) throw RenderError("interrupted; nothing written");
        std::uint64_t frames = std::min<std::uint64_t>(block, end - position);
        batch.clear();
        // A block with too many events ends at the first one that does not fit.
        std::size_t last = next;
        while (last < events.size() && events[last].frame < position + frames) {
            if (last - next == kMaxEventsPerCall) {
                frames = std::max<std::uint64_t>(events[last].frame - position, 1);
                break;
            }
            ++last;
        }
        for (; next < last && events[next].frame < position + frames; ++next)
            batch.add(*events[next].event, static_cast<int>(events[next].frame - position));

        session.host().setPosition(static_cast<double>(position),
                                   song.tempo.positionAt(static_cast<double>(position) / rate));
        if (batch.size()) session.plugin().dispatch(effProcessEvents, 0, 0, batch.list());
        for (auto& b : outputBuffers)
            std::fill(b.begin(), b.end(), 0.f);
        session.plugin().processReplacing(inputPointers.data(), outputPointers.data(),
                                          static_cast<int>(frames));

        ready.clear();
        std::uint64_t rendered = frames;
        for (std::uint64_t i = 0; i < frames; ++i) {
            const std::uint64_t at = position + i;
            // The tail limit fades out over its last frames, down to 0 at the end.
            const float gain =
                fadeFrames && at + fadeFrames >= end
                    ? static_cast<float>(end - 1 - at) / static_cast<float>(fadeFrames - 1)
                    : 1.f;
            float loudest = 0.f;
            for (std::size_t c = 0; c < channels; ++c) {
                frame[c] = outputBuffers[c][i] * gain;
                loudest = std::max(loudest, std::fabs(frame[c]));
            }
            bool hold = false;
            if (at >= songEnd) {
                if (loudest >= kSilenceLevel) {
                    ready.insert(ready.end(), held.begin(), held.end());
                    held.clear();
                    quietRun = 0;
                } else if (++quietRun > keptQuiet) {
                    hold = true;
                }
            }
            std::vector<float>& to = hold ? held : ready;
            to.insert(to.end(), frame.begin(), frame.end());
            if (quietRun >= quietWindow) {
                rendered = i + 1;
                endedQuiet = true;
                break;
            }
        }
        position += rendered;
        if (position >= end && !endedQuiet) {
            // The tail limit came first: the file runs to it, faded.
            ready.insert(ready.end(), held.begin(), held.end());
            held.clear();
            result.reachedMaxTail = position > songEnd;
        }
        for (float x : ready) {
            const float magnitude = std::fabs(x);
            result.peak = std::max(result.peak, magnitude);
            if (magnitude >= 1.f) ++result.clipped;
        }
        const std::size_t readyFrames = ready.size() / channels;
        result.frames += readyFrames;
        result.samples += ready.size();
        if (readyFrames) sink(ready.data(), static_cast<long>(readyFrames), outputs);
        progress.update(position);
    }
    progress.finish();
    return result;
}

}  // namespace render

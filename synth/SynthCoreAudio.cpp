// The block loop. Design: the host's block is cut into sub-blocks of at most
// 2 ms (and at most 256 frames), so that every module works on fixed buffers,
// a control tick falls due at most once per sub-block, and MIDI events are
// applied between sub-blocks, within 2 ms of their frame. The tick is counted
// in 1/256 sample, so it comes exactly once per 2 ms of audio on average
// whatever the host's block sizes.
#include <climits>
#include <cmath>
#include <cstring>

#include "modules/SharedMath.h"
#include "platform/DenormalGuard.h"
#include "synth/SynthCore.h"

namespace synth {
namespace {

// Set for the span of the audio thread's render calls. Its address also
// tells threads apart: each thread has its own.
thread_local bool tRendering = false;

class RenderingScope {
  public:
    RenderingScope() : outer_(tRendering) { tRendering = true; }
    ~RenderingScope() { tRendering = outer_; }

  private:
    bool outer_;
};

}  // namespace

// Inside the render calls, or on the thread that makes them: hosts call
// setParameter for automation from their audio thread between two blocks.
// A host that renders offline (a bounce) is not in a hurry, and there a
// rebuild done at once makes every bounce sound the same.
bool SynthCore::onAudioThread() const {
    if (!tRendering && audioThread_.load(std::memory_order_relaxed) != &tRendering) return false;
    return const_cast<SynthCore*>(this)->callHost(audioMasterGetCurrentProcessLevel) !=
           kVstProcessLevelOffline;
}

void SynthCore::setSampleRate(float rate) {
    // A rate that is not a rate at all leaves everything as it was.
    if (!std::isfinite(rate) || rate <= 0.f) return;
    if (rate < kMinSampleRate) rate = kMinSampleRate;
    if (rate > kMaxSampleRate) rate = kMaxSampleRate;
    AudioEffectX::setSampleRate(rate);
    sampleRateHz_ = static_cast<int>(std::lround(rate));
    controlPeriod_ = sampleRateHz_ * 256 / 500;
    tickAccumulator_ = 0;
    maxSubBlock_ =
        controlPeriod_ / 256 < audio::kMaxFrames ? controlPeriod_ / 256 : audio::kMaxFrames;
    modules_.setSampleRate(sampleRateHz_);
}

void SynthCore::setBlockSize(VstInt32 size) {
    AudioEffectX::setBlockSize(size);
}

void SynthCore::resume() {
    AudioEffectX::resume();
    if (askedForTimeInfo_) return;
    askedForTimeInfo_ = true;
    canHostDo("sendVstTimeInfo");
}

// The delay base is one whole note (four beats) at the host's tempo, so the
// delay's note values follow the song; without a usable tempo, 120 BPM.
void SynthCore::updateDelayBase() {
    double tempo = 120.0;
    if (const VstTimeInfo* time = getTimeInfo(kVstPpqPosValid | kVstTempoValid)) {
        if ((time->flags & kVstTempoValid) && std::isfinite(time->tempo) && time->tempo > 0.0)
            tempo = time->tempo;
    }
    const double base = static_cast<double>(sampleRateHz_) * 240.0 / tempo;
    delayBase_ = base >= kMaxDelayBase ? kMaxDelayBase : static_cast<int>(base);
}

void SynthCore::renderSubBlock(float* left, float* right, int frames, int tick) noexcept {
    modules_.process(frames, tick);
    math::softClipFrames(modules_.chainOutput->samples, left, right, frames);
}

void SynthCore::processReplacing(float** /*inputs*/, float** outputs, VstInt32 frames) {
    if (frames <= 0 || !outputs || !outputs[0] || !outputs[1]) return;
    audioThread_.store(&tRendering, std::memory_order_relaxed);
    RenderingScope rendering;
    platform::DenormalGuard flushDenormals;
    float* left = outputs[0];
    float* right = outputs[1];
    while (frames > 0) {
        updateDelayBase();
        const int m = frames < maxSubBlock_ ? frames : maxSubBlock_;
        const int tick = tickAccumulator_ / controlPeriod_;
        renderSubBlock(left, right, m, tick);
        left += m;
        right += m;
        if (tick) voices_.controlStep();
        while (tickAccumulator_ >= controlPeriod_)
            tickAccumulator_ -= controlPeriod_;
        tickAccumulator_ += 256 * m;
        blockPosition_ = blockPosition_ > INT_MAX - m ? INT_MAX : blockPosition_ + m;
        applyDueEvents();
        frames -= m;
    }
}

void SynthCore::applyDueEvents() {
    while (!events_.empty() && events_.front().deltaFrames <= blockPosition_) {
        applyEvent(events_.front());
        events_.pop();
    }
}

VstInt32 SynthCore::processEvents(VstEvents* list) {
    RenderingScope rendering;
    // Whatever the last block left over is due by now.
    while (!events_.empty()) {
        applyEvent(events_.front());
        events_.pop();
    }
    events_.clear();
    blockPosition_ = 0;
    const int count = list && list->numEvents > 0 ? list->numEvents : 0;
    for (int i = 0; i < count && !events_.full(); ++i) {
        const VstEvent* event = list->events[i];
        if (!event || event->type != kVstMidiType) continue;
        VstMidiEvent copy;
        std::memcpy(&copy, event, sizeof copy);
        events_.push(copy);
    }
    return 1;
}

void SynthCore::applyEvent(const VstMidiEvent& event) {
    const int status = static_cast<unsigned char>(event.midiData[0]) & 0xF0;
    const int d1 = static_cast<unsigned char>(event.midiData[1]);
    const int d2 = static_cast<unsigned char>(event.midiData[2]);
    switch (status) {
        case 0x80:
        case 0x90: {
            const int key = d1 & 0x7F;
            const int velocity = d2 & 0x7F;
            if (status == 0x80 || velocity == 0)
                voices_.noteOff(key);
            else
                voices_.noteOn(key, velocity);
            break;
        }
        case 0xB0: {
            const float value = static_cast<float>(d2 & 0x7F) / 127.f;
            controllerMap_->apply(d1, value, *this);
            if (d1 == 64) voices_.setSustain(d2 & 0x7F);
            if (d1 == 123 || d1 == 126) voices_.resetVoices();
            break;
        }
        case 0xE0:
            voices_.pitchBend(d1, d2);
            break;
        default:
            break;  // pressure, program change and system messages are not ours
    }
}

}  // namespace synth

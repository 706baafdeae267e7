// A stand-in instrument for the tests of the render tool as a host, loaded
// through the same entry point as Lumavox: a sine per held note, applied at
// the exact frame of its event so timing can be checked to the sample, and
// empty chunks (what a plug-in without state support gives). With
// LUMAVOX_FAKE_LOG set it appends every call it gets from the host to that
// file.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "vst2/AudioEffectX.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Voice {
    int key = -1;
    double phase = 0.0;
    double step = 0.0;
};

class FakeSynth : public AudioEffectX {
  public:
    explicit FakeSynth(audioMasterCallback master) : AudioEffectX(master, 4, 1) {
        setUniqueID(vstFourCC('L', 'M', 'V', 'X'));
        setNumInputs(0);
        setNumOutputs(2);
        isSynth();
        programsAreChunks(true);
        canProcessReplacing(true);
        const char* messages = std::getenv("LUMAVOX_MESSAGES");
        log("messages %s", messages ? messages : "(unset)");
    }

    void open() override { log("open"); }
    void close() override { log("close"); }
    void resume() override {
        log("mains 1");
        log("processLevel %d", static_cast<int>(callHost(audioMasterGetCurrentProcessLevel)));
        AudioEffectX::resume();
    }
    void suspend() override { log("mains 0"); }
    void setSampleRate(float rate) override {
        AudioEffectX::setSampleRate(rate);
        log("sampleRate %g", static_cast<double>(rate));
    }
    void setBlockSize(VstInt32 size) override {
        AudioEffectX::setBlockSize(size);
        log("blockSize %d", size);
    }
    void getParameterName(VstInt32, char* text) override { std::strcpy(text, "Volume"); }

    VstInt32 processEvents(VstEvents* events) override {
        pending_.clear();
        std::string deltas;
        for (int i = 0; i < events->numEvents; ++i) {
            if (events->events[i]->type != kVstMidiType) continue;
            pending_.push_back(*reinterpret_cast<VstMidiEvent*>(events->events[i]));
            deltas += ' ';
            deltas += std::to_string(pending_.back().deltaFrames);
        }
        log("events %zu%s", pending_.size(), deltas.c_str());
        return 1;
    }

    void processReplacing(float**, float** outputs, VstInt32 frames) override {
        if (const VstTimeInfo* t = getTimeInfo(kVstTempoValid | kVstPpqPosValid))
            log("time %.0f %.6f %.6f %d", t->samplePos, t->ppqPos, t->tempo, t->flags);
        std::size_t next = 0;
        for (VstInt32 i = 0; i < frames; ++i) {
            for (; next < pending_.size() && pending_[next].deltaFrames <= i; ++next)
                apply(pending_[next]);
            float sum = 0.f;
            for (Voice& v : voices_) {
                if (v.key < 0) continue;
                sum += 0.1f * static_cast<float>(std::sin(v.phase));
                v.phase = std::fmod(v.phase + v.step, 2.0 * kPi);
            }
            outputs[0][i] = outputs[1][i] = sum;
        }
        for (; next < pending_.size(); ++next)
            apply(pending_[next]);
        pending_.clear();
    }

  private:
    __attribute__((format(printf, 2, 3))) void log(const char* format, ...) {
        const char* path = std::getenv("LUMAVOX_FAKE_LOG");
        if (!path) return;
        if (std::FILE* f = std::fopen(path, "a")) {
            va_list args;
            va_start(args, format);
            std::vfprintf(f, format, args);
            va_end(args);
            std::fputc('\n', f);
            std::fclose(f);
        }
    }

    void apply(const VstMidiEvent& e) {
        const int status = e.midiData[0] & 0xF0, key = e.midiData[1] & 0x7F;
        const bool on = status == 0x90 && (e.midiData[2] & 0x7F) > 0;
        for (Voice& v : voices_) {
            if (on && v.key < 0) {
                v = {key, 0.0, 2.0 * kPi * 440.0 * std::pow(2.0, (key - 69) / 12.0) / sampleRate};
                return;
            }
            if (!on && (status == 0x80 || status == 0x90) && v.key == key) v.key = -1;
        }
    }

    Voice voices_[16];
    std::vector<VstMidiEvent> pending_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(
    audioMasterCallback master) {
    if (!master || master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.f) == 0) return nullptr;
    return (new FakeSynth(master))->getAeffect();
}

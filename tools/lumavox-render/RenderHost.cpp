#include "tools/lumavox-render/RenderHost.h"

#include <cstring>

namespace render {
namespace {

// Host requests outside the names our interface header gives.
constexpr VstInt32 kAudioMasterGetLanguage = 38;
constexpr VstIntPtr kLanguageEnglish = 1;
constexpr VstIntPtr kProcessLevelOffline = 4;

void copyText(void* ptr, const char* text) {
    if (!ptr) return;
    // Hosts hand 64-byte buffers for these strings.
    std::strncpy(static_cast<char*>(ptr), text, kVstMaxVendorStrLen - 1);
    static_cast<char*>(ptr)[kVstMaxVendorStrLen - 1] = 0;
}

}  // namespace

RenderHost::RenderHost(double sampleRate, int blockSize)
    : sampleRate_(sampleRate), blockSize_(blockSize) {
    time_.sampleRate = sampleRate;
    time_.tempo = 120.0;
    time_.timeSigNumerator = 4;
    time_.timeSigDenominator = 4;
    time_.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
}

void RenderHost::setPosition(double samplePos, const MusicalPosition& position) {
    time_.samplePos = samplePos;
    time_.ppqPos = position.quarters;
    time_.tempo = position.bpm;
    time_.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid |
                  (started_ ? 0 : kVstTransportChanged);
    started_ = true;
}

VstIntPtr RenderHost::onHostCall(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetTime:
            return reinterpret_cast<VstIntPtr>(&time_);
        case audioMasterGetSampleRate:
            return static_cast<VstIntPtr>(sampleRate_);
        case audioMasterGetBlockSize:
            return blockSize_;
        case audioMasterGetCurrentProcessLevel:
            return kProcessLevelOffline;
        case kAudioMasterGetLanguage:
            return kLanguageEnglish;
        case audioMasterGetVendorString:
            copyText(ptr, "Lumavox");
            return 1;
        case audioMasterGetProductString:
            copyText(ptr, "lumavox-render");
            return 1;
        case audioMasterGetVendorVersion:
            return 1000;
        case audioMasterCanDo: {
            const char* what = static_cast<const char*>(ptr);
            if (!what) return 0;
            for (const char* yes : {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo"})
                if (std::strcmp(what, yes) == 0) return 1;
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace render

#include "instrument/Lumavox.h"

#include "instrument/ParameterTable.h"
#include "vst2/AEffEditor.h"

namespace lumavox {

Lumavox::Lumavox(audioMasterCallback hostCallback) : Lumavox(hostCallback, kParameterTable) {}

Lumavox::Lumavox(audioMasterCallback hostCallback, const synth::ParameterDefinition* table)
    : SynthCore(hostCallback, kNumHostParameters, table, {"Lumavox", "Lumavox", "Orvane"}) {
    setUniqueID(kUniqueId);
    spectrogram_ = std::make_unique<audio::MoSpectrogram>(*this);
    envelope_ = std::make_unique<audio::MoEgAR>(*this);
    effect_ = std::make_unique<audio::MoEffect>(*this);
    bindModules();
    {
        // The bank's values and then program 0's arrive one by one; the
        // tables are built once, from where they end up.
        const auto batch = spectrogram_->batchRebuilds();
        loadFactoryBank();
        setProgram(0);
    }
    setSampleRate(44100.f);
}

Lumavox::~Lumavox() {
    // A host may close the instance with its editor still open: the window
    // goes first, while everything it shows is still here.
    if (AEffEditor* e = getEditor()) e->close();
    // The worker may be rebuilding the oscillator's tables: let it finish
    // before the modules go.
    stopDeferredWork();
    spectrogram_.reset();
    envelope_.reset();
    effect_.reset();
}

void Lumavox::bindModules() {
    audio::MoSpectrogram& s = *spectrogram_;
    s.pitch = voices().outputPitch;
    s.trigger = voices().trigger;
    s.start = bindParameter("Start");
    s.tempo = bindParameter("Tempo");
    s.range = bindParameter("Range");
    s.tune = bindParameter("Tune");
    s.fat = bindParameter("Fat");
    s.spike = bindParameter("Spike");
    s.tool = bindParameter("Tool");
    s.penSize = bindParameter("PenSiz");
    s.density = bindParameter("Densit");
    s.waveDisplay = bindParameter("WavDsp");
    s.log = bindParameter("Log");
    s.drive = bindParameter("Drive");
    s.help = bindParameter("Help");
    s.color = bindParameter("Color");
    s.loopIn = bindParameter("LoopIn");
    s.loopOut = bindParameter("LoopOut");
    s.filter = bindParameter("Filter");

    audio::MoEgAR& e = *envelope_;
    e.gate = voices().heldLevel;
    e.attack = bindParameter("Attack");
    e.release = bindParameter("Release");
    s.envelope = e.levels();

    audio::MoEffect& fx = *effect_;
    fx.input = &s.output;
    fx.chorusRate = bindParameter("ChrsRat");
    fx.chorusLevel = bindParameter("ChrsLv");
    fx.delayTime = bindParameter("DlyTime");
    fx.delayFeedback = bindParameter("DlyFbk");
    fx.delayLevel = bindParameter("DlyLv");
    fx.volume = bindParameter("Volume");
    fx.pan = bindParameter("Pan");
    fx.reverbTime = bindParameter("RevTime");
    fx.reverbLevel = bindParameter("RevLevel");
    fx.reverbStereo = bindParameter("RevStereo");

    modules().chainOutput = &fx.output;
    s.finalOutput = &fx.output;

    voices().glide = bindParameter("Glide");
    voices().mono = bindParameter("Mono");
    voices().bendRange = bindParameter("BndRng");
    voices().envelopeLevel = e.levels();
}

}  // namespace lumavox

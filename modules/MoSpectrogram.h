// The sound source: owns the four program pictures, rebuilds wave tables
// from the current one and plays them for eight voices, and draws the wave
// display of the final output.
//
// Threads. Rebuilds and picture edits run on the thread that asks for them
// (host or editor), serialised by one mutex that the audio thread never
// takes; a rebuild asked for on the audio thread (a MIDI controller moved
// Tune) is handed to the instance's worker. Finished tables reach playback
// through a triple buffer, so playback never sees a half-built column and
// never waits; likewise the display pictures reach the editor.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "modules/CpuFeatures.h"
#include "modules/Module.h"
#include "modules/SpectralRebuild.h"
#include "modules/TripleBuffer.h"
#include "modules/WaveDisplay.h"
#include "modules/WaveTables.h"
#include "modules/ZeroedArray.h"

namespace audio {

constexpr int kNumPictures = 4;

class MoSpectrogram : public Module {
  public:
    explicit MoSpectrogram(ModuleHost& host);
    ~MoSpectrogram() override;

    void programChanged(int program) override;
    void parameterChanged(int index, float value) override;
    void process(int frames, int ticks) noexcept override;
    void setProgramLoading(int loading) override;
    void runDeferredWork() override;

    // Control threads. Each takes the picture lock itself. A rebuild with
    // the parameters and the picture of the tables in use builds nothing.
    void rebuild();
    // Any thread: the pictures or the rebuild parameters changed. Rebuilds
    // now; at the end of this thread's open batch, if there is one; or, on
    // the audio thread, on the instance's worker.
    void requestRebuild();
    void invert();
    void monochrome();
    // Asks "BitMap Clear?" first; Cancel changes nothing.
    void clear();

    // Exclusive access to the pictures for editing, saving and loading
    // (control threads only). Pixels are 0xAARRGGBB, rows top-down.
    class PictureAccess {
      public:
        std::uint32_t* picture(int program) { return owner_.pictures_[program].pixels; }
        std::uint32_t* current() { return picture(owner_.currentProgram()); }
        // Rebuilds without releasing the lock (after the caller's edit).
        void rebuild() { owner_.rebuildLocked(); }

      private:
        friend class MoSpectrogram;
        // Whoever takes the pictures may change them: the next rebuild runs
        // even with the same parameters.
        explicit PictureAccess(MoSpectrogram& owner) : owner_(owner), lock_(owner.editMutex_) {
            owner_.picturesTouched_ = true;
        }

      public:
        ~PictureAccess() { owner_.pictureRevision_.fetch_add(1, std::memory_order_release); }
        PictureAccess(PictureAccess&&) = default;

      private:
        MoSpectrogram& owner_;
        std::unique_lock<std::mutex> lock_;
    };
    PictureAccess pictures() { return PictureAccess(*this); }

    // Editor thread: a copy of a program's picture, taken only when no edit
    // or rebuild holds the pictures (false then, nothing copied), so that
    // drawing never waits. revision is the picture's revision copied.
    bool tryCopyPicture(int program, std::uint32_t* out, std::uint32_t& revision);
    // Changes whenever someone has had the pictures to change them.
    std::uint32_t pictureRevision() const {
        return pictureRevision_.load(std::memory_order_acquire);
    }

    // Shared reading of the pictures (saving them): what is only read does
    // not make the next rebuild build again.
    class PictureReader {
      public:
        const std::uint32_t* picture(int program) const { return owner_.pictures_[program].pixels; }

      private:
        friend class MoSpectrogram;
        explicit PictureReader(MoSpectrogram& owner) : owner_(owner), lock_(owner.editMutex_) {}
        MoSpectrogram& owner_;
        std::unique_lock<std::mutex> lock_;
    };
    PictureReader readPictures() { return PictureReader(*this); }

    // Control threads: while one is open, the rebuilds that this thread asks
    // for through requestRebuild (and the parameter and program changes that
    // ask for them) gather into one, run when the outermost batch of this
    // thread closes. So a state change that sets many values rebuilds once,
    // after all of them. Other threads' requests are not held back.
    class RebuildBatch {
      public:
        ~RebuildBatch();
        RebuildBatch(const RebuildBatch&) = delete;
        RebuildBatch& operator=(const RebuildBatch&) = delete;

      private:
        friend class MoSpectrogram;
        explicit RebuildBatch(MoSpectrogram& owner);
        MoSpectrogram& owner_;
        RebuildBatch* outer_;  // the batch this thread opened before, of any module
        bool pending_ = false;
    };
    RebuildBatch batchRebuilds() { return RebuildBatch(*this); }

    int currentProgram() const { return currentProgram_.load(std::memory_order_relaxed); }
    bool programLoading() const { return programLoading_.load(std::memory_order_relaxed) != 0; }
    int rebuildCount() const { return rebuildCount_.load(std::memory_order_relaxed); }
    // The tables of the latest rebuild; read them only while no rebuild runs.
    const WaveTableSet& latestTables() const { return tableSets_[tables_.lastPublished()]; }

    // Editor thread: the newest display picture (fresh: newer than the last one given).
    const std::uint32_t* displayPicture() { return display_.latest(); }
    const std::uint32_t* displayPicture(bool& fresh) { return display_.latest(fresh); }

    // Tests: play with the SSE2 form even where the processor has AVX2 (the
    // two give the same samples). Audio thread, or while nothing plays.
    void useAvx2(bool on) { avx2_ = on && math::cpuHasAvx2(); }

    // Playback state of a voice, for inspection.
    float position(int voice) const { return position_[voice]; }
    float step(int voice) const { return step_[voice]; }

    // Inputs, bound by the instrument.
    BufferInput finalOutput = &silent::buffer;
    VoiceInput pitch = silent::voices;
    VoiceInput trigger = silent::voices;
    VoiceInput envelope = silent::voices;
    ValueInput start = &silent::value;
    ValueInput tempo = &silent::value;
    ValueInput range = &silent::value;
    ValueInput tune = &silent::value;
    ValueInput fat = &silent::value;
    ValueInput spike = &silent::value;
    ValueInput tool = &silent::value;
    ValueInput penSize = &silent::value;
    ValueInput density = &silent::value;
    ValueInput waveDisplay = &silent::value;
    ValueInput log = &silent::value;
    ValueInput drive = &silent::value;
    ValueInput help = &silent::value;
    ValueInput color = &silent::value;
    ValueInput loopIn = &silent::value;
    ValueInput loopOut = &silent::value;
    ValueInput filter = &silent::value;

    StereoBuffer output;

  private:
    // This thread's outermost open batch of this module, or null.
    RebuildBatch* openBatch();
    void rebuildLocked();
    void controlStep(int ticks);
    void renderVoices(int first, int frames, const WaveTableSet& tables, float gain,
                      const int* active, float (*out)[2][4]) noexcept;
    // All eight voices and their mix into the output port (MoSpectrogramAvx2.cpp).
    void renderAndMixAvx2(int frames, const WaveTableSet& tables, float gain,
                          const int* active) noexcept;
    bool avx2_ = math::cpuHasAvx2();

    std::atomic<int> currentProgram_{0};
    std::atomic<int> programLoading_{0};
    std::atomic<bool> rebuildPending_{false};
    std::atomic<int> rebuildCount_{0};
    std::atomic<std::uint32_t> pictureRevision_{0};
    int rebuildParameters_[6];  // indices of Tune, Range, Fat, Spike, Log, Filter

    // Playback state of the eight voices (audio thread).
    // Arrays of all eight voices; four at a time are processed as SIMD lanes.
    float phase_[kVoices] = {};
    float grainColumnA_[kVoices] = {};
    float grainColumnB_[kVoices] = {};
    float step_[kVoices] = {};
    float position_[kVoices] = {};
    float envelopeCurrent_[kVoices] = {};
    float envelopeStep_[kVoices] = {};

    std::mutex editMutex_;  // pictures and rebuilds; never taken by the audio thread
    // What the published tables were built from (guarded by editMutex_): a
    // rebuild of the same picture with the same parameters is skipped, since
    // it would give the same tables.
    bool picturesTouched_ = true;
    int builtProgram_ = -1;
    RebuildSettings builtSettings_;
    ZeroedArray<Picture> pictures_;
    // Three slots of the triple buffer. Each is written by a rebuild before
    // playback reads it (the instrument rebuilds once while it is made), so
    // the two spare ones cost nothing until rebuilds come to need them.
    ZeroedArray<WaveTableSet> tableSets_;
    TripleBuffer tables_;
    WaveDisplay display_;
};

}  // namespace audio

#include "modules/MoSpectrogram.h"

#include <emmintrin.h>

#include <algorithm>

#include "modules/SharedMath.h"

namespace audio {
namespace {

constexpr const char* kRebuildParameterNames[] = {"Tune", "Range", "Fat", "Spike", "Log", "Filter"};
constexpr float kOutputLevel = 0.7f;
constexpr int kGrainStep = 256;  // table samples a grain steps back: four periods

}  // namespace

MoSpectrogram::MoSpectrogram(ModuleHost& host)
    : Module(host), pictures_(host, kNumPictures), tableSets_(host, 3), display_(host) {
    for (int i = 0; i < 6; ++i)
        rebuildParameters_[i] = owner.parameterIndex(kRebuildParameterNames[i]);
}

MoSpectrogram::~MoSpectrogram() = default;

// ---- Rebuilds and edits (control threads) ----

void MoSpectrogram::programChanged(int program) {
    currentProgram_.store(std::clamp(program, 0, kNumPictures - 1), std::memory_order_relaxed);
    requestRebuild();
}

void MoSpectrogram::parameterChanged(int index, float) {
    if (std::find(std::begin(rebuildParameters_), std::end(rebuildParameters_), index) !=
        std::end(rebuildParameters_))
        requestRebuild();
}

void MoSpectrogram::setProgramLoading(int loading) {
    programLoading_.store(loading, std::memory_order_relaxed);
    if (!loading) requestRebuild();
}

namespace {
// The batches this thread has open, innermost first, whatever their module.
thread_local MoSpectrogram::RebuildBatch* tOpenBatches = nullptr;
}  // namespace

MoSpectrogram::RebuildBatch::RebuildBatch(MoSpectrogram& owner)
    : owner_(owner), outer_(tOpenBatches) {
    tOpenBatches = this;
}

MoSpectrogram::RebuildBatch::~RebuildBatch() {
    tOpenBatches = outer_;
    if (pending_) owner_.requestRebuild();
}

MoSpectrogram::RebuildBatch* MoSpectrogram::openBatch() {
    RebuildBatch* outermost = nullptr;
    for (RebuildBatch* b = tOpenBatches; b; b = b->outer_)
        if (&b->owner_ == this) outermost = b;
    return outermost;
}

// The audio thread's requests need no batch: they only set a flag, and the
// worker's one rebuild answers all that came before it.
void MoSpectrogram::requestRebuild() {
    if (programLoading()) return;
    if (owner.onAudioThread()) {
        rebuildPending_.store(true, std::memory_order_release);
        owner.requestDeferredWork();
    } else if (RebuildBatch* batch = openBatch()) {
        batch->pending_ = true;
    } else {
        rebuild();
    }
}

void MoSpectrogram::runDeferredWork() {
    if (rebuildPending_.exchange(false, std::memory_order_acq_rel)) rebuild();
}

void MoSpectrogram::rebuild() {
    // Not through pictures(): that would count as an edit and defeat the
    // check for unchanged parameters.
    const std::lock_guard<std::mutex> lock(editMutex_);
    rebuildLocked();
}

void MoSpectrogram::rebuildLocked() {
    if (programLoading()) return;
    RebuildSettings settings;
    settings.tune = read(tune);
    settings.range = read(range);
    settings.log = read(log);
    settings.fat = read(fat);
    settings.spike = read(spike);
    settings.filter = read(filter);
    const int program = currentProgram();
    if (!picturesTouched_ && program == builtProgram_ && settings == builtSettings_) return;
    rebuildWaveTables(pictures_[program].pixels, settings, tableSets_[tables_.back()]);
    tables_.publish();
    picturesTouched_ = false;
    builtProgram_ = program;
    builtSettings_ = settings;
    rebuildCount_.fetch_add(1, std::memory_order_relaxed);
}

bool MoSpectrogram::tryCopyPicture(int program, std::uint32_t* out, std::uint32_t& revision) {
    std::unique_lock<std::mutex> lock(editMutex_, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    revision = pictureRevision();
    std::copy_n(pictures_[std::clamp(program, 0, kNumPictures - 1)].pixels, kPicturePixels, out);
    return true;
}

void MoSpectrogram::invert() {
    PictureAccess access = pictures();
    std::uint32_t* p = access.current();
    for (int i = 0; i < kPicturePixels; ++i)
        p[i] ^= 0x00FFFFFFu;
    access.rebuild();
}

void MoSpectrogram::monochrome() {
    PictureAccess access = pictures();
    std::uint32_t* p = access.current();
    for (int i = 0; i < kPicturePixels; ++i) {
        const std::uint32_t v =
            static_cast<std::uint32_t>((3 * redOf(p[i]) + 6 * greenOf(p[i]) + blueOf(p[i])) / 10);
        p[i] = v * 0x010101u;
    }
    access.rebuild();
}

void MoSpectrogram::clear() {
    if (!owner.confirm("BitMap Clear?", "Lumavox")) return;
    PictureAccess access = pictures();
    math::wordFill(access.current(), 0, kPicturePixels);
    access.rebuild();
}

// ---- Playback (audio thread) ----

void MoSpectrogram::controlStep(int ticks) {
    const int* active = owner.voiceActive();
    const float startColumn = read(start) * 512.f;
    const float columnsPerTick = read(tempo);
    const float loopStart = read(loopIn) * 512.f;
    const float loopEnd = read(loopOut) * 512.f;
    for (int i = kVoices - 1; i >= 0; --i) {
        if (!active[i]) continue;
        const float f = std::clamp(pitch[i], 0.f, 1.f);
        step_[i] = math::fastPow2(10.f * f + 3.f) * 64.f / static_cast<float>(sampleRate);
        position_[i] = position_[i] + static_cast<float>(ticks) * columnsPerTick;
        if (position_[i] > loopEnd) position_[i] = loopStart;
        if (trigger[i] == 1.f) position_[i] = startColumn;
    }
}

void MoSpectrogram::process(int frames, int ticks) noexcept {
    tables_.update();
    const WaveTableSet& tables = tableSets_[tables_.front()];
    const float gain = read(drive) * 5.f + 1.f;
    const auto mode =
        static_cast<DisplayMode>(std::clamp(static_cast<int>(read(waveDisplay) * 2.f), 0, 2));

    if (ticks) controlStep(ticks);
    for (int i = 0; i < kVoices; ++i)
        envelopeStep_[i] = (envelope[i] - envelopeCurrent_[i]) / static_cast<float>(frames);

    if (programLoading()) {
        std::fill_n(output.samples, 2 * frames, 0.f);
        return;
    }
    if (owner.isEditorOpen()) display_.feed(*finalOutput, frames, mode);

    const int* active = owner.voiceActive();
    if (avx2_) {
        renderAndMixAvx2(frames, tables, gain, active);
        return;
    }
    // Four voices at a time, one per SIMD lane; each frame still sums the
    // active voices in the order 0 to 7.
    alignas(16) float contributions[2][kMaxFrames][2][4];  // [group][frame][channel][lane]
    for (int group = 0; group < 2; ++group)
        renderVoices(4 * group, frames, tables, gain, active, contributions[group]);
    for (int f = 0; f < frames; ++f) {
        float left = 0.f, right = 0.f;
        for (int v = 0; v < kVoices; ++v) {
            if (!active[v]) continue;
            left += contributions[v / 4][f][0][v % 4];
            right += contributions[v / 4][f][1][v % 4];
        }
        output.left(f) = math::softClip(left) * kOutputLevel;
        output.right(f) = math::softClip(right) * kOutputLevel;
    }
}

// Reads the voice's wave in grains: the phase runs up to the grain end and
// steps back four periods, and only at that boundary does the voice take its
// play position as the new column (B) while the old one (A) fades out over
// the last fade length samples of the grain. Every lane does the arithmetic
// of one voice exactly as a scalar loop would; inactive voices keep their
// phase and only their envelope moves on.
void MoSpectrogram::renderVoices(int first, int frames, const WaveTableSet& tables, float gain,
                                 const int* active, float (*out)[2][4]) noexcept {
    const __m128 grainEnd = _mm_set1_ps(tables.grainEnd);
    // The crossfade weight d / fade length, as a product: a division per
    // frame and voice would be the costliest instruction of the loop.
    const __m128 inverseFade =
        _mm_set1_ps(tables.fadeLength != 0.f ? 1.f / tables.fadeLength : 1.f);
    const __m128 one = _mm_set1_ps(1.f);
    const __m128 grainMiddle = _mm_set1_ps(256.f);
    const __m128 gains = _mm_set1_ps(gain);
    auto columnOf = [&tables](float c) {
        const int index = c > 0.f ? static_cast<int>(c) : 0;
        return &tables.wave[index < kPictureWidth ? index : kPictureWidth][0][0];
    };
    alignas(16) float activeBits[4];
    const float* a[4];
    const float* b[4];
    for (int l = 0; l < 4; ++l) {
        activeBits[l] = active[first + l] ? -0.f : 0.f;  // sign bit only, widened below
        a[l] = columnOf(grainColumnA_[first + l]);
        b[l] = columnOf(grainColumnB_[first + l]);
    }
    const __m128 isActive =
        _mm_castsi128_ps(_mm_srai_epi32(_mm_castps_si128(_mm_load_ps(activeBits)), 31));
    const int activeLanes = _mm_movemask_ps(isActive);
    if (!activeLanes) {
        for (int l = 0; l < 4; ++l)
            for (int f = 0; f < frames; ++f)
                envelopeCurrent_[first + l] += envelopeStep_[first + l];
        return;
    }
    __m128 phase = _mm_loadu_ps(phase_ + first);
    const __m128 step = _mm_and_ps(_mm_loadu_ps(step_ + first), isActive);
    __m128 level = _mm_loadu_ps(envelopeCurrent_ + first);
    const __m128 levelStep = _mm_loadu_ps(envelopeStep_ + first);

    // Four (left, right, left, right) table frames, one per lane, turned into
    // lanes of the sample, its right neighbour, for each channel.
    struct Pairs {
        __m128 left, right, nextLeft, nextRight;
    };
    auto gather = [](const float* const* columns, __m128i index) {
        alignas(16) int at[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(at), _mm_add_epi32(index, index));
        Pairs p{_mm_loadu_ps(columns[0] + at[0]), _mm_loadu_ps(columns[1] + at[1]),
                _mm_loadu_ps(columns[2] + at[2]), _mm_loadu_ps(columns[3] + at[3])};
        _MM_TRANSPOSE4_PS(p.left, p.right, p.nextLeft, p.nextRight);
        return p;
    };
    auto select = [](__m128 mask, __m128 yes, __m128 no) {
        return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
    };

    for (int f = 0; f < frames; ++f) {
        level = _mm_add_ps(level, levelStep);
        phase = _mm_add_ps(phase, step);
        const int wrapped = _mm_movemask_ps(_mm_cmpge_ps(phase, grainEnd)) & activeLanes;
        if (wrapped) {
            alignas(16) float lanes[4];
            _mm_store_ps(lanes, phase);
            for (int l = 0; l < 4; ++l) {
                if (!(wrapped & (1 << l))) continue;
                // One step back normally; more only for steps beyond any real
                // pitch (very low sample rates), which must still stay in the table.
                do
                    lanes[l] -= kGrainStep;
                while (lanes[l] >= tables.grainEnd);
                const int v = first + l;
                grainColumnA_[v] = grainColumnB_[v];
                grainColumnB_[v] = position_[v];
                a[l] = columnOf(grainColumnA_[v]);
                b[l] = columnOf(grainColumnB_[v]);
            }
            phase = _mm_load_ps(lanes);
        }
        const __m128i j = _mm_cvttps_epi32(phase);
        const __m128 u = _mm_sub_ps(phase, _mm_cvtepi32_ps(j));
        Pairs pa = gather(a, j);
        // The partner of the last sample of a grain is itself.
        const __m128 last = _mm_cmpge_ps(_mm_add_ps(phase, one), grainEnd);
        const __m128 oneMinusU = _mm_sub_ps(one, u);
        __m128 sampleLeft = _mm_add_ps(_mm_mul_ps(oneMinusU, pa.left),
                                       _mm_mul_ps(u, select(last, pa.left, pa.nextLeft)));
        __m128 sampleRight = _mm_add_ps(_mm_mul_ps(oneMinusU, pa.right),
                                        _mm_mul_ps(u, select(last, pa.right, pa.nextRight)));
        const __m128 d = _mm_sub_ps(phase, grainMiddle);
        const __m128 fading = _mm_cmpge_ps(d, _mm_setzero_ps());
        if (_mm_movemask_ps(fading) & activeLanes) {
            const __m128 dk = _mm_max_ps(d, _mm_setzero_ps());  // keeps idle lanes in the table
            const __m128i k = _mm_cvttps_epi32(dk);
            const __m128 w = _mm_sub_ps(dk, _mm_cvtepi32_ps(k));
            const __m128 oneMinusW = _mm_sub_ps(one, w);
            const Pairs pb = gather(b, k);
            const __m128 inLeft =
                _mm_add_ps(_mm_mul_ps(oneMinusW, pb.left), _mm_mul_ps(w, pb.nextLeft));
            const __m128 inRight =
                _mm_add_ps(_mm_mul_ps(oneMinusW, pb.right), _mm_mul_ps(w, pb.nextRight));
            const __m128 x = _mm_mul_ps(d, inverseFade);
            const __m128 oneMinusX = _mm_sub_ps(one, x);
            sampleLeft =
                select(fading, _mm_add_ps(_mm_mul_ps(sampleLeft, oneMinusX), _mm_mul_ps(inLeft, x)),
                       sampleLeft);
            sampleRight = select(
                fading, _mm_add_ps(_mm_mul_ps(sampleRight, oneMinusX), _mm_mul_ps(inRight, x)),
                sampleRight);
        }
        _mm_store_ps(out[f][0], _mm_mul_ps(_mm_mul_ps(sampleLeft, gains), level));
        _mm_store_ps(out[f][1], _mm_mul_ps(_mm_mul_ps(sampleRight, gains), level));
    }
    _mm_storeu_ps(phase_ + first, phase);
    _mm_storeu_ps(envelopeCurrent_ + first, level);
}

}  // namespace audio

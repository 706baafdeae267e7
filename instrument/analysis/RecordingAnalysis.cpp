// The analysis, and why it is made so.
//
// Table time. A voice reads its tables at 64 x F samples a second (F the
// key's frequency), so the recording is first resampled to that rate
// (Resampler, band-limited). From then on one recording sample is one table
// sample, and the bins of a 1024-point FFT are exactly the bins that the
// rebuild fills: bin s sounds at s/16 x F.
//
// Window and hop. Each column's wave is heard through grains: a column is
// latched at a grain boundary and read from table position 0, fading in over
// the fade length, fully up to 256 and fading out over the next fade length
// (Spike 0: a triangle of 512 samples; grains every 256 samples, four
// periods of the note). So the sound of a column latched at time t is centred
// fadeLength/2 + 128 samples later, and the analysis of column c is centred
// there, for each time the voice may latch it: while the position is in
// column c, frames every 256 table samples (a grain each), at most
// kMaxFramesPerColumn of them, their powers averaged. The window is a Hann
// window of 1024 samples, one table: it resolves partials four bins apart,
// which the reassignment below needs. It is longer than the grain, so the
// picture is a little smoother in time than the playback could be.
//
// Where partials can sound. Grains start every 256 table samples, always at
// table position 0, so a column that is held (or columns alike) play a
// sound that repeats every 256 samples: its partials can only be whole
// multiples of four bins (F/4, 110 Hz at A4). A partial of any other bin is
// read with a phase step at each grain and comes out as its two nearest
// multiples of four beating at F/4 (bins 2 mod 4 worst: they fade to
// nothing in the middle of every crossfade). So the analysis puts each
// partial on the nearest multiple of four bins: steady tones come out
// steady, at most two bins (F/8, 55 Hz at A4) off their pitch, which
// matters only in the lowest octaves of the picture.
//
// Reassignment. A Hann window spreads a steady partial over five bins. So
// each bin's power goes to the frequency it really belongs to: the phase
// advance between two transforms one sample apart gives each bin's
// frequency, and its power moves to the multiple of four bins nearest to
// it, and so to the sounding row of that bin. A sine becomes one partial, a
// chord its notes, while noise keeps its power spread over its band. The
// power scale keeps the total power of every frame (Parseval with the
// window's energy), so tones and noise come out at their level alike.
//
// Rows. Rows that share a bin: only the lowest sounds (the rebuild's cursor
// rule), so it gets the bin's level; the rows above it that share the bin
// are silent whatever they hold and get a copy, which keeps the picture free
// of black stripes and plausible when Range or Tune are changed later. Where
// rows are several bins apart (high rows in logarithmic spacing) the bins in
// between cannot sound: their power goes to the nearest sounding row, so the
// band keeps its energy. Bins below the lowest and above the highest
// sounding row are lost (at Range 0.5 and A4: everything above 7.2 kHz).
//
// Fat and Spike. Fat gives every column's partials other phases. Held
// columns then still repeat cleanly, but from one column to the next a
// partial's phase jumps, and the crossfade of two grains of different
// columns loses up to two thirds of its power at that moment: steady tones
// waver, by a few dB from grain to grain. Fat 0 (all phases 0) keeps them
// steady; noise and speech come out about as well at either. Making up
// for the expected loss with louder partials was tried and measured worse
// (the wavering stays, the mean level overshoots), so it is not done.
// Spike shortens the crossfade and the grain: at Spike 1 each grain is a
// hard loop of 256 samples, cut at every boundary, which is clean for the
// multiples of four bins the analysis writes while the columns are alike,
// but clicks where they change. The benchmark measures all four corners.
//
// Level. See AnalysisOptions: the recording's own level when it fits into
// 8-bit pixels, else one factor for the whole picture (never per column, so
// the dynamics stay). Pixel values are rounded; anything below half a step
// is lost, so the picture holds about 48 dB below its loudest partial.
#include "instrument/analysis/RecordingAnalysis.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "instrument/analysis/Resampler.h"
#include "modules/RealFft.h"

namespace analysis {
namespace {

// The sound row (0 at the bottom) that a row of the rebuild's map reads.
int soundRowOf(const audio::RowMap::Row& row) {
    return audio::kPictureHeight - 1 - row.pixelOffset / audio::kPictureWidth;
}

constexpr int kWindow = audio::kTableLength;
constexpr int kBins = kWindow / 2;
constexpr int kMaxFramesPerColumn = 8;
// The bins at which a held column's partials repeat cleanly grain after grain.
constexpr int kSteadyGrid = audio::kTableLength / kGrainStep;
// A bin's frequency is believed when it lies within the Hann main lobe.
constexpr float kMaxReassignBins = 2.f;
// The table level (times the drive gain) up to which the oscillator's soft
// clip stays nearly linear, as the RMS of one column's wave.
constexpr float kCleanWaveRms = 0.2f;
constexpr float kMaxPixel = 255.f;
constexpr double kTwoPi = 6.283185307179586;

// atan2 to within 0.0002 rad, which is 0.03 of a bin as a phase advance per
// sample: far finer than the four bins between the places power moves to.
float fastAtan2(float y, float x) {
    const float ax = std::fabs(x), ay = std::fabs(y);
    const float big = std::max(ax, ay);
    if (big == 0.f) return 0.f;
    const float a = std::min(ax, ay) / big;
    const float s = a * a;
    float r = ((-0.0464964749f * s + 0.15931422f) * s - 0.327622764f) * s * a + a;
    if (ay > ax) r = 1.57079637f - r;
    if (x < 0.f) r = 3.14159274f - r;
    return y < 0.f ? -r : r;
}

// Where the power of each bin goes: the sounding row nearest to it, or none.
struct RowTargets {
    audio::RowMap map;
    int rowOfBin[kBins];

    explicit RowTargets(const ProgramValues& values) {
        map.build(values.rebuildSettings());
        std::fill(std::begin(rowOfBin), std::end(rowOfBin), -1);
        for (int n = 0; n < map.count; ++n) {
            const int bin = map.rows[n].bin;
            const int below = n > 0 ? map.rows[n - 1].bin : bin;
            const int above = n + 1 < map.count ? map.rows[n + 1].bin : bin;
            // Half of each gap to either side; the lower row takes a tie.
            const int from = std::max(2, bin - (bin - below - 1) / 2);
            const int to = std::min(kBins - 1, bin + (above - bin) / 2);
            for (int b = from; b <= to; ++b)
                rowOfBin[b] = n;
        }
    }
};

// The recording at the table rate, one channel, over the stretch that the
// frames read, or block by block when that stretch would be much longer
// than the blocks themselves (high keys: the table rate far above the
// recording's).
class TableSignal {
  public:
    TableSignal(const float* samples, std::size_t frames, int channels, int channel,
                const Resampler& resampler, long long first, long long last, long long blockSamples)
        : samples_(samples + channel),
          frames_(frames),
          stride_(channels),
          resampler_(resampler),
          first_(first) {
        if (last - first + 1 <= 2 * blockSamples) {
            whole_.resize(static_cast<std::size_t>(last - first + 1));
            resampler_.render(samples_, frames_, stride_, first, static_cast<int>(whole_.size()),
                              whole_.data());
        }
    }
    void read(long long from, int count, float* out) const {
        if (whole_.empty()) {
            resampler_.render(samples_, frames_, stride_, from, count, out);
            return;
        }
        std::copy_n(whole_.data() + (from - first_), count, out);
    }

  private:
    const float* samples_;
    std::size_t frames_;
    int stride_;
    const Resampler& resampler_;
    long long first_;
    std::vector<float> whole_;
};

struct Frame {
    int column;
    long long start;  // first table sample of the window
    float weight;     // 1 / frames of its column
};

}  // namespace

AnalysisResult analyse(const float* samples, std::size_t frames, int channels, double sampleRate,
                       int key, const ProgramValues& given, std::uint32_t* picture,
                       const AnalysisOptions& options) {
    const ProgramValues values = given.clamped();
    AnalysisResult result;
    if (!samples || !picture || frames == 0 || (channels != 1 && channels != 2) ||
        !(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate) || key < 0 || key > 127)
        return result;
    result.analysed = true;

    const double rate = tableRate(key);
    const double seconds = static_cast<double>(frames) / sampleRate;
    const ColumnSchedule schedule(values, seconds);
    const RowTargets targets(values);
    const audio::RowMap& map = targets.map;
    const int rows = map.count;
    const double centre = soundCentre(values);
    const double recordingEnd = seconds * rate;

    // The frames of every column that the recording reaches.
    std::vector<Frame> frameList;
    int framesOfColumn[audio::kPictureWidth] = {};
    for (int c = 0; c < audio::kPictureWidth; ++c) {
        const ColumnSchedule::Span& span = schedule.span(c);
        if (!span.reached() || span.begin >= seconds) continue;
        const double from = span.begin * rate + centre;
        const double to = std::max(from, std::min(span.end * rate + centre, recordingEnd));
        const int count = std::clamp(static_cast<int>(std::ceil((to - from) / kGrainStep)), 1,
                                     kMaxFramesPerColumn);
        framesOfColumn[c] = count;
        for (int i = 0; i < count; ++i) {
            const double at = from + (i + 0.5) * (to - from) / count;
            frameList.push_back(
                {c, std::llround(at) - kWindow / 2, 1.f / static_cast<float>(count)});
        }
        result.firstColumn = result.firstColumn < 0 ? c : std::min(result.firstColumn, c);
        result.lastColumn = std::max(result.lastColumn, c);
        result.secondsUsed = std::max(result.secondsUsed, std::min(span.end, seconds));
    }

    // Power of each sounding row in each column, per channel.
    std::vector<float> power(static_cast<std::size_t>(audio::kPictureWidth) * rows * 2, 0.f);
    if (!frameList.empty()) {
        long long first = frameList.front().start, last = first;
        for (const Frame& f : frameList) {
            first = std::min(first, f.start);
            last = std::max(last, f.start + kWindow);
        }
        const Resampler resampler(sampleRate, rate);
        alignas(16) float window[kWindow];
        for (int m = 0; m < kWindow; ++m)
            window[m] = 0.5f - 0.5f * static_cast<float>(std::cos(kTwoPi * m / kWindow));
        // Partial amplitude squared from |X|^2 so that a frame's power is
        // kept: sum over bins of a^2 / 2 = the mean square of the signal.
        const float powerScale = 4.f / (static_cast<float>(kWindow) * 384.f);  // sum w^2 = 384
        const long long blockSamples = static_cast<long long>(frameList.size()) * (kWindow + 1);
        for (int ch = 0; ch < channels; ++ch) {
            const TableSignal signal(samples, frames, channels, ch, resampler, first, last,
                                     blockSamples);
            alignas(16) float block[kWindow + 1];
            alignas(16) float now[kWindow];
            alignas(16) float next[kWindow];
            for (const Frame& f : frameList) {
                signal.read(f.start, kWindow + 1, block);
                for (int m = 0; m < kWindow; ++m) {
                    now[m] = block[m] * window[m];
                    next[m] = block[m + 1] * window[m];
                }
                fft::realFft(kWindow, now);
                fft::realFft(kWindow, next);
                float* rowPower = &power[(static_cast<std::size_t>(f.column) * rows) * 2];
                for (int k = 1; k < kBins; ++k) {
                    const float re = now[k], im = -now[kWindow - k];
                    const float p = re * re + im * im;
                    if (p == 0.f) continue;
                    const float re1 = next[k], im1 = -next[kWindow - k];
                    // The phase advance over one sample is the bin's frequency.
                    const float advance = fastAtan2(im1 * re - re1 * im, re1 * re + im1 * im) *
                                          static_cast<float>(kWindow / kTwoPi);
                    const float where =
                        std::fabs(advance - static_cast<float>(k)) <= kMaxReassignBins
                            ? advance
                            : static_cast<float>(k);
                    const int bin =
                        std::clamp(static_cast<int>(std::lround(where / kSteadyGrid)) * kSteadyGrid,
                                   0, kBins - 1);
                    const int n = targets.rowOfBin[bin];
                    if (n >= 0) rowPower[2 * n + ch] += p * powerScale * f.weight;
                }
            }
        }
    }

    // Pixel values before rounding: the amplitude each partial needs in the
    // table, through the drive, output and pan gains.
    const OutputGains gains = outputGains(values);
    // A channel that the effects silence (Volume 0, Pan at the other side)
    // cannot be heard at all: it is analysed as for the other channel, or
    // for unit volume, so that the picture still shows it.
    const float neutral = gains.drive * 0.7f;
    const float leftGain =
        gains.left > 0.f ? gains.left : (gains.right > 0.f ? gains.right : neutral);
    const float rightGain = gains.right > 0.f ? gains.right : leftGain;
    std::vector<float> level(power.size(), 0.f);
    float loudest = 0.f, loudestWave = 0.f;
    for (int c = 0; c < audio::kPictureWidth; ++c) {
        if (!framesOfColumn[c]) continue;
        float wave[2] = {0.f, 0.f};
        for (int n = 0; n < rows; ++n) {
            // The table amplitude of a pixel value of 1: the spectrum's
            // weight, then the inverse transform's 2/1024.
            const float perPixel = map.rows[n].scaledGain / 512.f;
            for (int ch = 0; ch < 2; ++ch) {
                const std::size_t i = (static_cast<std::size_t>(c) * rows + n) * 2 + ch;
                const float p = power[channels == 1 ? i - ch : i];
                const float v = std::sqrt(p) / (perPixel * (ch == 0 ? leftGain : rightGain));
                level[i] = v;
                loudest = std::max(loudest, v);
                const float table = v * perPixel;
                wave[ch] += table * table / 2.f;
            }
        }
        loudestWave = std::max({loudestWave, wave[0], wave[1]});
    }
    loudestWave = std::sqrt(loudestWave) * gains.drive;

    float scale = 1.f;
    if (options.level == AnalysisOptions::Level::Fit) {
        if (loudest > kMaxPixel) scale = kMaxPixel / loudest;
        if (loudestWave * scale > kCleanWaveRms) scale = kCleanWaveRms / loudestWave;
    }
    result.levelGain = scale;

    std::fill_n(picture, audio::kPicturePixels, 0u);
    auto pixelValue = [&](float v) {
        const float scaled = v * scale;
        if (scaled > kMaxPixel + 0.5f) ++result.clippedPixels;
        return static_cast<std::uint32_t>(std::min(kMaxPixel, std::round(scaled)));
    };
    for (int c = 0; c < audio::kPictureWidth; ++c) {
        if (!framesOfColumn[c]) continue;
        for (int n = 0; n < rows; ++n) {
            const std::size_t i = (static_cast<std::size_t>(c) * rows + n) * 2;
            const std::uint32_t pixel = pixelValue(level[i]) << 16 | pixelValue(level[i + 1]) << 8;
            // The row itself, then the silent rows up to the next one.
            const int row = soundRowOf(map.rows[n]);
            const int top = n + 1 < rows ? soundRowOf(map.rows[n + 1]) : row + 1;
            for (int r = row; r < top; ++r)
                picture[(audio::kPictureHeight - 1 - r) * audio::kPictureWidth + c] = pixel;
        }
    }
    return result;
}

}  // namespace analysis

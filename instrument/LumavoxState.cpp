// The instrument's state: getChunk and setChunk in both forms, and the
// factory bank, which is read through the same setChunk.
#include <optional>
#include <string>

#include "instrument/Lumavox.h"
#include "instrument/StateChunk.h"
#include "platform/MessageBox.h"
#include "platform/Resource.h"
#include "resources/ResourceIds.h"

namespace lumavox {
namespace {

constexpr const char* kFactoryBankType = "FXB";
constexpr std::size_t kBankFileHeader = 160;  // .fxb header before the chunk
constexpr std::size_t kMaxBoxText = 64;

}  // namespace

VstInt32 Lumavox::getChunk(void** data, bool isPreset) {
    if (chunk_.empty()) chunk_.resize(kBankChunkSize);
    float values[synth::kNumPrograms][synth::kNumHostParameters];
    ProgramState programs[synth::kNumPrograms];
    const auto pictures = spectrogram().readPictures();
    for (int p = 0; p < synth::kNumPrograms; ++p) {
        for (int i = 0; i < synth::kNumHostParameters; ++i)
            values[p][i] = program(p).values[i].load(std::memory_order_relaxed);
        programs[p] = {program(p).name, values[p], pictures.picture(p)};
    }
    const std::size_t size = isPreset ? writeProgramChunk(chunk_.data(), programs[getProgram()])
                                      : writeBankChunk(chunk_.data(), programs);
    *data = chunk_.data();
    return static_cast<VstInt32>(size);
}

namespace {

// The instrument as the chunk reader's target: values into the program
// records, pictures into the spectrogram's store, unknown keys to the user.
// The picture lock is taken only when the pictures come, after the text, so
// that no box waits for the user while it is held (a host's audio thread may
// want it meanwhile); it is held until the target goes. The target notes
// which values arrived, so that they can go on to setParameter once the lock
// is released (a parameter change may rebuild, which takes that lock).
class InstrumentChunkTarget : public ChunkTarget {
  public:
    explicit InstrumentChunkTarget(Lumavox& synth) : synth_(synth) {}

    int parameterIndex(std::string_view name) const override { return synth_.parameterIndex(name); }
    void unknownKey(std::string_view key) override {
        if (boxes_++ >= Lumavox::kMaxNotFoundBoxes) return;
        const std::string text(key.substr(0, kMaxBoxText));
        platform::showMessageBox(text.c_str(), "NotFound", platform::MessageButtons::Ok);
    }
    void setName(int program, std::string_view name) override {
        const std::string text(name);
        vstStrncpy(synth_.program(program).name, text.c_str(), synth::kMaxProgramNameLength);
    }
    void setValue(int program, int index, float value) override {
        synth_.program(program).values[index].store(value, std::memory_order_relaxed);
        arrived_[index] = true;
    }
    bool arrived(int index) const { return arrived_[index]; }
    std::uint32_t* picture(int program) override {
        if (!pictures_) pictures_.emplace(synth_.spectrogram().pictures());
        return pictures_->picture(program);
    }

  private:
    Lumavox& synth_;
    std::optional<audio::MoSpectrogram::PictureAccess> pictures_;
    int boxes_ = 0;
    bool arrived_[synth::kNumHostParameters] = {};
};

}  // namespace

// The host's size bounds the reading; without one, the fixed size of the form.
VstInt32 Lumavox::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    const std::size_t bound = byteSize > 0 ? static_cast<std::size_t>(byteSize)
                              : isPreset   ? kProgramChunkSize
                                           : kBankChunkSize;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!ChunkReader(bytes, data ? bound : 0).hasId()) return 1;
    const int current = getProgram();
    bool arrived[synth::kNumHostParameters] = {};
    // The program form's values reach the modules as they are read, then
    // the new picture is rebuilt, then every value of the current program
    // is set once more (clamped and stepped). Each of those may ask for a
    // rebuild; the batch makes them one, from the final state, at the end.
    const auto batch = spectrogram().batchRebuilds();
    {
        InstrumentChunkTarget target(*this);
        readChunk(bytes, bound, isPreset, current, target);
        for (int i = 0; i < synth::kNumHostParameters; ++i)
            arrived[i] = target.arrived(i);
    }
    if (isPreset)
        for (int i = 0; i < synth::kNumHostParameters; ++i)
            if (arrived[i])
                setParameter(i, program(current).values[i].load(std::memory_order_relaxed));
    spectrogram().requestRebuild();
    for (int i = 0; i < synth::kNumHostParameters; ++i)
        setParameter(i, program(current).values[i].load(std::memory_order_relaxed));
    return 1;
}

// Without a bank (a build that carries none) the programs stay as the
// framework made them.
void Lumavox::loadFactoryBank() {
    const platform::ResourceBytes bank =
        platform::findResource(kFactoryBankType, LUMAVOX_RES_FACTORY_BANK);
    if (bank.size <= kBankFileHeader) return;
    setChunk(const_cast<unsigned char*>(bank.data) + kBankFileHeader,
             static_cast<VstInt32>(bank.size - kBankFileHeader), false);
}

}  // namespace lumavox

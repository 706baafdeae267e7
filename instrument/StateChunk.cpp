#include "instrument/StateChunk.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <string>

#include "instrument/ParameterTable.h"
#include "vst2/Vst2Abi.h"

namespace lumavox {
namespace {

constexpr VstInt32 kChunkId = vstFourCC('L', 'M', 'V', 'X');

class ChunkWriter {
  public:
    ChunkWriter(std::uint8_t* out, std::size_t size) : out_(out), size_(size) {
        std::memset(out_, 0, size_);
        for (int i = 0; i < 4; ++i)  // little-endian, whatever the machine
            out_[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(kChunkId) >> (8 * i));
    }
    void string(const char* text) {
        const std::size_t n = std::strlen(text) + 1;
        std::memcpy(out_ + position_, text, n);
        position_ += n;
    }
    void value(const char* prefix, const char* name, float v) {
        char text[64];
        std::snprintf(text, sizeof text, "%s%s=%08x", prefix, name,
                      std::bit_cast<std::uint32_t>(v));
        string(text);
    }
    void picture(const std::uint32_t* pixels) {
        for (int i = 0; i < 512 * kPictureRows; ++i) {
            out_[position_++] = static_cast<std::uint8_t>(pixels[i]);
            out_[position_++] = static_cast<std::uint8_t>(pixels[i] >> 8);
            out_[position_++] = static_cast<std::uint8_t>(pixels[i] >> 16);
        }
    }
    std::size_t size() const { return size_; }

  private:
    std::uint8_t* out_;
    std::size_t size_;
    std::size_t position_ = 4;
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::size_t writeProgramChunk(std::uint8_t* out, const ProgramState& program) {
    ChunkWriter w(out, kProgramChunkSize);
    for (int i = 0; i < synth::kNumHostParameters; ++i)
        w.value("", kParameterTable[i].name, program.values[i]);
    w.string("Spctr=");
    w.picture(program.picture);
    return w.size();
}

std::size_t writeBankChunk(std::uint8_t* out, const ProgramState (&programs)[synth::kNumPrograms]) {
    ChunkWriter w(out, kBankChunkSize);
    for (int p = 0; p < synth::kNumPrograms; ++p) {
        char prefix[8], name[64];
        std::snprintf(prefix, sizeof prefix, "%02x", p);
        // Names hold at most 23 characters, so the text always fits the form.
        std::snprintf(name, sizeof name, "%s_Name_=%.*s", prefix, synth::kMaxProgramNameLength,
                      std::string(programs[p].name).c_str());
        w.string(name);
        for (int i = 0; i < synth::kNumHostParameters; ++i)
            w.value(prefix, kParameterTable[i].name, programs[p].values[i]);
    }
    w.string("Spctr=");
    for (const ProgramState& program : programs)
        w.picture(program.picture);
    return w.size();
}

bool ChunkReader::hasId() const {
    if (!data_ || size_ < 4) return false;
    std::uint32_t id = 0;
    for (int i = 0; i < 4; ++i)
        id |= static_cast<std::uint32_t>(data_[i]) << (8 * i);
    return id == static_cast<std::uint32_t>(kChunkId);
}

std::optional<std::string_view> ChunkReader::nextString() {
    if (position_ >= size_) return std::nullopt;
    const void* end = std::memchr(data_ + position_, 0, size_ - position_);
    if (!end) return std::nullopt;
    const auto length =
        static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - (data_ + position_));
    std::string_view s(reinterpret_cast<const char*>(data_ + position_), length);
    position_ += length + 1;
    return s;
}

int ChunkReader::readPicture(std::uint32_t* pixels, int rows) {
    const std::size_t available = position_ <= size_ ? size_ - position_ : 0;
    const int whole = static_cast<int>(
        std::min<std::size_t>(static_cast<std::size_t>(rows), available / kPictureRowBytes));
    const std::uint8_t* p = data_ + position_;
    for (int i = 0; i < whole * 512; ++i, p += 3)
        pixels[i] = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                    static_cast<std::uint32_t>(p[2]) << 16;
    position_ += static_cast<std::size_t>(whole) * kPictureRowBytes;
    return whole;
}

std::optional<float> parseValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::uint32_t bits = 0;
    int digits = 0;
    for (; i < text.size() && digits < 8; ++i, ++digits) {
        const int d = hexDigit(text[i]);
        if (d < 0) break;
        bits = bits << 4 | static_cast<std::uint32_t>(d);
    }
    if (digits == 0) return std::nullopt;
    return std::bit_cast<float>(bits);
}

int parseProgramNumber(std::string_view key) {
    int number = 0;
    for (std::size_t i = 0; i < key.size() && i < 2; ++i) {
        const int d = hexDigit(key[i]);
        if (d < 0) break;
        number = number * 16 + d;
    }
    return number;
}

void readChunk(const std::uint8_t* data, std::size_t size, bool isPreset, int currentProgram,
               ChunkTarget& target) {
    ChunkReader reader(data, data ? size : 0);
    if (!reader.hasId()) return;
    bool textEnded = false;
    while (const auto string = reader.nextString()) {
        if (string->empty()) {
            textEnded = true;
            break;
        }
        const std::size_t equals = string->find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = string->substr(0, equals);
        const std::string_view value = string->substr(equals + 1);
        const int program = isPreset ? currentProgram : parseProgramNumber(key);
        const std::string_view name =
            isPreset ? key : key.substr(std::min<std::size_t>(2, key.size()));
        if (!isPreset && name == kNameKey) {
            if (program < synth::kNumPrograms)
                target.setName(program, value.substr(0, synth::kMaxProgramNameLength));
            continue;
        }
        if (key == kPictureKey) {
            textEnded = true;
            break;
        }
        const int index = target.parameterIndex(name);
        if (index < 0) {
            target.unknownKey(key);
            continue;
        }
        // Editor controls travel in no program; programs past the bank and
        // values that are not hexadecimal are passed over.
        if (index >= synth::kNumHostParameters || program >= synth::kNumPrograms) continue;
        if (const std::optional<float> v = parseValue(value)) target.setValue(program, index, *v);
    }
    if (!textEnded) return;
    if (isPreset) {
        reader.readPicture(target.picture(currentProgram), kPictureRows);
        return;
    }
    for (int p = 0; p < synth::kNumPrograms; ++p)
        if (reader.readPicture(target.picture(p), kPictureRows) < kPictureRows) return;
}

}  // namespace lumavox

// The instrument's state chunk: the ID word, NUL-terminated key=value
// strings (values as the 8 hexadecimal digits of their float bits), the
// string "Spctr=", then pictures of 3 bytes per pixel (blue, green, red),
// zero bytes up to the fixed size of the form. The program form carries the
// current program, the bank form all four with their names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "synth/Program.h"

namespace lumavox {

constexpr std::size_t kProgramChunkSize = 786'949;
constexpr std::size_t kBankChunkSize = 3'147'784;
constexpr std::string_view kPictureKey = "Spctr";
constexpr std::string_view kNameKey = "_Name_";
constexpr int kBytesPerPixel = 3;
constexpr int kPictureRows = 512;
constexpr int kPictureRowBytes = 512 * kBytesPerPixel;

// What the writer needs of one program.
struct ProgramState {
    std::string_view name;
    const float* values;           // the 27 host parameters
    const std::uint32_t* picture;  // 512 x 512, top-down
};

// Each writes the whole fixed size of its form into out and returns it.
std::size_t writeProgramChunk(std::uint8_t* out, const ProgramState& program);
std::size_t writeBankChunk(std::uint8_t* out, const ProgramState (&programs)[synth::kNumPrograms]);

// Reading, piece by piece, never past the end it is given.
class ChunkReader {
  public:
    ChunkReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // False when the chunk does not start with the instrument's ID word.
    bool hasId() const;
    // The next NUL-terminated string of the text section; nullopt when the
    // chunk ends before its NUL (a cut chunk: nothing more is read).
    std::optional<std::string_view> nextString();
    // Reads up to rows whole picture rows from the current position into
    // pixels (top byte 0); returns how many rows were whole.
    int readPicture(std::uint32_t* pixels, int rows);

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 4;
};

// Where the contents of a chunk go.
class ChunkTarget {
  public:
    virtual ~ChunkTarget() = default;
    // Index of the parameter entry named name (any letter case), or -1.
    virtual int parameterIndex(std::string_view name) const = 0;
    virtual void unknownKey(std::string_view key) = 0;
    virtual void setName(int program, std::string_view name) = 0;
    // A host parameter's value as read, for a program 0..3.
    virtual void setValue(int program, int index, float value) = 0;
    // 512 x 512 pixels to read a program's picture into.
    virtual std::uint32_t* picture(int program) = 0;
};

// Reads a chunk of the given form into target: the program form into
// currentProgram, the bank form into the programs its keys name. Bounded by
// size: a string cut off by the end stops the reading before the pictures,
// picture rows arrive only whole, and nothing outside the target's programs
// is touched. A chunk without the instrument's ID changes nothing.
void readChunk(const std::uint8_t* data, std::size_t size, bool isPreset, int currentProgram,
               ChunkTarget& target);

// "%08x" of a value: the float with those bits; nullopt when text does not
// start with a hexadecimal digit (after optional spaces).
std::optional<float> parseValue(std::string_view text);
// The bank form's "%02x" program number at the start of a key; 0 when the
// key does not begin with a hexadecimal digit.
int parseProgramNumber(std::string_view key);

}  // namespace lumavox

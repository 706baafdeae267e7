// Standard MIDI Files built byte by byte for the tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace rendertest {

class Track {
  public:
    // An event after delta ticks: its bytes as they stand in the file.
    Track& at(std::uint32_t delta, std::initializer_list<std::uint8_t> event) {
        variableLength(delta);
        bytes.insert(bytes.end(), event);
        return *this;
    }
    Track& tempo(std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
        return at(delta, {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsecondsPerQuarter >> 16),
                          static_cast<std::uint8_t>(microsecondsPerQuarter >> 8),
                          static_cast<std::uint8_t>(microsecondsPerQuarter)});
    }
    Track& end(std::uint32_t delta = 0) { return at(delta, {0xFF, 0x2F, 0x00}); }

    std::vector<std::uint8_t> bytes;

  private:
    void variableLength(std::uint32_t v) {
        std::uint8_t groups[4];
        int n = 0;
        do {
            groups[n++] = v & 0x7F;
            v >>= 7;
        } while (v && n < 4);
        while (n-- > 0)
            bytes.push_back(static_cast<std::uint8_t>(groups[n] | (n ? 0x80 : 0)));
    }
};

inline void bigEndian(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline std::vector<std::uint8_t> midiFile(int format, std::uint16_t division,
                                          const std::vector<Track>& tracks) {
    std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    bigEndian(out, static_cast<std::uint32_t>(format), 2);
    bigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
    bigEndian(out, division, 2);
    for (const Track& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        bigEndian(out, static_cast<std::uint32_t>(t.bytes.size()), 4);
        out.insert(out.end(), t.bytes.begin(), t.bytes.end());
    }
    return out;
}

}  // namespace rendertest

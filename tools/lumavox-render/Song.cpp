#include "tools/lumavox-render/Song.h"

#include <algorithm>
#include <bitset>

namespace render {

void finishSong(Song& song) {
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const SongEvent& a, const SongEvent& b) { return a.tick < b.tick; });
    if (!song.events.empty()) song.endTick = std::max(song.endTick, song.events.back().tick);

    std::bitset<16 * 128> held;
    std::bitset<16> pedal;
    for (const SongEvent& e : song.events) {
        const int status = e.bytes[0] & 0xF0, channel = e.bytes[0] & 0x0F;
        if (status == 0x90 || status == 0x80)
            held[channel * 128 + e.bytes[1]] = status == 0x90 && e.bytes[2] > 0;
        else if (status == 0xB0 && e.bytes[1] == 64)
            pedal[channel] = e.bytes[2] >= 64;
    }
    for (int i = 0; i < 16 * 128; ++i)
        if (held[i])
            song.events.push_back({song.endTick,
                                   {static_cast<std::uint8_t>(0x80 | (i / 128)),
                                    static_cast<std::uint8_t>(i % 128), 0},
                                   3});
    for (int c = 0; c < 16; ++c)
        if (pedal[c])
            song.events.push_back({song.endTick, {static_cast<std::uint8_t>(0xB0 | c), 64, 0}, 3});
}

}  // namespace render

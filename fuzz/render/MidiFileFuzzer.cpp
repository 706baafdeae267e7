// Any bytes given to the MIDI file reader either give a song whose events are
// in time order and can be placed in time, or a RenderError; nothing else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "tools/lumavox-render/MidiFileReader.h"
#include "tools/lumavox-render/RenderError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const render::Song song = render::readMidiFile(data, size, "fuzz.mid");
        std::uint64_t previous = 0;
        for (const render::SongEvent& e : song.events) {
            if (e.tick < previous || e.tick > song.endTick) std::abort();
            previous = e.tick;
        }
        const double end = song.tempo.secondsAt(song.endTick);
        if (!(end >= 0.0)) std::abort();
        song.tempo.positionAt(end / 2);
    } catch (const render::RenderError&) {
    }
    return 0;
}

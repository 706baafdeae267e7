#include "tools/lumavox-render/MidiFileReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tools/lumavox-render/ByteReader.h"

namespace render {
namespace {

std::uint32_t readVariableLength(ByteReader& in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t byte = in.u8();
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return value;
    }
    in.fail("a length or delta time runs over four bytes");
}

std::string fourCC(const std::uint8_t* p) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += p[i] >= 32 && p[i] < 127 ? static_cast<char>(p[i]) : '?';
    return s;
}

std::string hex(int byte) {
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[(byte >> 4) & 15] + digits[byte & 15];
}

// Data bytes that follow each kind of channel status.
int dataBytesOf(int status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

bool isPlayed(int status) {
    const int kind = status & 0xF0;
    return kind == 0x80 || kind == 0x90 || kind == 0xB0 || kind == 0xE0;
}

void readTrack(ByteReader in, Song& song, std::vector<TempoChange>& tempo) {
    std::uint64_t tick = 0;
    int runningStatus = 0;
    while (!in.atEnd()) {
        tick += readVariableLength(in);
        int status = in.u8();
        if (status < 0xF0) {
            std::uint8_t first;
            if (status < 0x80) {
                if (!runningStatus) in.fail("a data byte where an event should start");
                first = static_cast<std::uint8_t>(status);
                status = runningStatus;
            } else {
                runningStatus = status;
                first = in.u8();
            }
            SongEvent e{tick, {static_cast<std::uint8_t>(status), first, 0}, 3};
            if (dataBytesOf(status) == 2) e.bytes[2] = in.u8();
            if ((e.bytes[1] | e.bytes[2]) & 0x80) in.fail("a data byte above 127");
            if (isPlayed(status)) song.events.push_back(e);
            continue;
        }
        runningStatus = 0;  // system and meta events cancel running status
        if (status == 0xF0 || status == 0xF7) {
            in.skip(readVariableLength(in));
        } else if (status == 0xFF) {
            const int type = in.u8();
            ByteReader meta = in.sub(readVariableLength(in), in.what());
            if (type == 0x51) {
                if (meta.remaining() != 3) in.fail("a tempo event that is not 3 bytes long");
                const std::uint32_t microseconds = meta.u24();
                if (microseconds == 0) in.fail("a tempo of 0 microseconds per quarter note");
                tempo.push_back({tick, microseconds});
            } else if (type == 0x2F) {
                break;  // end of track: whatever follows is not part of it
            }
        } else {
            in.fail("status byte " + hex(status) + " has no place in a MIDI file");
        }
    }
    if (tick > song.endTick) song.endTick = tick;
}

}  // namespace

Song readMidiFile(const std::uint8_t* data, std::size_t size, const std::string& name,
                  double initialBpm) {
    ByteReader in(data, size, name);
    if (size < 4 || std::memcmp(data, "MThd", 4) != 0)
        in.fail("not a MIDI file (it does not start with MThd)");
    in.skip(4);
    ByteReader header = in.sub(in.u32(), name);
    if (header.remaining() < 6) header.fail("the MIDI header is shorter than 6 bytes");
    const std::uint32_t format = header.u16();
    const std::uint32_t trackCount = header.u16();
    const std::uint32_t division = header.u16();
    if (format > 1)
        in.fail("MIDI file format " + std::to_string(format) + " is not supported (only 0 and 1)");
    if (format == 0 && trackCount != 1)
        in.fail("a format 0 MIDI file must have one track, this one declares " +
                std::to_string(trackCount));

    Song song;
    std::vector<TempoChange> tempo;
    std::uint32_t tracksRead = 0;
    while (tracksRead < trackCount) {
        if (in.remaining() < 8)
            in.fail("cut short: " + std::to_string(trackCount) + " tracks declared, " +
                    std::to_string(tracksRead) + " found");
        const std::string type = fourCC(in.here());
        in.skip(4);
        const std::uint32_t length = in.u32();
        if (length > in.remaining())
            in.fail("cut short in track " + std::to_string(tracksRead + 1) + " (" +
                    std::to_string(length) + " bytes declared, " + std::to_string(in.remaining()) +
                    " left)");
        if (type != "MTrk") {  // chunks of unknown types are to be ignored
            in.skip(length);
            continue;
        }
        ++tracksRead;
        readTrack(in.sub(length, name + ", track " + std::to_string(tracksRead)), song, tempo);
    }

    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if ((framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 &&
             framesPerSecond != 30) ||
            ticksPerFrame == 0)
            in.fail("the time division names no SMPTE frame rate");
        const double fps = framesPerSecond == 29 ? 30000.0 / 1001.0 : framesPerSecond;
        song.tempo = TempoMap::timecode(fps * ticksPerFrame, initialBpm);
    } else {
        if (division == 0) in.fail("a time division of 0 ticks per quarter note");
        song.tempo = TempoMap::metrical(static_cast<int>(division), initialBpm, std::move(tempo));
    }
    // Refused like an empty --notes: a render of nothing but silence is a mistake.
    const bool hasNotes = std::any_of(
        song.events.begin(), song.events.end(),
        [](const SongEvent& e) { return (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0; });
    if (!hasNotes) in.fail("no notes to play");
    finishSong(song);
    return song;
}

}  // namespace render

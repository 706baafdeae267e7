#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora: a few tiny valid MIDI files and
.fxp/.fxb files of every form, each showing one feature of its format."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def vlq(value):
    groups = [value & 0x7F]
    value >>= 7
    while value:
        groups.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(groups))


def track(*events):
    body = b"".join(vlq(delta) + bytes(data) for delta, data in events)
    return b"MTrk" + struct.pack(">I", len(body)) + body


def midi(fmt, division, *tracks):
    return b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), division) + b"".join(tracks)


END = (0, [0xFF, 0x2F, 0x00])
TEMPO_120 = (0, [0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20])

midi_seeds = {
    "format0.mid": midi(0, 480, track(TEMPO_120, (0, [0x90, 60, 100]), (480, [0x80, 60, 0]), END)),
    "running-status.mid": midi(0, 96, track((0, [0x90, 60, 100]), (48, [64, 90]), (48, [60, 0]),
                                            (0, [64, 0]), END)),
    "format1-tempo.mid": midi(1, 480, track(TEMPO_120, (960, [0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40]), END),
                              track((0, [0xB0, 7, 100]), (0, [0xE0, 0, 64]), (0, [0x91, 69, 80]),
                                    (1440, [0x81, 69, 0]), END)),
    "sysex-meta.mid": midi(0, 480, track((0, [0xFF, 0x03, 0x02, ord("h"), ord("i")]),
                                         (0, [0xF0, 0x02, 0x7E, 0xF7]), (0, [0xC0, 3]),
                                         (10, [0x90, 50, 1]), END)),
    "smpte.mid": midi(0, 0xE728, track((500, [0x90, 72, 90]), (500, [0x80, 72, 0]), END)),
}


def ccnk(body):
    return b"CcnK" + struct.pack(">I", len(body)) + body


def name(text):
    return text.encode().ljust(28, b"\0")


LMVX = b"LMVX"
preset_seeds = {
    "program-chunk.fxp": ccnk(b"FPCh" + struct.pack(">i", 1) + LMVX + struct.pack(">ii", 1000, 27)
                              + name("Hello") + struct.pack(">i", 8) + b"XVML\0\0\0\0"),
    "bank-chunk.fxb": ccnk(b"FBCh" + struct.pack(">i", 1) + LMVX + struct.pack(">ii", 1000, 4)
                           + bytes(128) + struct.pack(">i", 4) + b"XVML"),
    "bank-chunk-v2.fxb": ccnk(b"FBCh" + struct.pack(">i", 2) + LMVX + struct.pack(">iii", 1000, 4, 2)
                              + bytes(124) + struct.pack(">i", 0)),
    "program-params.fxp": ccnk(b"FxCk" + struct.pack(">i", 1) + LMVX + struct.pack(">ii", 1, 2)
                               + name("Soft") + struct.pack(">ff", 0.25, 1.0)),
}
program = b"FxCk" + struct.pack(">i", 1) + LMVX + struct.pack(">ii", 1, 1) + name("One") \
    + struct.pack(">f", 0.5)
preset_seeds["bank-params.fxb"] = ccnk(b"FxBk" + struct.pack(">i", 1) + LMVX
                                       + struct.pack(">ii", 1, 2) + bytes(128)
                                       + ccnk(program) + ccnk(program))

for folder, seeds in (("midi", midi_seeds), ("preset", preset_seeds)):
    os.makedirs(os.path.join(here, "seeds", folder), exist_ok=True)
    for file, data in seeds.items():
        with open(os.path.join(here, "seeds", folder, file), "wb") as out:
            out.write(data)

#!/usr/bin/env python3
"""Writes the seed files of the WAV import fuzzer into fuzz/corpus/wav.

Each seed is one selector byte (bit 0: reader only; bits 1-7: the key)
and a small WAV file: every sample format the reader takes, an extra odd
chunk, and a cut file."""
import math
import os
import struct

A4 = 69 << 1
here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "wav")


def wav(fmt=1, channels=1, rate=8000, bits=16, frames=64, extensible=False, extra=b""):
    data = b""
    for i in range(frames * channels):
        v = 0.5 * math.sin(2 * math.pi * 440 * (i // channels) / rate)
        if fmt == 3:
            data += struct.pack("<f", v)
        elif bits == 16:
            data += struct.pack("<h", int(v * 32767))
        elif bits == 24:
            data += struct.pack("<i", int(v * 8388607))[:3]
        else:
            data += struct.pack("<i", int(v * 2147483647))
    block = channels * bits // 8
    tag = 0xFFFE if extensible else fmt
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    if extensible:
        guid_tail = bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
        body += struct.pack("<HHIH", 22, bits, 3 if channels == 2 else 4, fmt) + guid_tail
    chunks = b"fmt " + struct.pack("<I", len(body)) + body + extra
    chunks += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


seeds = {
    "pcm16-mono": bytes([A4]) + wav(),
    "pcm24-stereo": bytes([A4]) + wav(bits=24, channels=2, rate=44100),
    "pcm32-mono-low-key": bytes([21 << 1]) + wav(bits=32, rate=48000),
    "float-stereo-high-key": bytes([120 << 1]) + wav(fmt=3, bits=32, channels=2, rate=1000),
    "extensible-float": bytes([A4]) + wav(fmt=3, bits=32, extensible=True),
    "list-chunk-reader": bytes([A4 | 1]) + wav(extra=b"LIST" + struct.pack("<I", 5) + b"INFOx\0"),
    "cut": bytes([A4]) + wav(frames=32)[:-7],
}
os.makedirs(here, exist_ok=True)
for name, content in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(content)

#!/usr/bin/env python3
"""Writes a weather satellite's signal as a receiver's line output carries it:
a 2400 Hz subcarrier, amplitude-modulated by picture lines, two a second.
Each line starts with a sync burst (a 1040 Hz pulse train at full
modulation), then the two pictures, with detail every 80 ms or so; a scene
of bright land and dark sea passes over them, with a little noise. Its peaks
are about 1 dB below full scale and steady over any 3 s; its 100 ms block
levels spread over a few dB.
    usage: make-satellite-signal.py OUT.wav [SECONDS]
(stereo, 16-bit, 44100 Hz; SECONDS defaults to 20: repeat it with sox for more)
"""
import math
import random
import struct
import sys
import wave

RATE = 44100
SUBCARRIER_HZ = 2400.0
LINE_S = 0.5            # two lines a second
SYNC_SHARE = 0.04       # of a line: the sync burst
SYNC_HZ = 1040.0
PEAK = 10 ** (-1 / 20)  # the peaks, 1 dB below full scale
FULL_SCALE = 32767
NOISE = 0.03            # of full modulation
SCENE_S = 2.7           # the scene's period: land and sea


def envelope(t, noise):
    """The modulation at time t, 0 to 1."""
    place = (t % LINE_S) / LINE_S
    if place < SYNC_SHARE:
        return 1.0 if math.sin(2 * math.pi * SYNC_HZ * t) >= 0 else 0.1
    # Land and cloud, bright for about a second, then dark sea; a pass shows
    # the bright parts at least every 3 s, so the peaks stay steady.
    land = 0.55 + 0.45 * max(0.0, math.sin(2 * math.pi * t / SCENE_S)) ** 0.3
    detail = 0.5 + 0.5 * math.sin(2 * math.pi * (3 * place + t / 7.0))
    return min(1.0, max(0.0, 0.1 + 0.85 * detail * land + noise))


def main():
    out = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    random.seed(1)  # the same signal every run
    frames = bytearray()
    step = 2 * math.pi * SUBCARRIER_HZ / RATE
    for n in range(int(seconds * RATE)):
        t = n / RATE
        sample = int(FULL_SCALE * PEAK * envelope(t, random.uniform(-NOISE, NOISE)) * math.sin(step * n))
        frames += struct.pack("<hh", sample, sample)
    with wave.open(out, "wb") as file:
        file.setnchannels(2)
        file.setsampwidth(2)
        file.setframerate(RATE)
        file.writeframes(bytes(frames))


if __name__ == "__main__":
    main()

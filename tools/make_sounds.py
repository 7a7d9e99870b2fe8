#!/usr/bin/env python3
"""Writes the terminal's five notification sounds as short synthesized tones (16-bit mono PCM wave files).

Usage: tools/make_sounds.py [OUTPUT_FOLDER]   (default: assets/sound beside this script's parent)
The output is deterministic, so running it again leaves the committed files unchanged.
"""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050


def tone(frequency, seconds, volume=0.5, decay=6.0, square=False):
    """One note with a 5 ms attack and an exponential decay."""
    samples = []
    count = int(RATE * seconds)
    attack = int(RATE * 0.005)
    for i in range(count):
        t = i / RATE
        wave_value = math.sin(2 * math.pi * frequency * t)
        if square:
            wave_value = 0.6 * math.copysign(1.0, wave_value) + 0.4 * wave_value
        envelope = min(1.0, i / attack) * math.exp(-decay * t)
        samples.append(volume * envelope * wave_value)
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


SOUNDS = {
    # A rising two-note chime.
    "new_order.wav": tone(880, 0.22) + tone(1175, 0.32),
    # Three rising notes: an order offered in advance.
    "new_order_adv.wav": tone(660, 0.16) + tone(880, 0.16) + tone(1320, 0.3),
    # One soft bell.
    "new_message.wav": tone(1047, 0.45, volume=0.45, decay=5.0),
    # Two low buzzes: a wrong PIN.
    "fail_pin.wav": tone(220, 0.15, volume=0.35, decay=2.0, square=True) + silence(0.06)
    + tone(196, 0.2, volume=0.35, decay=2.0, square=True),
    # A short blip.
    "check_view.wav": tone(1568, 0.1, volume=0.4, decay=20.0),
}


def write(path, samples):
    frames = b"".join(struct.pack("<h", max(-32767, min(32767, round(s * 32767)))) for s in samples)
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "assets" / "sound"
    folder.mkdir(parents=True, exist_ok=True)
    for name, samples in SOUNDS.items():
        write(folder / name, samples)
        print(folder / name)


if __name__ == "__main__":
    main()

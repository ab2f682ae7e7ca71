#!/usr/bin/env python3
"""Whether a capture of a sink's monitor holds the audio of a WAV file, frame
for frame, without a gap: exit 0 if so; else 1 with where the capture parted
from the file.
  capture_holds.py FILE.wav CAPTURE.raw"""
import sys

wav, raw = (open(p, "rb").read() for p in sys.argv[1:3])
audio = wav[44:]
capture = raw
if audio and capture.find(audio) >= 0:
    sys.exit(0)
# Not there whole: how far the longest beginning of the audio that is there reaches.
start = next((i for i in range(0, len(audio), 2) if audio[i:i + 2] != b"\0\0"), 0)
probe = audio[start:start + 64]
at = capture.find(probe)
if at < 0:
    print(f"the capture ({len(capture)} bytes) does not hold the audio's first sound at byte {start}")
else:
    n = 0
    while start + n < len(audio) and at + n < len(capture) and audio[start + n] == capture[at + n]:
        n += 1
    print(f"the capture holds the audio from byte {start} to {start + n} of {len(audio)} only")
sys.exit(1)

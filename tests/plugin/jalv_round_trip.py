#!/usr/bin/env python3
"""End to end through a real LV2 host: jalv runs the bundle on a JACK dummy
server of its own, jack-play feeds it a four-channel FuMa file, jack-record
records what comes out, and every sample is checked against the conversion.

Everything started here is stopped here, whatever happens, within the time
limits below."""

import argparse
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

RATE = 48000
LEAD_IN = RATE // 2                 # silence while the connections are made
SIGNAL = 2 * RATE
TAIL = RATE // 2
GAINS = (0.70710677, 0.6, -0.45, 0.3)
PERIOD = 1024
# The dummy server's clock runs at half speed, so that a busy machine does not
# make a client miss its cycle (an xrun would drop a period of the recording).
PERIOD_MICROSECONDS = 2 * PERIOD * 1000000 // RATE
SQRT_TWO = struct.unpack ("<f", bytes.fromhex ("f304b53f"))[0]


def to_float32 (x):
    return struct.unpack ("<f", struct.pack ("<f", x))[0]


def fuma_signal():
    """Never zero from its first sample on, different on every channel."""
    return [[to_float32 (GAINS[c] * math.sin (0.013 * i + 0.5 + c) * (0.5 + 0.5 * math.cos (0.0007 * i)))
             for i in range (SIGNAL)] for c in range (4)]


def write_float_wav (path, channels):
    frames = len (channels[0])
    data = bytearray()
    for i in range (frames):
        data += struct.pack ("<4f", *(ch[i] for ch in channels))
    fmt = struct.pack ("<HHIIHH", 3, len (channels), RATE, RATE * 4 * len (channels), 4 * len (channels), 32)
    with open (path, "wb") as f:
        f.write (b"RIFF" + struct.pack ("<I", 4 + 8 + len (fmt) + 8 + len (data)) + b"WAVE")
        f.write (b"fmt " + struct.pack ("<I", len (fmt)) + fmt)
        f.write (b"data" + struct.pack ("<I", len (data)) + data)


def read_float_wav (path):
    with open (path, "rb") as f:
        blob = f.read()
    assert blob[:4] == b"RIFF" and blob[8:12] == b"WAVE", "not a WAV file"
    pos, num_channels, data = 12, None, None
    while pos + 8 <= len (blob):
        tag, size = blob[pos:pos + 4], struct.unpack ("<I", blob[pos + 4:pos + 8])[0]
        body = blob[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            tag_format, num_channels = struct.unpack ("<HH", body[:4])
            bits = struct.unpack ("<H", body[14:16])[0]
            if tag_format == 0xfffe:
                tag_format = struct.unpack ("<H", body[24:26])[0]
            assert tag_format == 3 and bits == 32, "recording is not 32-bit float"
        elif tag == b"data":
            data = body
        pos += 8 + size + (size & 1)
    assert num_channels is not None and data is not None, "no fmt or data chunk"
    values = struct.unpack ("<%df" % (len (data) // 4), data[:len (data) // 4 * 4])
    return [list (values[c::num_channels]) for c in range (num_channels)]


def wait_for (condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep (0.1)
    raise TimeoutError ("timed out waiting for " + what)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--bundle-folder", required=True)
    parser.add_argument ("--uri", required=True)
    args = parser.parse_args()

    for tool in ("jackd", "jalv", "jack-play", "jack-record", "jack_lsp"):
        if shutil.which (tool) is None:
            print (tool + " is missing (tools/install-dependencies.sh installs it)")
            return 1

    work = tempfile.mkdtemp (prefix="ortholume-jalv-")
    server = "ortholume-test-%d" % os.getpid()
    client = "ortholume%d" % os.getpid()
    env = dict (os.environ, JACK_DEFAULT_SERVER=server, LV2_PATH=args.bundle_folder, JACK_NO_AUDIO_RESERVATION="1")
    processes = []
    log = open (os.path.join (work, "log.txt"), "w+")

    def start (command, **kwargs):
        process = subprocess.Popen (command, env=kwargs.pop ("env", env), stdout=log, stderr=log, **kwargs)
        processes.append (process)
        return process

    def ports():
        result = subprocess.run (["jack_lsp"], env=env, capture_output=True, text=True, timeout=10)
        return result.stdout.split() if result.returncode == 0 else []

    try:
        source = fuma_signal()
        silence = lambda n: [0.0] * n
        write_float_wav (os.path.join (work, "fuma.wav"),
                         [silence (LEAD_IN) + ch + silence (TAIL) for ch in source])

        jackd = start (["jackd", "--no-realtime", "-n", server, "-d", "dummy", "-r", str (RATE), "-p", str (PERIOD), "-w", str (PERIOD_MICROSECONDS)])
        wait_for (lambda: jackd.poll() is not None or "system:playback_1" in ports(), 15, "the JACK server")
        assert jackd.poll() is None, "jackd exited"

        jalv = start (["jalv", "-x", "-n", client, args.uri], stdin=subprocess.PIPE)
        wait_for (lambda: jalv.poll() is not None or client + ":audio_out_4" in ports(), 30, "jalv's ports")
        assert jalv.poll() is None, "jalv exited"

        recording = os.path.join (work, "recorded.wav")
        seconds = (LEAD_IN + SIGNAL + TAIL) // RATE + 2
        recorder = start (["jack-record", "-n", "4", "-p", client + ":audio_out_%d", "-t", str (seconds), recording])
        wait_for (lambda: recorder.poll() is not None
                  or any (p.startswith ("jack-record") and p.endswith ("in_4") for p in ports()), 15, "jack-record")

        player_env = dict (env, JACK_PLAY_CONNECT_TO=client + ":audio_in_%d")
        # Zero-order hold: at the server's own rate the samples pass unfiltered.
        player = start (["jack-play", "-c", "3", os.path.join (work, "fuma.wav")], env=player_env)
        player.wait (timeout=seconds + 15)
        recorder.wait (timeout=seconds + 15)

        recorded = read_float_wav (recording)
        assert len (recorded) == 4, "expected four recorded channels, got %d" % len (recorded)

        # Align on the first sample that carries signal: the graph adds a period or two.
        first = next ((i for i, v in enumerate (recorded[1]) if v != 0.0), None)
        assert first is not None, "the recording is silent"
        assert first + SIGNAL <= len (recorded[1]), "the recording stops before the signal ends"

        expected = [[to_float32 (x * SQRT_TWO) for x in source[0]], source[2], source[3], source[1]]
        mismatches = 0
        for c in range (4):
            for i in range (SIGNAL):
                if recorded[c][first + i] != expected[c][i]:
                    if mismatches < 10:
                        print ("channel %d sample %d: got %r, expected %r" % (c, i, recorded[c][first + i], expected[c][i]))
                    mismatches += 1

        print ("compared %d samples on 4 channels at offset %d: %d differ" % (SIGNAL, first, mismatches))
        return 0 if mismatches == 0 else 1

    except Exception as error:
        print ("FAILED:", error)
        log.seek (0)
        print (log.read()[-4000:])
        return 1

    finally:
        for process in reversed (processes):
            if process.poll() is None:
                if process.stdin is not None:
                    process.stdin.close()
                process.terminate()
                try:
                    process.wait (timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait (timeout=5)
        log.close()
        shutil.rmtree (work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit (main())

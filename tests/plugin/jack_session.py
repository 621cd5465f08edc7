"""A JACK dummy server of a test's own, and a round trip through a client on
it: jack-play feeds it a four-channel FuMa file, jack-record records what comes
out, and every sample is checked against the conversion.

Everything started here is stopped here, whatever happens, within the time
limits below."""

import math
import os
import shutil
import struct
import subprocess
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
JACK_TOOLS = ("jackd", "jack-play", "jack-record", "jack_lsp")


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


class JackSession:
    """A work folder, a private server name, and every process started for the test."""

    def __init__ (self, prefix, environment):
        self.work = tempfile.mkdtemp (prefix=prefix)
        self.server = "ortholume-test-%d" % os.getpid()
        self.env = dict (os.environ, JACK_DEFAULT_SERVER=self.server, JACK_NO_AUDIO_RESERVATION="1", **environment)
        self.processes = []
        self.log = open (os.path.join (self.work, "log.txt"), "w+")

    def start (self, command, **kwargs):
        process = subprocess.Popen (command, env=kwargs.pop ("env", self.env), stdout=self.log, stderr=self.log, **kwargs)
        self.processes.append (process)
        return process

    def ports (self):
        result = subprocess.run (["jack_lsp"], env=self.env, capture_output=True, text=True, timeout=10)
        return result.stdout.split() if result.returncode == 0 else []

    def wait_for_port (self, process, port, seconds, what):
        wait_for (lambda: process.poll() is not None or port in self.ports(), seconds, what)
        assert process.poll() is None, what + ": the program exited"

    def start_server (self, channels):
        """The dummy backend with this many capture and playback ports."""
        jackd = self.start (["jackd", "--no-realtime", "-n", self.server, "-d", "dummy", "-r", str (RATE),
                             "-p", str (PERIOD), "-w", str (PERIOD_MICROSECONDS),
                             "-C", str (channels), "-P", str (channels)])
        self.wait_for_port (jackd, "system:playback_1", 15, "the JACK server")

    def round_trip (self, input_ports, output_ports):
        """Plays the FuMa signal into input_ports ("client:in_%d"), records
        output_ports, and returns 0 when every sample is the conversion's."""
        source = fuma_signal()
        silence = lambda n: [0.0] * n
        played = os.path.join (self.work, "fuma.wav")
        write_float_wav (played, [silence (LEAD_IN) + ch + silence (TAIL) for ch in source])

        recording = os.path.join (self.work, "recorded.wav")
        seconds = (LEAD_IN + SIGNAL + TAIL) // RATE + 2
        recorder = self.start (["jack-record", "-n", "4", "-p", output_ports, "-t", str (seconds), recording])
        wait_for (lambda: recorder.poll() is not None
                  or any (p.startswith ("jack-record") and p.endswith ("in_4") for p in self.ports()), 15, "jack-record")

        # Zero-order hold: at the server's own rate the samples pass unfiltered.
        player = self.start (["jack-play", "-c", "3", played], env=dict (self.env, JACK_PLAY_CONNECT_TO=input_ports))
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

    def close (self):
        for process in reversed (self.processes):
            if process.poll() is None:
                if process.stdin is not None:
                    process.stdin.close()
                process.terminate()
                try:
                    process.wait (timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait (timeout=5)
        self.log.close()
        shutil.rmtree (self.work, ignore_errors=True)


def run (prefix, environment, tools, test):
    """Runs test (session) -> exit code, with every tool checked first and
    everything stopped afterwards; a failure prints the programs' output."""
    for tool in JACK_TOOLS + tuple (tools):
        if shutil.which (tool) is None:
            print (tool + " is missing (tools/install-dependencies.sh installs it)")
            return 1

    session = JackSession (prefix, environment)
    try:
        return test (session)
    except Exception as error:
        print ("FAILED:", error)
        session.log.seek (0)
        print (session.log.read()[-4000:])
        return 1
    finally:
        session.close()

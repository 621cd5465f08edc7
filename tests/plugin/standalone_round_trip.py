#!/usr/bin/env python3
"""End to end through the Standalone app: it runs on a virtual display of its
own and plays through a JACK dummy server of its own, set up as a user would
in its audio settings (JACK, four inputs and outputs, input not muted), and the
conversion is checked sample by sample."""

import argparse
import os
import subprocess
import sys

import jack_session

CLIENT = "Ortholume"
CHANNELS = 4

# What the app's audio settings window saves, and reads back at start.
SETTINGS = """<?xml version="1.0" encoding="UTF-8"?>
<PROPERTIES>
  <VALUE name="audioSetup">
    <DEVICESETUP deviceType="JACK" audioOutputDeviceName="system" audioInputDeviceName="system"
                 audioDeviceRate="{rate}" audioDeviceBufSize="{period}"
                 audioDeviceInChans="1111" audioDeviceOutChans="1111"/>
  </VALUE>
  <VALUE name="shouldMuteInput" val="0"/>
</PROPERTIES>
"""


def start_display (session):
    """A virtual X server on a free display, with the window-manager atoms the
    framework looks up but does not create (a bare server has none)."""
    read_end, write_end = os.pipe()
    session.start (["Xvfb", "-displayfd", str (write_end), "-screen", "0", "800x600x24", "-noreset", "-nolisten", "tcp"],
                   pass_fds=(write_end,))
    os.close (write_end)

    with os.fdopen (read_end) as announced:
        number = announced.readline().strip()

    assert number.isdigit(), "Xvfb did not announce its display"
    display = ":" + number
    atoms = [["-f", "WM_PROTOCOLS", "32a", "-set", "WM_PROTOCOLS", "WM_DELETE_WINDOW"]]
    atoms += [["-f", atom, "8s", "-set", atom, "x"] for atom in ("WM_TAKE_FOCUS", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE")]

    for arguments in atoms:
        subprocess.run (["xprop", "-display", display, "-root"] + arguments, check=True, timeout=10)

    return display


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--app", required=True)
    args = parser.parse_args()

    def test (session):
        session.start_server (channels=CHANNELS)

        home = os.path.join (session.work, "home")
        os.makedirs (os.path.join (home, ".config"))
        with open (os.path.join (home, ".config", CLIENT + ".settings"), "w") as settings:
            settings.write (SETTINGS.format (rate=jack_session.RATE, period=jack_session.PERIOD))

        display = start_display (session)
        app = session.start ([args.app], env=dict (session.env, HOME=home, DISPLAY=display))
        session.wait_for_port (app, CLIENT + ":out_%d" % CHANNELS, 30, "the app's JACK ports")
        return session.round_trip (CLIENT + ":in_%d", CLIENT + ":out_%d")

    return jack_session.run ("ortholume-standalone-", {}, ["Xvfb", "xprop"], test)


if __name__ == "__main__":
    sys.exit (main())

#!/usr/bin/env python3
"""End to end through a real LV2 host: jalv runs the bundle on a JACK dummy
server of its own, and the conversion is checked sample by sample."""

import argparse
import os
import subprocess
import sys

import jack_session


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument ("--bundle-folder", required=True)
    parser.add_argument ("--uri", required=True)
    args = parser.parse_args()
    client = "ortholume%d" % os.getpid()

    def test (session):
        session.start_server (channels=2)
        jalv = session.start (["jalv", "-x", "-n", client, args.uri], stdin=subprocess.PIPE)
        session.wait_for_port (jalv, client + ":audio_out_4", 30, "jalv's ports")
        return session.round_trip (client + ":audio_in_%d", client + ":audio_out_%d")

    return jack_session.run ("ortholume-jalv-", { "LV2_PATH": args.bundle_folder }, ["jalv"], test)


if __name__ == "__main__":
    sys.exit (main())

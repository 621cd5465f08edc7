#!/usr/bin/env bash
# Installs everything Ortholume needs to build, test and benchmark, from Debian's archive.
set -euo pipefail

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

packages=(
    # Ninja runs every target's compiles side by side, where make finishes one target before the next.
    cmake ninja-build g++ make pkg-config
    juce-modules-source
    libasound2-dev libfreetype-dev libfontconfig1-dev
    libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev
    libgtest-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev
    # The style check, and a compiler cache for rebuilds and the other configurations.
    clang-format-14 ccache
    libsndfile1-dev
    # The converter's manual page is written from its --help; ffprobe checks
    # that its outputs show players no speaker layout.
    help2man ffmpeg
    # JACK for the Standalone app; a virtual display for anything with a window.
    libjack-jackd2-dev
    xvfb xauth x11-utils
    # Hosts no one here wrote, for the hosting tests: LV2 through jalv on a JACK
    # dummy server, the TTL through lv2_validate, VST2 through Ardour's scanner.
    python3 jalv jackd2 jack-tools lv2-dev sordi ardour
    # The converter's benchmark: hyperfine, the peers it is timed against, GNU time for peak memory.
    hyperfine sox ffmpeg time
)

$sudo apt-get update -qq
# Without recommends: the framework package recommends a VST2 header stand-in that we must not build on.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}"

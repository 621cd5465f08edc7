#!/usr/bin/env bash
# Times ortholume-convert against sox, ffmpeg and a plain cp of the same file, in
# one hyperfine run, on a 10-minute 4-channel 48 kHz 24-bit FuMa file, and prints
# each tool's time as a ratio to ortholume-convert.
#
#   bench/convert-files.sh [WORK_DIR]      (default: a fresh folder under /tmp)
#
# Needs about 2 GB free in WORK_DIR. Installs hyperfine, sox and ffmpeg from
# Debian's archive if they are missing (they are not test dependencies).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
work=${1:-$(mktemp -d /tmp/ortholume-bench-XXXXXX)}
mkdir -p "$work"

missing=()
for tool in hyperfine sox ffmpeg; do
    command -v "$tool" > /dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build --parallel "$(nproc)" --target ortholume-convert > /dev/null
convert=$PWD/build/source/converter/ortholume-convert

# Pink noise as a plane wave from azimuth 30, elevation 45 degrees, encoded as FuMa.
input=$work/fuma.wav
if [ ! -f "$input" ]; then
    sox -n -r 48000 -b 24 "$input" synth 600 pinknoise gain -10 remix 1v0.7071 1v0.6124 1v0.3536 1v0.7071
fi

hyperfine --warmup 1 --runs "$runs" \
    --export-csv "$work/results.csv" --export-markdown "$work/results.md" \
    -n ortholume-convert "$convert --to ambix --jobs 1 --quiet -o $work/ortholume.wav $input" \
    -n sox "sox $input $work/sox.wav remix -m 1v1.4142135623730951 3 4 2" \
    -n ffmpeg "ffmpeg -y -loglevel error -i $input -af 'pan=4c|c0=1.4142135623730951*c0|c1=c2|c2=c3|c3=c1' -c:a pcm_s24le $work/ffmpeg.wav" \
    -n cp "cp $input $work/cp.wav"

echo
echo "Mean times, and each as a multiple of ortholume-convert's ($work/results.csv):"
awk -F, 'NR > 1 { name[NR] = $1; mean[NR] = $2; if ($1 == "ortholume-convert") base = $2 }
         END { for (i = 2; i <= NR; ++i) printf "  %-18s %7.3f s  %5.2fx\n", name[i], mean[i], mean[i] / base }' "$work/results.csv"
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"

#!/usr/bin/env bash
# Times ortholume-convert against sox, ffmpeg and a plain cp of the same file, each
# case in one hyperfine run (1 warm-up, 5 runs), on 10-minute 4-channel 48 kHz FuMa
# files going to AmbiX, and measures the converter's peak memory on a 10-minute
# and a 1-hour file. Prints wall and CPU times and each as a multiple of
# ortholume-convert's.
#
#   bench/convert-files.sh [WORK_DIR]      (default: a fresh folder under /tmp)
#
# Needs about 6 GB free in WORK_DIR. Installs hyperfine, sox, ffmpeg and GNU time
# from Debian's archive if they are missing (they are not test dependencies).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
work=${1:-$(mktemp -d /tmp/ortholume-bench-XXXXXX)}
mkdir -p "$work"

missing=()
for tool in hyperfine sox ffmpeg /usr/bin/time; do
    command -v "$tool" > /dev/null || missing+=("$(basename "$tool")")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

tools/build.sh default ortholume-convert > /dev/null
convert=$PWD/build/source/converter/ortholume-convert

# Pink noise as a plane wave from azimuth 30, elevation 45 degrees, encoded as FuMa.
make_input() { # name, seconds, sox output options
    local name=$1 seconds=$2
    shift 2
    [ -f "$work/$name" ] || sox -n -r 48000 "$@" "$work/$name" synth "$seconds" pinknoise gain -10 \
        remix 1v0.7071 1v0.6124 1v0.3536 1v0.7071
}
make_input fuma24.wav 600 -b 24
make_input fuma16.wav 600 -b 16
make_input fuma-float.wav 600 -b 32 -e floating-point
make_input fuma24.flac 600 -b 24
make_input fuma24-hour.wav 3600 -b 24

# The same mapping for every tool: AmbiX W Y Z X from FuMa W X Y Z, W times sqrt(2).
# sox and ffmpeg without dither, as ortholume-convert rounds.
sox_remix="remix -m 1v1.4142135623730951 3 4 2"
ffmpeg_pan="pan=4c|c0=1.4142135623730951*c0|c1=c2|c2=c3|c3=c1"

# case name, then hyperfine's -n NAME COMMAND pairs
bench_case() {
    local name=$1
    shift
    echo
    echo "== $name"
    hyperfine --warmup 1 --runs "$runs" --export-csv "$work/$name.csv" "$@"
}

bench_case 24-bit \
    -n ortholume-convert "$convert --to ambix --jobs 1 --quiet --overwrite -o $work/ortholume.wav $work/fuma24.wav" \
    -n sox "sox -D $work/fuma24.wav $work/sox.wav $sox_remix" \
    -n ffmpeg "ffmpeg -y -loglevel error -i $work/fuma24.wav -af '$ffmpeg_pan' -c:a pcm_s24le $work/ffmpeg.wav" \
    -n cp "cp $work/fuma24.wav $work/cp.wav"

bench_case 16-bit \
    -n ortholume-convert "$convert --to ambix --jobs 1 --quiet --overwrite -o $work/ortholume.wav $work/fuma16.wav" \
    -n sox "sox -D $work/fuma16.wav $work/sox.wav $sox_remix" \
    -n ffmpeg "ffmpeg -y -loglevel error -i $work/fuma16.wav -af '$ffmpeg_pan' -c:a pcm_s16le $work/ffmpeg.wav" \
    -n cp "cp $work/fuma16.wav $work/cp.wav"

bench_case float32 \
    -n ortholume-convert "$convert --to ambix --jobs 1 --quiet --overwrite -o $work/ortholume.wav $work/fuma-float.wav" \
    -n sox "sox -D $work/fuma-float.wav $work/sox.wav $sox_remix" \
    -n ffmpeg "ffmpeg -y -loglevel error -i $work/fuma-float.wav -af '$ffmpeg_pan' -c:a pcm_f32le $work/ffmpeg.wav" \
    -n cp "cp $work/fuma-float.wav $work/cp.wav"

bench_case flac \
    -n ortholume-convert "$convert --to ambix --jobs 1 --quiet --overwrite -o $work/ortholume.flac $work/fuma24.flac" \
    -n sox "sox -D $work/fuma24.flac $work/sox.flac $sox_remix"

rm -f "$work"/ortholume.* "$work"/sox.* "$work"/ffmpeg.* "$work"/cp.*

echo
echo "Means, each as a multiple of ortholume-convert's wall time (from $work/*.csv):"
for name in 24-bit 16-bit float32 flac; do
    echo "  $name"
    awk -F, 'NR > 1 { name[NR] = $1; mean[NR] = $2; sd[NR] = $3; user[NR] = $5; sys[NR] = $6
                      if ($1 == "ortholume-convert") base = $2 }
             END { for (i = 2; i <= NR; ++i)
                       printf "    %-18s %6.3f s ± %5.3f  %5.2fx   CPU %5.2f user + %5.2f system s\n",
                              name[i], mean[i], sd[i], mean[i] / base, user[i], sys[i] }' "$work/$name.csv"
done

echo
echo "Peak memory (max RSS) of ortholume-convert:"
for input in fuma24.wav fuma24-hour.wav; do
    /usr/bin/time -f "  $input: %M KiB, %e s" "$convert" --to ambix --jobs 1 --quiet -o "$work/rss.wav" "$work/$input"
    rm -f "$work/rss.wav"
done

echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load average: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Photographs the Standalone app's window under a virtual X display, for the README.
# Needs the built Standalone app, xvfb, xprop (x11-utils) and imagemagick.
#   tools/editor-screenshot.sh [output.png]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
app="$root/build/plugin/Ortholume_artefacts/Release/Standalone/Ortholume"
for tool in xvfb-run xprop import /usr/bin/convert; do
    command -v "$tool" > /dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -x "$app" ] || { echo "build the Standalone app first: $app" >&2; exit 1; }

if [ "${1:-}" != "--inside-display" ]; then
    output="$(realpath -m "${1:-$root/docs/editor-standalone.png}")"
    # -noreset keeps the atoms created below after xprop disconnects.
    exec xvfb-run -a -s "-screen 0 800x600x24 -noreset" "$0" --inside-display "$output"
fi

output="$2"
shot="$(mktemp --suffix .png)"

# A bare X server has no window manager, so the protocol atoms the framework
# looks up (without creating them) do not exist yet, and creating a window
# fails with BadAtom. Creating them here is what a window manager would do.
xprop -root -f WM_PROTOCOLS 32a -set WM_PROTOCOLS WM_DELETE_WINDOW
for atom in WM_TAKE_FOCUS _NET_WM_PING WM_CHANGE_STATE WM_STATE; do
    xprop -root -f "$atom" 8s -set "$atom" x
done

"$app" &
pid=$!
sleep 6
import -window root "$shot"
kill "$pid"

# The window sits in the middle of the 800 x 600 screen: title bar, the
# app's notice about the muted input, then the 443 x 233 editor.
/usr/bin/convert "$shot" -crop 446x292+177+154 +repage "$output"
rm -f "$shot"
echo "$output"

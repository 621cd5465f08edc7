#!/usr/bin/env bash
# From a clean clone: install the dependencies, build, install the plug-ins into
# ~/.vst, ~/.vst3 and ~/.lv2 (the Standalone app into ~/.local/bin), install
# ortholume-convert and its manual page where a shell finds them, and convert the
# bundled FuMa example to AmbiX with it, which prints its summary.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
# Only what is installed: the tests and the other build configurations are tools/test.sh's.
tools/build.sh default Ortholume_All ortholume-convert ortholume-convert-manual
cmake --install build --prefix "$HOME"

# Root's PATH has /usr/local/bin but not ~/.local/bin; anyone else gets
# ~/.local/bin on PATH from Debian's ~/.profile at the next login.
if [ "$(id -u)" -eq 0 ]; then
    prefix=/usr/local
else
    prefix="$HOME/.local"
fi
cmake --install build --component converter --prefix "$prefix"

mkdir -p build/example
"$prefix/bin/ortholume-convert" -o build/example/circling-source-ambix.wav examples/circling-source-fuma.amb

echo
echo "ortholume-convert is installed as $prefix/bin/ortholume-convert; its manual: man ortholume-convert"
case ":$PATH:" in
    *":$prefix/bin:"*) ;;
    *)
        echo "$prefix/bin is not on this shell's PATH yet: open a new login shell, or run"
        echo "  export PATH=\"$prefix/bin:\$PATH\""
        ;;
esac

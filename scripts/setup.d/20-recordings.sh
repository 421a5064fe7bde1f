#!/bin/sh
# Renders the recordings of the installation (letter and character names,
# number words, system messages, telephone tones, the application's
# prompts) with espeak-ng into the folders the installed Talven.ini names.
# Recordings already there are kept, so running it again is cheap.
set -eu
ROOT=${ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
BUILD=${BUILD:-$ROOT/build}
"$BUILD/render_recordings" --install "$ROOT/data"

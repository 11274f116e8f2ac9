#!/bin/sh
# Runs one test program in a home of its own: HOME, the XDG folders and the
# temporary folder all lie in FOLDER, emptied first. So a test never reads what
# another run left (Qt's test mode keeps its files under $HOME/.qttest), and two
# build trees' suites can run on one machine at the same time.
# Usage: hermetic.sh FOLDER PROGRAM [ARGUMENTS...]
set -e
folder="$1"
shift
rm -rf "$folder"
mkdir -p "$folder/home" "$folder/config" "$folder/data" "$folder/cache" "$folder/state" \
         "$folder/tmp" "$folder/runtime"
chmod 700 "$folder/runtime"
export HOME="$folder/home"
export XDG_CONFIG_HOME="$folder/config"
export XDG_DATA_HOME="$folder/data"
export XDG_CACHE_HOME="$folder/cache"
export XDG_STATE_HOME="$folder/state"
export XDG_RUNTIME_DIR="$folder/runtime"
export TMPDIR="$folder/tmp"
exec "$@"

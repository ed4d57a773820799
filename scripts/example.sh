#!/usr/bin/env bash
# The main job: build, then write the built-in example and read it back with `kestrel check`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
build/tools/kestrel/kestrel example | build/tools/kestrel/kestrel check -

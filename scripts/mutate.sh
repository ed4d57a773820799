#!/usr/bin/env bash
# Mutation testing: every slip of scripts/mutants/ applied alone to a copy of the tree, rebuilt with
# ccache and judged by ctest. A developer's tool, run before an issue is resolved; see mutate.py.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v ccache >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq ccache >/dev/null
fi
exec python3 scripts/mutate.py "$@"

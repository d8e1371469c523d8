#!/usr/bin/env bash
# One entry point on a fresh Debian 12 machine: installs what is missing, then hands the
# target to make (run, test, sanitize, tsan, bench, fuzz, format).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
./scripts/install-deps.sh
exec make "${@:-run}"

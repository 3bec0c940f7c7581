#!/usr/bin/env bash
# Installs what is missing, builds, and starts vetcert with the arguments given.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/bootstrap.sh"
exec "$here/build/vetcert" "$@"

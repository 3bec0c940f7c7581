#!/usr/bin/env bash
# Whole-process figure for demo-data: 1,000,000 certificates into an empty directory.
# Target: under 60 s, peak memory under 200 MB.
set -euo pipefail
bin="$(cd "$(dirname "$0")/.." && pwd)/build/vetcert"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
/usr/bin/time -f "demo-data 1,000,000 certificates: %e s elapsed, %M KB peak memory" \
    "$bin" --data "$dir" demo-data --certificates "${1:-1000000}" --seed 7 2>&1 | grep -v удостоверений
ls -l "$dir"

#!/usr/bin/env bash
# Installs the Debian packages the program needs (when missing) and builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n libgl-dev libsqlite3-dev libbenchmark-dev
          libchm-dev fp-utils fonts-liberation poppler-utils xvfb xauth imagemagick sqlite3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "Не хватает пакетов. Выполните от имени root:" >&2
        echo "apt-get update && apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON
cmake -S . -B build -G Ninja -DVETCERT_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"

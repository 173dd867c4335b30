#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and builds Sleevanta.
#   ./build.sh run    install what is needed, build, start the application
#   ./build.sh test   install what is needed, build, run the whole test suite
#   ./build.sh bench  build and run the benchmarks
# Running it again is harmless: installed packages and an existing build are reused.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev fonts-dejavu-core
    libicu-dev libglib2.0-dev
    xvfb xdotool xclip xauth
    desktop-file-utils appstream
)

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
}

command="${1:-run}"
install_packages
build
case "$command" in
    run)
        if [ -x build/src/sleevanta ]; then
            exec build/src/sleevanta
        fi
        exec build/src/sleevanta-cli --help
        ;;
    test)
        cd build
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
        ;;
    bench)
        for b in build/bench/bench_*; do
            [ -x "$b" ] && QT_QPA_PLATFORM=offscreen "$b"
        done
        ;;
    *)
        echo "usage: $0 run|test|bench" >&2
        exit 64
        ;;
esac

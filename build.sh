#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and builds Sleevanta.
#   ./build.sh run    install what is needed, build, start the application
#   ./build.sh test   install what is needed, build, run the whole test suite
#   ./build.sh bench  build and run the benchmarks
#   ./build.sh package  build the Debian package into build/packages
#   ./build.sh sanitize  the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer
#   ./build.sh fuzz [SECONDS]  build the libFuzzer targets with clang and run each
# Running it again is harmless: installed packages and an existing build are reused.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-image-formats-plugins libgl-dev
    qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    fonts-dejavu-core
    libicu-dev libglib2.0-dev libtag1-dev
    xvfb xdotool xclip xauth
    flac vorbis-tools opus-tools
    desktop-file-utils appstream dbus-daemon dpkg-dev file lintian devscripts
    clang libclang-rt-dev
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

# A second build tree with extra flags: sanitized_build DIR FLAGS [TARGET...]
sanitized_build() {
    local dir="$1" flags="$2"
    shift 2
    # Line tables are all a sanitizer's report needs; full debug information
    # makes this tree take half as long again to build.
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSLEEVANTA_BUILD_BENCHMARKS=OFF \
        -DCMAKE_CXX_FLAGS="$flags -fno-omit-frame-pointer" -DCMAKE_CXX_FLAGS_DEBUG="-g1" \
        -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build "$dir" --target "$@"
    else
        cmake --build "$dir"
    fi
}

command="${1:-run}"
install_packages
case "$command" in
    sanitize|fuzz) ;;
    *) build ;;
esac
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
    package)
        # The package installs under /usr.
        cmake -S . -B build -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
        (cd build && cpack -G DEB -B packages)
        ls build/packages/*.deb
        ;;
    bench)
        for b in build/bench/bench_*; do
            if [ -f "$b" ] && [ -x "$b" ]; then
                QT_QPA_PLATFORM=offscreen "$b"
            fi
        done
        ;;
    sanitize)
        # The package is checked in the shipping build, not in this one.
        sanitized_build build-asan "-fsanitize=address,undefined -fno-sanitize-recover=undefined"
        (cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
            UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --timeout 300 -j2 \
            -E "e2e_window|package_contents|layer_order|english_plurals")
        ;;
    fuzz)
        seconds="${2:-60}"
        CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
            -DSLEEVANTA_FUZZ=ON -DSLEEVANTA_BUILD_TESTS=OFF >/dev/null
        cmake --build build-fuzz --target fuzz_search_answer fuzz_file_name fuzz_embed
        mkdir -p build-fuzz/corpus/search build-fuzz/corpus/names build-fuzz/corpus/audio
        cp tools/fixture/search/*.json build-fuzz/corpus/search/
        cp fuzz/corpus/names/* build-fuzz/corpus/names/
        cp fuzz/corpus/audio/* build-fuzz/corpus/audio/
        export ASAN_OPTIONS=detect_leaks=0
        build-fuzz/fuzz/fuzz_search_answer -max_total_time="$seconds" -timeout=30 -max_len=65536 \
            -print_final_stats=1 build-fuzz/corpus/search
        build-fuzz/fuzz/fuzz_file_name -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
            build-fuzz/corpus/names
        build-fuzz/fuzz/fuzz_embed -max_total_time="$seconds" -timeout=30 -max_len=16384 \
            -print_final_stats=1 build-fuzz/corpus/audio
        ;;
    *)
        echo "usage: $0 run|test|bench|package|sanitize|fuzz [SECONDS]" >&2
        exit 64
        ;;
esac

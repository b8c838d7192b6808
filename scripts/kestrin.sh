#!/usr/bin/env bash
# Sets up, builds and runs Kestrin on Debian 12, installing only the packages that are missing.
#   scripts/kestrin.sh run             build (Release) and start the program
#   scripts/kestrin.sh test            build (Debug) and run every test
#   scripts/kestrin.sh test-sanitized  build with AddressSanitizer + UBSan and run every test
#   scripts/kestrin.sh package         build the Debian package, check it, install it and start it
#   scripts/kestrin.sh fuzz [runs]     fuzz the work list file reader with libFuzzer (clang)
set -euo pipefail

cd "$(dirname "$0")/.."
mode="${1:-}"

# What building and running needs, then what only the tests use (independent readers of the
# files the program writes).
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libicu-dev
          libxkbcommon-dev libshp-dev qt6-translations-l10n fonts-liberation2 fonts-dejavu-core)
test_packages=(python3-dbfread python3-pil poppler-utils)

install_missing() {
    local missing=()
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "kestrin: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
        sudo="sudo"
    fi
    echo "kestrin: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build() { # build-dir cmake-args...
    local dir="$1"; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

case "$mode" in
run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "kestrin: no display available (DISPLAY and WAYLAND_DISPLAY are not set); start it from a desktop session" >&2
        exit 1
    fi
    install_missing
    build build-release -DCMAKE_BUILD_TYPE=Release -DKESTRIN_BUILD_BENCH=OFF
    exec build-release/app/kestrin
    ;;
test)
    packages+=("${test_packages[@]}")
    install_missing
    build build -DCMAKE_BUILD_TYPE=Debug
    cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
test-sanitized)
    packages+=("${test_packages[@]}")
    install_missing
    build build-sanitized -DCMAKE_BUILD_TYPE=Debug -DKESTRIN_SANITIZE=ON -DKESTRIN_BUILD_BENCH=OFF
    cd build-sanitized && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
        UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$(nproc)"
    ;;
package)
    # The Debian package: built from a Release build, checked with lintian, installed, and the
    # installed program started headless until its main window shows.
    packages+=(lintian xvfb xauth xdotool)
    install_missing
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRIN_BUILD_BENCH=OFF >/dev/null
    cmake --build build-release -j "$(nproc)" --target kestrin kestrin_icons kestrin_docs
    (cd build-release && rm -f ./*.deb && cpack -G DEB >/dev/null)
    deb=$(ls build-release/kestrin_*.deb)
    echo "kestrin: built $deb"
    dpkg-deb --info "$deb" | grep -E "Package|Version|Depends"
    lintian --fail-on error "$deb"
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "./$deb" >/dev/null
    display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfb=$!
    sleep 1
    DISPLAY="$display" HOME="$(mktemp -d)" /usr/bin/kestrin >/dev/null 2>&1 &
    program=$!
    if DISPLAY="$display" timeout 30 xdotool search --sync --name "Kestrin - расчёт сетевых графиков" >/dev/null; then
        echo "kestrin: the installed program shows its main window"
        status=0
    else
        echo "kestrin: the installed program did not show its main window" >&2
        status=1
    fi
    kill "$program" "$xvfb" 2>/dev/null || true
    exit $status
    ;;
fuzz)
    packages+=(clang libclang-rt-dev)
    install_missing
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_SANITIZE=ON \
        -DKESTRIN_FUZZ=ON -DKESTRIN_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz -j "$(nproc)" --target fuzz_worklist

    mkdir -p build-fuzz/corpus
    printf '1\r\n2\r\n5\r\n2\r\n3\r\n4\r\n' > build-fuzz/corpus/two-works.kdf
    printf 'a\r\nb\x1a\r\n\n\r' > build-fuzz/corpus/odd.kdf
    build-fuzz/fuzz/fuzz_worklist -print_final_stats=1 -runs="${2:-200000}" -max_len=4096 build-fuzz/corpus
    ;;
*)
    echo "usage: scripts/kestrin.sh run | test | test-sanitized | package | fuzz [runs]" >&2


    exit 2
    ;;
esac

#!/usr/bin/env bash
# Sets up, builds and runs Kestrin on Debian 12, installing only the packages that are missing.
#   scripts/kestrin.sh run             build the program (Release) and start it
#   scripts/kestrin.sh test            build (Debug) and run every test, under a Russian, the C and
#                                      an English locale
#   scripts/kestrin.sh test-sanitized  build with AddressSanitizer + UBSan and run every test
#   scripts/kestrin.sh start-headless  build as run does and start the program under Xvfb with a
#                                      Russian locale until its main window shows
#   scripts/kestrin.sh package         build the Debian package, check it, install it and start it
#   scripts/kestrin.sh fuzz [runs]     fuzz every reader of user files (work list, report page
#                                      file, CSV, pasted text) with libFuzzer (clang)
# KESTRIN_WERROR=ON (as CI sets it) makes every compiler warning an error.
set -euo pipefail

cd "$(dirname "$0")/.."
mode="${1:-}"

# What building and running needs, then what only the tests use (independent readers of the
# files the program writes).
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-svg-dev
          libgraphviz-dev libgl-dev libicu-dev libxkbcommon-dev libshp-dev liblemon-dev libboost-dev
          libexpat1-dev
          qt6-translations-l10n fonts-liberation2 fonts-dejavu-core)
test_packages=(python3-dbfread python3-pil python3-numpy poppler-utils librsvg2-bin locales)
# TaskJuggler schedules the working calendar's yardstick network.
test_packages+=(tj3)
# The Excel workbooks are written by libxlsxwriter and read back in the tests by openpyxl.
packages+=(libxlsxwriter-dev)
test_packages+=(python3-openpyxl)
# What starting the program headless needs.
headless_packages=(xvfb xauth xdotool)

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

configure() { # build-dir cmake-args...
    local dir="$1"; shift
    cmake -S . -B "$dir" -G Ninja -DKESTRIN_WERROR="${KESTRIN_WERROR:-OFF}" "$@" >/dev/null
}

build() { # build-dir cmake-args...
    configure "$@"
    cmake --build "$1" -j "$(nproc)"
}

# The program alone, as a user starts it: no tests, no benchmark.
build_program() {
    configure build-release -DCMAKE_BUILD_TYPE=Release -DKESTRIN_BUILD_BENCH=OFF
    cmake --build build-release -j "$(nproc)" --target kestrin "$@"
}

# The glibc locales the tests run under, generated into a folder of ours (LOCPATH) so that the
# machine's own locales stay as they are. A suite that silently fell back to "C" would prove
# nothing about a Russian desktop, so a locale that cannot be made stops here.
make_locales() {
    export LOCPATH="$PWD/build-locales"
    mkdir -p "$LOCPATH"
    local name
    for name in ru_RU de_DE en_US; do
        [ -f "$LOCPATH/$name.UTF-8/LC_NUMERIC" ] && continue
        localedef -i "$name" -f UTF-8 "$LOCPATH/$name.UTF-8" ||
            { echo "kestrin: cannot generate the $name.UTF-8 locale" >&2; exit 1; }
    done
    if [ "$(LC_ALL=ru_RU.UTF-8 locale decimal_point 2>/dev/null)" != "," ]; then
        echo "kestrin: the generated ru_RU.UTF-8 locale does not work" >&2
        exit 1
    fi
}

run_suite() { # build-dir locale...
    local dir="$1"; shift
    local locale
    for locale in "$@"; do
        echo "kestrin: the test suite under LANG=LC_ALL=$locale"
        (cd "$dir" && LANG="$locale" LC_ALL="$locale" QT_QPA_PLATFORM=offscreen \
            ctest --output-on-failure -j "$(nproc)")
    done
}

# Starts a program under a fresh Xvfb display with a Russian desktop's locale and waits until its
# main window shows.
show_headless() { # program
    local display=:$((90 + RANDOM % 9))
    Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
    local xvfb=$!
    sleep 1
    DISPLAY="$display" HOME="$(mktemp -d)" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 "$1" >/dev/null 2>&1 &
    local program=$!
    local status=0
    if DISPLAY="$display" timeout 30 xdotool search --sync --name "Kestrin - расчёт сетевых графиков" >/dev/null; then
        echo "kestrin: $1 shows its main window"
    else
        echo "kestrin: $1 did not show its main window" >&2
        status=1
    fi
    kill "$program" "$xvfb" 2>/dev/null || true
    return $status
}

# Fuzzes one reader from its seeds in fuzz/corpus/NAME; what it finds stays in build-fuzz, and
# so does the input of a failure.
fuzz_target() { # name max-len runs libFuzzer-options...
    local name="$1" max_len="$2" runs="$3"
    shift 3
    mkdir -p "build-fuzz/corpus-$name"
    cp "fuzz/corpus/$name/"* "build-fuzz/corpus-$name/"
    QT_QPA_PLATFORM=offscreen "build-fuzz/fuzz/fuzz_$name" -print_final_stats=1 -runs="$runs" \
        -max_len="$max_len" -artifact_prefix=build-fuzz/ "$@" "build-fuzz/corpus-$name"
}

case "$mode" in
run)
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        echo "kestrin: no display available (DISPLAY and WAYLAND_DISPLAY are not set); start it from a desktop session" >&2
        exit 1
    fi
    install_missing
    build_program
    exec build-release/app/kestrin
    ;;
start-headless)
    packages+=("${headless_packages[@]}" locales)
    install_missing
    make_locales
    build_program
    show_headless build-release/app/kestrin
    ;;
test)
    packages+=("${test_packages[@]}")
    install_missing
    make_locales
    build build -DCMAKE_BUILD_TYPE=Debug
    run_suite build ru_RU.UTF-8 C.UTF-8 en_US.UTF-8
    ;;
test-sanitized)
    packages+=("${test_packages[@]}")
    install_missing
    make_locales
    build build-sanitized -DCMAKE_BUILD_TYPE=Debug -DKESTRIN_SANITIZE=ON -DKESTRIN_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 run_suite build-sanitized ru_RU.UTF-8
    ;;
package)
    # The Debian package: built from a Release build, checked with lintian, installed, and the
    # installed program started headless until its main window shows.
    packages+=(lintian "${headless_packages[@]}" locales)
    install_missing
    make_locales
    build_program kestrin-batch kestrin_icons kestrin_docs
    (cd build-release && rm -f ./*.deb && cpack -G DEB >/dev/null)
    deb=$(ls build-release/kestrin_*.deb)
    echo "kestrin: built $deb"
    dpkg-deb --info "$deb" | grep -E "Package|Version|Depends"
    lintian --fail-on error "$deb"
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --reinstall "./$deb" >/dev/null
    show_headless /usr/bin/kestrin
    /usr/bin/kestrin-batch --help >/dev/null
    dpkg -L kestrin | grep -q "/man1/kestrin-batch.1.gz"
    ;;
format-check)
    # Every C++ file of the tree as .clang-format lays it out; the files that differ are named.
    packages=(clang-format-14)
    install_missing
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
    echo "kestrin: every C++ file is formatted"
    ;;
fuzz)
    packages+=(clang libclang-rt-dev)
    install_missing
    CXX=clang++ configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIN_SANITIZE=ON \
        -DKESTRIN_FUZZ=ON -DKESTRIN_BUILD_BENCH=OFF
    cmake --build build-fuzz -j "$(nproc)" --target fuzz_worklist fuzz_pagefile fuzz_csv fuzz_paste \
        fuzz_calendardays fuzz_calendarsection fuzz_planfile fuzz_mspdi fuzz_daycost \
        fuzz_levellingsection

    fuzz_target worklist 4096 "${2:-200000}"
    fuzz_target csv 4096 "${2:-200000}"
    fuzz_target paste 4096 "${2:-200000}"
    # Qt's font and platform plugins keep allocations for the life of the process, which the leak
    # check at the end of the run would report (the sanitized test run turns it off likewise).
    ASAN_OPTIONS=detect_leaks=0 fuzz_target pagefile 16384 "${2:-200000}"
    fuzz_target calendardays 4096 "${2:-200000}"
    fuzz_target calendarsection 4096 "${2:-200000}"
    fuzz_target planfile 16384 "${2:-200000}"
    fuzz_target mspdi 16384 "${2:-200000}"
    fuzz_target daycost 256 "${2:-200000}"
    fuzz_target levellingsection 4096 "${2:-200000}"
    ;;
*)
    echo "usage: scripts/kestrin.sh run | test | test-sanitized | start-headless | package | format-check | fuzz [runs]" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# Set-up, build and run in one place, so that the README's commands and CI do the same.
#   ./run.sh app     install what is missing, build (into build/, no tests), start Quillon
#   ./run.sh test    install what is missing, build (into build-test/), run the whole test suite
#   ./run.sh bench   install what is missing, build (optimised), run every benchmark
#   ./run.sh package install what is missing, build (Release), make the Debian package quillon_*.deb
#   ./run.sh fuzz [SECONDS [TARGET...]]  build the fuzz targets (clang, libFuzzer, ASan+UBSan), run
#                    each (or those named) for SECONDS (60)
#   ./run.sh sanitize install what is missing, build with clang's ASan+UBSan, run the whole test suite
set -euo pipefail
cd "$(dirname "$0")"

# fonts-noto-cjk: without a CJK font every Japanese text shows as boxes. xdotool: the demos click
# a row of the window they photograph. ansible-core: the fleet rollout of deploy/ansible and its test.
PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    libquazip1-qt6-dev libqt6sql6-sqlite dosfstools zlib1g-dev
    xvfb xauth x11-utils xdotool imagemagick fonts-dejavu-core fonts-noto-color-emoji fonts-noto-cjk
    iproute2 curl zip coreutils procps
    ansible-core
)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo=sudo
        export DEBIAN_FRONTEND=noninteractive
        $sudo apt-get update -q >/dev/null
        $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# build DIR TYPE [CMAKE OPTION...]
build() {
    local dir=$1 type=$2
    shift 2
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" -- -j"$(nproc)"
}

case "${1:-}" in
app)
    # The program, quillonctl and the tools the README uses; the test suite builds in build-test/.
    install_missing
    build build RelWithDebInfo -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: starting Quillon on a virtual X server (xvfb-run)."
        exec xvfb-run -a ./build/src/app/quillon
    fi
    exec ./build/src/app/quillon
    ;;
test)
    # A build of its own, compiled for speed of building (see the Check type in CMakeLists.txt),
    # so that it neither slows the application's build nor is rebuilt by it.
    install_missing
    build build-test Check -DQUILLON_BUILD_BENCH=OFF -DQUILLON_UNITY_BUILD=ON
    export QT_QPA_PLATFORM=offscreen
    # Two tests per core: most of them wait on sockets and timers most of the time (the three
    # longest use under a third of one core), so one per core leaves the processors idle.
    cd build-test && ctest --output-on-failure --timeout 600 -j"$(($(nproc) * 2))"
    ;;
bench)
    install_missing
    cmake -S . -B build-bench -G Ninja -DQUILLON_BUILD_TESTS=OFF >/dev/null
    build build-bench Release
    failed=()
    # Every script adds its figures to this file; the summary table at the end is made from it.
    BENCH_FIGURES=$(mktemp)
    export BENCH_FIGURES
    for b in bench/*.sh; do
        [ -e "$b" ] || continue
        echo "== $b"
        BUILD_DIR=build-bench bash "$b" || failed+=("$b")
    done
    source bench/lib/figures.sh
    print_figures "$BENCH_FIGURES"
    rm -f "$BENCH_FIGURES"
    if ((${#failed[@]})); then
        echo "benchmarks that failed: ${failed[*]}" >&2
        exit 1
    fi
    ;;
package)
    # dpkg-shlibdeps (dpkg-dev, which uses file) finds the libraries the package depends on.
    PACKAGES+=(dpkg-dev file)
    install_missing
    rm -f build-package/quillon_*.deb quillon_*.deb
    cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF >/dev/null
    cmake --build build-package --target quillon -- -j"$(nproc)"
    (cd build-package && cpack -G DEB)
    cp build-package/quillon_*.deb .
    echo "Install with: apt-get install ./$(basename build-package/quillon_*.deb)"
    ;;
demo)
    # Quillon against 30 simulated displays and a local firmware server, in a throw-away profile;
    # "./run.sh demo --check SECONDS" runs it headless and drives one LAN update (xdotool).
    PACKAGES+=(xdotool)
    install_missing
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build --target quillon displaysim_cmd fwserver -- -j"$(nproc)"
    shift
    exec tools/demo/quillon-demo.sh "$@"
    ;;
fuzz)
    # Each target starts from its seeds in fuzz/corpus and keeps what it learns in build-fuzz, so
    # the repository's corpus only changes by hand. Targets run side by side, one per core.
    PACKAGES+=(clang libclang-rt-14-dev)
    install_missing
    seconds=${2:-60}
    targets=$(cd fuzz/corpus && ls)
    if (($# > 2)); then
        targets=${*:3}
    fi
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILLON_FUZZ=ON -DQUILLON_BUILD_TESTS=OFF -DQUILLON_BUILD_BENCH=OFF >/dev/null
    cmake --build build-fuzz --target quillon_fuzz_targets -- -j"$(nproc)"
    export QT_QPA_PLATFORM=offscreen
    rm -rf build-fuzz/crashes build-fuzz/logs
    mkdir -p build-fuzz/work build-fuzz/crashes build-fuzz/logs
    printf '%s\n' $targets | xargs -P "$(nproc)" -I{} sh -c '
        mkdir -p build-fuzz/work/$1
        build-fuzz/fuzz/fuzz_$1 build-fuzz/work/$1 fuzz/corpus/$1 -max_total_time="$2" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/crashes/$1- \
            >build-fuzz/logs/$1.log 2>&1
        echo "$1: exit $? $(grep -h "^stat::number_of_executed_units" build-fuzz/logs/$1.log | tail -1)"
    ' _ {} "$seconds"
    # A slow unit (over 10 s once, on a busy machine) is kept for a look but is not a failure;
    # crashes, leaks, time-outs and running out of memory are.
    if compgen -G "build-fuzz/crashes/*-slow-unit-*" >/dev/null; then
        echo "slow inputs kept in build-fuzz/crashes:" $(cd build-fuzz/crashes && ls -- *-slow-unit-*)
    fi
    found=$(cd build-fuzz/crashes && ls -- *-crash-* *-leak-* *-timeout-* *-oom-* 2>/dev/null || true)
    if [ -n "$found" ]; then
        echo "crash inputs (logs in build-fuzz/logs):" $found >&2
        exit 1
    fi
    ;;
sanitize)
    # Every library, program, tool and test built with AddressSanitizer (which also checks for
    # leaks at exit) and UndefinedBehaviorSanitizer; any report fails its test. The child programs
    # the tests start (simulator, firmware server, quillonctl, quillon) are sanitized too and
    # inherit the options; their reports go to files as well, so that one whose test does not look
    # at its exit status still fails the run. Time limits are tripled: everything runs slower.
    PACKAGES+=(clang libclang-rt-14-dev)
    install_missing
    CC=clang CXX=clang++ cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILLON_SANITIZE=ON -DQUILLON_TEST_TIMEOUT_FACTOR=3 -DQUILLON_BUILD_BENCH=OFF >/dev/null
    cmake --build build-sanitize -- -j"$(nproc)"
    reports="$PWD/build-sanitize/sanitizer-reports"
    rm -rf "$reports" && mkdir -p "$reports"
    export QT_QPA_PLATFORM=offscreen
    export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:print_stacktrace=1:log_path=$reports/report"
    export LSAN_OPTIONS="report_objects=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/report"
    status=0
    (cd build-sanitize && ctest --output-on-failure --timeout 1800 -j"$(nproc)") || status=$?
    if [ -n "$(ls -A "$reports")" ]; then
        for f in "$reports"/*; do echo "== $f"; cat "$f"; done
        echo "sanitizer reports: $(ls "$reports" | wc -l) (in $reports)" >&2
        exit 1
    fi
    exit $status
    ;;
*)
    echo "usage: $0 app|test|bench|package|demo|sanitize|fuzz [SECONDS [TARGET...]]" >&2
    exit 2
    ;;
esac

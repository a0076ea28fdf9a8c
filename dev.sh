#!/usr/bin/env bash
# Norvale's one entry point for a fresh Debian 12 machine.
#
#   ./dev.sh run             install what Norvale needs, build it, and open it on the
#                            sample newsletter (norvale-check without a desktop)
#   ./dev.sh test            install what building and testing need, build, run every test
#                            (several at a time; NORVALE_TEST_JOBS sets how many)
#   ./dev.sh sanitize        the same tests in a second build (build-asan) with the
#                            address and undefined-behaviour sanitizers
#   ./dev.sh fuzz [SECONDS]  build the fuzz targets with clang (build-fuzz) and run
#                            each for SECONDS (default 30) on a copy of its seed corpus
#   ./dev.sh package         build the Debian package (build-deb/deb/norvale_<version>_<arch>.deb)
#                            with Debian's compiler flags, and run lintian on it
#   ./dev.sh package-check   install that package with apt-get, run the installed
#                            norvale-check and window (under Xvfb), then purge it and
#                            check that nothing of it is left
#   ./dev.sh lint            clang-format over every tracked C++ file, then clang-tidy
#                            (.clang-tidy) and clazy over src/ and bench/; any finding fails
#
# All are safe to run again: packages already installed are not fetched, and
# the builds only redo what changed.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libgmime-3.0-dev libpsl-dev libopendkim-dev libopendmarc-dev
    spamassassin
    help2man man-db desktop-file-utils appstream
    libgmime-3.0-dev
    spamassassin spamd spamc
)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# Only the tests need these: a DNS server on a loopback address for the network checks.
TEST_PACKAGES=(dnsmasq-base)
# Building, checking and trying out the Debian package.
PACKAGE_PACKAGES=(dpkg-dev file lintian xvfb x11-utils)
# The format and lint checks.
LINT_PACKAGES=(clang-format clang-tidy clazy)

# The build folders of the presets in CMakePresets.json that dev.sh uses.
BUILD_DIR=build
SANITIZE_BUILD_DIR=build-asan
FUZZ_BUILD_DIR=build-fuzz
PACKAGE_BUILD_DIR=build-deb
BENCH_BUILD_DIR=build-bench

install_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# configure PRESET FOLDER: configures the build folder of a configure preset
# (CMakePresets.json); warnings are errors in CI. An existing folder is
# configured again only when the warning setting or the presets changed, so a
# second run stays quick.
configure() {
    local preset=$1 dir=$2
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    if [ ! -f "$dir/build.ninja" ] || ! grep -q "^NORVALE_WERROR:BOOL=$werror\$" "$dir/CMakeCache.txt" ||
        [ CMakePresets.json -nt "$dir/CMakeCache.txt" ]; then
        cmake --preset "$preset" -DNORVALE_WERROR=$werror
    fi
}

build() {
    configure release "$BUILD_DIR"
    cmake --build --preset release
}

# The tests run side by side, as many at a time as the test preset's jobs or
# NORVALE_TEST_JOBS; tests that cannot share the machine hold a RESOURCE_LOCK.
run_tests() {
    ctest --preset "$1" ${NORVALE_TEST_JOBS:+--parallel "$NORVALE_TEST_JOBS"}
}

# Leaks end a test with a failure; the suppressions (tests/sanitizer/lsan.supp,
# named by the sanitizers test preset) cover only allocations that system
# libraries make once and keep for the whole run.
sanitize() {
    configure sanitizers "$SANITIZE_BUILD_DIR"
    cmake --build --preset sanitizers
    run_tests sanitizers
}

# One line from the figures libFuzzer prints at the end of a run: inputs tried,
# their rate, code edges covered and the size of the corpus it kept.
fuzz_summary() {
    local log=$1 runs rate done
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    done=$(grep -E '[[:space:]]DONE[[:space:]]' "$log" | tail -n 1)
    echo "$runs inputs ($rate/s), $(sed -E 's/.*cov: ([0-9]+).*/\1/' <<<"$done") edges covered," \
        "corpus of $(sed -E 's/.*corp: ([0-9]+).*/\1/' <<<"$done") inputs"
}

# Runs every fuzz target for the given seconds, one after the other; a crash,
# hang (10 s for one input), leak or sanitizer report fails the run and leaves
# the input that caused it in <build-fuzz>/fuzz-runs/<target>/.
fuzz() {
    local seconds=$1
    configure fuzz "$FUZZ_BUILD_DIR"
    cmake --build --preset fuzz

    local failed=() count=0
    for program in "$FUZZ_BUILD_DIR"/fuzz/fuzz_*; do
        [ -x "$program" ] || continue
        local name=${program##*/fuzz_}
        local work=$FUZZ_BUILD_DIR/fuzz-runs/$name
        rm -rf "$work"
        mkdir -p "$work/corpus"
        cp tests/fuzz/corpus/"$name"/* "$work/corpus/"
        local dict=()
        [ -f "tests/fuzz/$name.dict" ] && dict=(-dict="tests/fuzz/$name.dict")
        count=$((count + 1))
        if "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "${dict[@]}" \
            -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
            echo "fuzz_$name: clean, ${seconds} s, $(fuzz_summary "$work/log")"
        else
            tail -n 40 "$work/log"
            echo "fuzz_$name: FAILED, see $work/log and the input saved beside it"
            failed+=("$name")
        fi
    done
    [ $count -gt 0 ] || { echo "no fuzz targets were built" >&2; return 1; }
    [ ${#failed[@]} -eq 0 ] || { echo "fuzzing failed: ${failed[*]}" >&2; return 1; }
}

# The package is built as Debian builds its own: the compiler and linker flags
# of dpkg-buildflags (hardening included), no tests, binaries stripped by CPack.
package() {
    local cxxflags ldflags
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    ldflags=$(dpkg-buildflags --get LDFLAGS)
    CXXFLAGS=$cxxflags LDFLAGS=$ldflags configure package "$PACKAGE_BUILD_DIR"
    cmake --build --preset package
    rm -f "$PACKAGE_BUILD_DIR"/deb/*.deb
    (cd "$PACKAGE_BUILD_DIR" && cpack -G DEB)
    local deb
    deb=$(package_file)
    echo "Built $deb:"
    dpkg-deb --info "$deb" | sed -n '/^ Package:/,/^ Description:/p'
    # Errors fail the build; what lintian still reports is explained in packaging/README.md.
    lintian --fail-on error --info --display-level '>=warning' "$deb"
    echo "lintian: no errors on $deb"
}

package_file() {
    local files=("$PACKAGE_BUILD_DIR"/deb/norvale_*.deb)
    [ -f "${files[0]}" ] || { echo "no package in $PACKAGE_BUILD_DIR/deb: run ./dev.sh package" >&2; return 1; }
    echo "${files[0]}"
}

# clazy's Qt checks: all of level0 (each a likely fault), and of level1 those about
# copies and detaches of Qt's containers and strings. The rest of level1 is style
# for libraries (non-POD statics, NOTIFY-less properties) or already clang-tidy's.
CLAZY_CHECKS=level0,range-loop-detach,qstring-arg,detaching-temporary,container-anti-pattern

# Runs the three checks one after the other and fails at the end if any of them
# found something, so that one run shows every finding. A configured build folder
# is all clang-tidy and clazy need: no source includes moc output, and the
# compile database gives them each file's flags.
lint() {
    local root failed=() start=$SECONDS
    root=$(pwd -P)
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror || failed+=(clang-format)
    echo "clang-format: done in $((SECONDS - start)) s"

    # The bench preset's compile database holds the program and the benchmark
    # sources alike; only configured, nothing is built.
    local dir=$BENCH_BUILD_DIR
    configure bench "$dir"
    # Their logs without the lines that only count what the filters hid.
    local quiet=(-e ' generated\.$' -e '^clang-tidy[-0-9]* ')
    start=$SECONDS
    local tidylog=$dir/clang-tidy.log
    run-clang-tidy -p "$dir" -j "$(nproc)" -quiet "^$root/(src|bench)/" >"$tidylog" 2>&1 ||
        failed+=(clang-tidy)
    grep -v "${quiet[@]}" "$tidylog" || true
    echo "clang-tidy: done in $((SECONDS - start)) s"

    start=$SECONDS
    local log=$dir/clazy.log clean=true
    git ls-files -z 'src/*.cpp' 'bench/*.cpp' | xargs -0 -P "$(nproc)" -n 4 clazy-standalone -p "$dir" \
        --checks="$CLAZY_CHECKS" --header-filter="^$root/(src|bench)/" >"$log" 2>&1 || clean=false
    grep -v "${quiet[@]}" "$log" || true
    grep -qE ': (warning|error): ' "$log" && clean=false
    $clean || failed+=(clazy)
    echo "clazy: done in $((SECONDS - start)) s"

    [ ${#failed[@]} -eq 0 ] || { echo "lint found problems: ${failed[*]}" >&2; return 1; }
}

case "${1:-}" in
run)
    install_packages "${PACKAGES[@]}"
    build
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        "$BUILD_DIR/bin/norvale" samples/newsletter.eml
    else
        echo "No desktop session (DISPLAY is not set): checking the sample with norvale-check instead."
        "$BUILD_DIR/bin/norvale-check" samples/newsletter.eml
    fi
    ;;
test)
    install_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    run_tests release
    echo "dev.sh test: every test passed ($BUILD_DIR)"
    ;;
sanitize)
    install_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    sanitize
    echo "dev.sh sanitize: every test passed under the sanitizers ($SANITIZE_BUILD_DIR)"
    ;;
fuzz)
    seconds=${2:-30}
    [[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 fuzz [SECONDS]" >&2; exit 2; }
    install_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    fuzz "$seconds"
    echo "dev.sh fuzz: every fuzz target ran ${seconds} s clean ($FUZZ_BUILD_DIR)"
    ;;
package)
    install_packages "${PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
    package
    ;;
package-check)
    install_packages "${PACKAGE_PACKAGES[@]}"
    packaging/check-installed.sh "$(package_file)"
    echo "dev.sh package-check: installed, ran, purged and left nothing behind"
    ;;
lint)
    install_packages "${PACKAGES[@]}" "${LINT_PACKAGES[@]}"
    lint
    echo "dev.sh lint: format, clang-tidy and clazy clean"
    ;;
*)
    echo "usage: $0 run|test|sanitize|fuzz [SECONDS]|package|package-check|lint" >&2
    exit 2
    ;;
esac

# Shared set-up for the project's scripts: installs missing Debian packages and builds.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

NATIVE_PACKAGES="cmake make g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev time
  nlohmann-json3-dev libgif-dev libncurses-dev tmux python3 python3-xmlschema unicode-data"
# unicode-data: CaseFolding.txt, which scripts/gen-case-folding and the native tests read.
# googletest: its sources, which the Windows test programs are built with.
WINDOWS_PACKAGES="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools googletest
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64 wine32:i386 libwine-dev
  xvfb xauth x11-utils imagemagick fonts-wine nsis fp-utils libchm-bin
  wixl msitools osslsigncode openssl"
# The fuzz targets are built with clang's libFuzzer and sanitizers.
FUZZ_PACKAGES="clang libclang-rt-14-dev"

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

. "$ROOT/scripts/lib/packages.sh"

# The compiler launcher options for ccache when there is one (none is installed by the
# scripts: it only saves time where a developer has it).
ccache_launcher() {
  command -v ccache >/dev/null && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
}

# build_native DIR [cmake options...]
build_native() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo $(ccache_launcher) "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

# clang_tree DIR [cmake options...]: configures a tree built with clang (and ccache when there
# is one), instrumented for the fuzzer and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer throughout.
clang_tree() {
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUILLAMOR_FUZZ=ON \
    -DQUILLAMOR_BENCHMARKS=OFF $(ccache_launcher) "$@" >/dev/null
}

# build_fuzz DIR TARGET...: the fuzz targets alone, optimised, for long fuzzing (scripts/fuzz).
build_fuzz() {
  local dir=$1; shift
  clang_tree "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLAMOR_TESTS=OFF
  cmake --build "$dir" -j "$JOBS" --target "$@"
}

# build_checked DIR: the sanitizer tree of scripts/test: the test suites and the fuzz targets
# together, one clang build rather than one for each.
build_checked() {
  local dir=$1
  # A tree that an earlier version of this script built with g++ is started afresh.
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  clang_tree "$dir" -DCMAKE_BUILD_TYPE=Debug
  cmake --build "$dir" -j "$JOBS"
}

# The fuzz targets, and the seed inputs of each: its committed corpus, and for the reader
# the example and test scenarios and profiles as they are.
FUZZ_TARGETS="fuzz_scenario_reader fuzz_categories"
fuzz_seeds() {
  case $1 in
    fuzz_scenario_reader)
      echo "$ROOT/fuzz/corpus/scenario_reader $ROOT/examples $ROOT/tests/scenarios $ROOT/tests/scenarios/profiles" ;;
    fuzz_categories) echo "$ROOT/fuzz/corpus/categories" ;;
  esac
}

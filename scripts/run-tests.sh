#!/usr/bin/env bash
# Installs what the build needs, configures, builds and runs every test.
# Options: --sanitize (address + undefined), --heap-stress (string heap compacts
# at every allocation), --tsan (thread sanitizer, serial and frame tests only),
# --build-dir DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=plain
build_dir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) mode=sanitize ;;
    --heap-stress) mode=heap-stress ;;
    --tsan) mode=tsan ;;
    --build-dir) build_dir="$2"; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
./scripts/install-packages.sh
flags=()
sanitizer_build=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG")
ctest_args=()
build_target=all
case "$mode" in
  # Optimised as a release is, without debug information: a third less
  # compile time than the default RelWithDebInfo.
  plain) build_dir=${build_dir:-build}; flags+=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG") ;;
  # The sanitizer builds at -O1 with full debug information: a third less
  # compile time than -O2, and reports keep their lines.
  sanitize) build_dir=${build_dir:-build-asan}; flags+=(-DQK_SANITIZE=ON -DQK_BENCH=OFF "${sanitizer_build[@]}") ;;
  heap-stress) build_dir=${build_dir:-build-stress}; flags+=(-DQK_HEAP_STRESS=ON -DQK_SANITIZE=ON -DQK_BENCH=OFF "${sanitizer_build[@]}") ;;
  tsan) build_dir=${build_dir:-build-tsan}; flags+=(-DQK_TSAN=ON -DQK_BENCH=OFF); ctest_args+=(-L threads); build_target=qk_threaded_tests ;;
esac
cmake -S . -B "$build_dir" "${flags[@]}"
cmake --build "$build_dir" -j "$(nproc)" --target "$build_target"
cd "$build_dir"
# Many cases at once: the end-to-end cases mostly wait; the busy ones take a
# "cpu" slot each, one per core (tests/CMakeLists.txt).
ctest --output-on-failure -j "$(( $(nproc) * 4 ))" --resource-spec-file ctest-resources.json "${ctest_args[@]}"

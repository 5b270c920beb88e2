#!/usr/bin/env bash
# Checks the naming rules (README "Naming"): identifiers with clang-tidy's
# naming check as .clang-tidy sets it, test sources named *_test.cpp, test
# programs named *_tests, and quoted includes written as paths from the
# repository root.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-packages.sh
status=0

# A source that defines test cases is NAME_test.cpp, and only such a source.
while read -r file; do
  defines_tests=no
  grep -qE '^\s*(TEST|TEST_F|TEST_P|TYPED_TEST)\(' "$file" && defines_tests=yes
  case "$file:$defines_tests" in
    *_test.cpp:no) echo "$file: named as a test source but defines no test"; status=1 ;;
    *_test.cpp:yes | *:no) ;;
    *) echo "$file: defines tests, so its name ends in _test.cpp"; status=1 ;;
  esac
  case "${file##*/}" in test_*) echo "$file: test sources are NAME_test.cpp, not test_NAME.cpp"; status=1 ;; esac
done < <(git ls-files 'tests/*.cpp')

# A test program is NAME_tests.
while read -r program; do
  case "$program" in *_tests) ;; *) echo "test program $program: test programs are NAME_tests"; status=1 ;; esac
done < <(git ls-files 'tests/*CMakeLists.txt' | xargs sed -nE 's/.*qk_add_test\(\s*([A-Za-z0-9_]+).*/\1/p')

# Quoted includes name a file from the repository root; qk_version.h is the
# one header the build writes (cmake/Version.cmake).
while IFS=: read -r file line text; do
  path=$(sed -E 's/^\s*#\s*include\s+"([^"]+)".*/\1/' <<<"$text")
  [ -f "$path" ] || [ "$path" = qk_version.h ] || { echo "$file:$line: include \"$path\" is not a path from the repository root"; status=1; }
done < <(git ls-files '*.cpp' '*.h' | xargs grep -nE '^\s*#\s*include\s+"' || true)

# Identifiers: every source the build knows, with benchmarks and fuzz targets.
CC=clang CXX=clang++ cmake -S . -B build-names -DQK_FUZZ=ON -DQK_BENCH=ON > /dev/null
cmake --build build-names --target qk_version_header > /dev/null
run-clang-tidy -p build-names -j "$(nproc)" -quiet > build-names/clang-tidy.log 2>&1 || {
  grep -E 'warning:|error:' build-names/clang-tidy.log | sort -u
  status=1
}
[ "$status" -eq 0 ] && echo "naming rules: all sources keep them"
exit "$status"

#!/usr/bin/env bash
# Installs what is missing, builds the native, win32 and win64 presets and the packages, and runs every test:
# the check that includes point only down the levels, the unit tests (with the check that the generators remake
# the committed pictures), each fuzz target for a bounded time (the fuzz preset), checks of the two Windows
# programs, the setup program and the .deb and .rpm of the X11 program, and the end-to-end tests under Wine of
# the 32-bit program, then its start-up and preview tests once more with the 64-bit one; where the kernel runs no
# 32-bit code, the end-to-end tests run the 64-bit program.
# The last line is the overall summary in ctest's words; the exit status is 0 only if all passed.
set -uo pipefail
# The tools' output is read as their C locale prints it, whatever the caller's; the end-to-end tests give Wine alone
# the Japanese locale.
export LC_ALL=C
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

bash scripts/setup.sh || exit 1

for preset in native win32 win64 web; do
  echo "== build: $preset"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset"; }; then
    echo "the $preset build failed"
    exit 1
  fi
done

# The setup program and the zip, which the end-to-end tests install and unpack.
echo "== packages"
bash packaging/build.sh || { echo "the packages failed to build"; exit 1; }

logs=build/test-logs
mkdir -p "$logs"

echo "== levels"
layer_checks=1 layer_passed=0
if python3 scripts/check_layers.py >"$logs/layers.txt" 2>&1; then
  layer_passed=1
  echo "PASS: every include points down the levels"
else
  echo "FAIL: scripts/check_layers.py:"
  tail -n 20 "$logs/layers.txt"
fi

echo "== unit tests"
ctest --preset native 2>&1 | tee "$logs/unit.txt"

# Each fuzz target for a bounded time (QUORVEL_FUZZ_SECONDS, default 30), after the inputs it once failed on.
fuzz_targets=(settings command_line bmp scale_rotate)
echo "== fuzzing, ${QUORVEL_FUZZ_SECONDS:-30} s per target"
if cmake --preset fuzz >"$logs/fuzz-build.txt" 2>&1 && cmake --build --preset fuzz >>"$logs/fuzz-build.txt" 2>&1; then
  bash fuzz/run.sh "${QUORVEL_FUZZ_SECONDS:-30}" "${fuzz_targets[@]}" 2>&1 | tee "$logs/fuzz.txt"
else
  echo "FAIL: the fuzz build failed:" | tee "$logs/fuzz.txt"
  tail -n 20 "$logs/fuzz-build.txt"
fi
fuzz_checks=${#fuzz_targets[@]} fuzz_passed=$(grep -c '^PASS: fuzz_' "$logs/fuzz.txt")

# The DLLs the program may import: KnownDLLs only, which Windows always takes from its system folder, so no file
# of such a name beside the saver (in a Downloads folder, say) is ever loaded in its place. Anything else
# (msimg32, comctl32, uxtheme, winmm, libstdc++, libgcc, winpthread, ...) would be searched for there first.
allowed_dlls='^(kernel32|user32|gdi32|shell32|advapi32|msvcrt|ole32|oleaut32|comdlg32|imm32|shlwapi|shcore|api-ms-win-[a-z0-9-]+)\.dll$'

# check_program FILE OBJDUMP MAGIC MACHINE [ALSO]: a GUI program of that kind importing only known DLLs (and the
# DLL names of the regex ALSO).
check_program() {
  local file=$1 objdump=$2 magic=$3 machine=$4 also=${5:-^$} headers dll bad=()
  if [[ ! -f $file ]]; then
    echo "FAIL: $file is missing"
    return 1
  fi
  headers=$("$objdump" -p -f "$file" 2>&1)
  if ! grep -q "file format $machine" <<<"$headers" || ! grep -qE "^Magic[[:space:]]+$magic" <<<"$headers"; then
    echo "FAIL: $file is not a $machine program with magic $magic"
    return 1
  fi
  if ! grep -qE '^Subsystem[[:space:]]+0+2[[:space:]]' <<<"$headers"; then
    echo "FAIL: $file is not a Windows GUI program"
    return 1
  fi
  while read -r dll; do
    grep -qiE "$allowed_dlls" <<<"$dll" || grep -qiE "$also" <<<"$dll" || bad+=("$dll")
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
  if ((${#bad[@]})); then
    echo "FAIL: $file imports DLLs that are not known DLLs: ${bad[*]}"
    return 1
  fi
  echo "PASS: $file is $machine ($magic), GUI, imports $(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | paste -sd ' ')"
}

echo "== Windows programs"
program_checks=3 program_passed=0
check_program build/win32/Quorvel.scr i686-w64-mingw32-objdump '010b' pei-i386 && ((program_passed++))
check_program build/win64/Quorvel.scr x86_64-w64-mingw32-objdump '020b' pei-x86-64 && ((program_passed++))
# The shipped setup program must start on 32-bit Windows too. NSIS's own stub imports comctl32, which its manifest
# binds to the system's side-by-side copy; what it loads later it takes from the system folder only.
check_program build/packages/QuorvelSetup-*.exe i686-w64-mingw32-objdump '010b' pei-i386 '^comctl32\.dll$' &&
  ((program_passed++))

# The X11 program's .deb and .rpm, made by cpack: the program, its settings description for xscreensaver and its
# desktop entry for MATE where they belong, a valid entry, the X libraries named, a long description.
echo "== X11 program packages"
deb_checks=2 deb_passed=0
bash scripts/check_packages.sh | tee "$logs/packages.txt"
deb_passed=$(grep -c '^PASS: ' "$logs/packages.txt")

# Wine's 32-bit loader needs the kernel's 32-bit emulation. Where the kernel has none, the 32-bit program is
# still built and checked above, and the end-to-end suite runs the 64-bit one instead.
if wine --version >/dev/null 2>&1; then
  e2e_build=build/win32
  again64=(tests/e2e/test_startup.sh tests/e2e/test_preview.sh)
else
  echo "note: this kernel runs no 32-bit programs; the end-to-end tests run the 64-bit program, and the 64-bit"
  echo "      build of the setup program (build/packages/amd64) stands in for the shipped 32-bit one"
  e2e_build=build/win64
  again64=()
fi

echo "== end-to-end tests under Wine ($e2e_build)"
QUORVEL_PACKAGES_DIR=$PWD/build/packages QUORVEL_WIN32_DIR=$PWD/$e2e_build \
  ctest --test-dir build/native -L e2e --output-on-failure 2>&1 | tee "$logs/e2e.txt"

# The 64-bit program through the start-up and preview tests as well, when the suite above ran the 32-bit one.
win64_checks=0 win64_passed=0
((${#again64[@]})) && echo "== end-to-end tests of the 64-bit program"
for script in "${again64[@]}"; do
  win64_checks=$((win64_checks + 1))
  if QUORVEL_SOURCE_DIR=$PWD QUORVEL_WIN32_DIR=$PWD/build/win64 bash "$script" >"$logs/win64-$(basename "$script" .sh).txt" 2>&1; then
    win64_passed=$((win64_passed + 1))
    echo "PASS: $script with build/win64"
  else
    echo "FAIL: $script with build/win64:"
    tail -n 25 "$logs/win64-$(basename "$script" .sh).txt"
  fi
done

# Adds up ctest's "N% tests passed, F tests failed out of T" lines; a run without one counts as a failure.
total=0 failed=0
for log in "$logs/unit.txt" "$logs/e2e.txt"; do
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    total=$((total + BASH_REMATCH[2]))
  else
    echo "no test summary in $log"
    failed=$((failed + 1))
    total=$((total + 1))
  fi
done
failed=$((failed + program_checks - program_passed + win64_checks - win64_passed + fuzz_checks - fuzz_passed))
failed=$((failed + deb_checks - deb_passed + layer_checks - layer_passed))
total=$((total + program_checks + win64_checks + fuzz_checks + deb_checks + layer_checks))

echo "== summary (levels, unit, fuzzing, Windows program and package checks, end-to-end)"
echo "$(((total - failed) * 100 / total))% tests passed, $failed tests failed out of $total"
((failed == 0))

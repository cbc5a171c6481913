#!/bin/sh
# clang-tidy and cppcheck over the program's sources, with the compile commands of a
# configured and built tree (the Qt code needs its generated moc files).
#
#   static-analysis.sh [BUILD-FOLDER]   (default: the source tree's build/default)
#
# The same files are checked from whatever folder it is run, and it fails when it finds none.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd -P)
build=${1:-$root/build/default}
out=$build/static-analysis
mkdir -p "$out"
src=$root/src/

/usr/bin/python3 - "$build/compile_commands.json" "$out/compile_commands.json" "$src" <<'PY'
import json, os, sys
entries = json.load(open(sys.argv[1]))
def path(e):
    return os.path.realpath(os.path.join(e["directory"], e["file"]))
keep = [dict(e, file=path(e)) for e in entries
        if path(e).startswith(sys.argv[3]) and "_autogen" not in e["file"]]
if not keep:
    sys.exit(f"static-analysis: no source file of {sys.argv[3]} in {sys.argv[1]}")
json.dump(keep, open(sys.argv[2], "w"), indent=1)
print(f"{len(keep)} files")
PY

echo "clang-tidy:"
run-clang-tidy -quiet -p "$out" -j "$(nproc)" "$src" >"$out/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' -A3 "$out/clang-tidy.log" >&2 || cat "$out/clang-tidy.log" >&2
    exit 1
}
echo "  clean"

# cppcheck 2.11 and later (Debian 13's) note each file in which they bounded their analysis of
# branches, and --error-exitcode counts the note as a finding.
echo "cppcheck:"
cppcheck --project="$out/compile_commands.json" -j "$(nproc)" -q --error-exitcode=1 \
    --enable=warning,performance,portability --inline-suppr --library=qt \
    --suppress=missingIncludeSystem --suppress='*:/usr/*' --suppress=normalCheckLevelMaxBranches \
    -DQT_WARNING_PUSH= -DQT_WARNING_POP= -DQT_WARNING_DISABLE_DEPRECATED= \
    --cppcheck-build-dir="$out" 2>&1
echo "  clean"

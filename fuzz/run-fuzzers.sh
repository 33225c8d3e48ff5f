#!/usr/bin/env bash
# Runs each fuzz target of a libFuzzer build for SECONDS on its saved corpus:
#   fuzz/run-fuzzers.sh BUILD-DIR SECONDS [TARGET...]
# New inputs go to BUILD-DIR/fuzz-corpus/<target> (the saved corpus stays as it is); a crash leaves its
# input in BUILD-DIR/fuzz-artifacts/<target>/ and makes the script fail. To fold new finds into the saved
# corpus: fuzz_<target> -merge=1 fuzz/corpus/<target> BUILD-DIR/fuzz-corpus/<target>
set -uo pipefail
build=$1
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(rayuela dbf ini)
here=$(cd "$(dirname "$0")" && pwd)
failed=0
for target in "${targets[@]}"; do
  work="$build/fuzz-corpus/$target"
  artifacts="$build/fuzz-artifacts/$target/"
  mkdir -p "$work" "$artifacts"
  dict=()
  [ -f "$here/$target.dict" ] && dict=(-dict="$here/$target.dict")
  echo "== fuzz_$target: $seconds s"
  if ! "$build/bin/fuzz_$target" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts" "$work" "$here/corpus/$target"; then
    echo "fuzz_$target encontró un fallo: vea $artifacts"
    failed=1
  fi
done
exit $failed

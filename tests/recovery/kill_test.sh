#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Kills lumaset-cli with SIGKILL at random moments of an edit and checks that
# --recover brings back exactly the picture of the last step the journal left
# behind names, and that Undo from there reaches every earlier step.
#   tests/recovery/kill_test.sh CLI [KILLS] [WxH] [WORK_DIR]
# The default is 30 kills on a 6000 x 4000 photo; ctest runs a few kills on a
# small picture.
set -uo pipefail
cli="$(realpath "${1:?usage: kill_test.sh CLI [KILLS] [WxH] [WORK_DIR]}")"
kills="${2:-30}"
size="${3:-6000x4000}"
work="${4:-}"
own_work=0
if [ -z "$work" ]; then work=$(mktemp -d) && own_work=1; fi
root="$(cd "$(dirname "$0")/../.." && pwd)"
mkdir -p "$work"
cd "$work" || exit 2

# Effects of different lengths, one in-place (Add Noise draws random numbers).
steps=(--do Reverse --do Blur --do "Add Noise" --do Emboss --do Sharpen --do "Flip Vertical")
count=$((${#steps[@]} / 2))

convert "$root/tests/data/coffee.png" -resize "${size}!" -alpha off "PNG24:in.png" || exit 2

# The reference: the same edit unkilled, saved after every step; ref0 is the
# opened picture. BMP is quick to write, and the recovered pictures below go
# through the same encoder, so equal pixels give equal bytes.
ref_args=(--backup-dir ref-backup in.png -o ref0.bmp)
for ((i = 1; i <= count; ++i)); do
  ref_args+=("${steps[2 * i - 2]}" "${steps[2 * i - 1]}" -o "ref$i.bmp")
done
"$cli" "${ref_args[@]}" || { echo "reference run failed"; exit 2; }
# The killed edit saves a PNG after each step, as a user saving as they go:
# it gives the background writer time to catch up, so kills find journals at
# every position, and some land in a save.
edit_args() {
  local i args=(--backup-dir "$1/backup" --time in.png)
  for ((i = 1; i <= count; ++i)); do
    args+=("${steps[2 * i - 2]}" "${steps[2 * i - 1]}" -o "$1/saved.png")
  done
  printf '%s\0' "${args[@]}" -o "$1/out.bmp"
}

# Kills land anywhere in the time one edit takes after the program's start-up.
start=$EPOCHREALTIME
"$cli" --backup-dir ref-backup --new 8x8 || exit 2
startup=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 0.8 }')
# The edit ends when its output appears; the rest is the normal end, which
# deletes the journal first.
mkdir -p timing
mapfile -d '' args < <(edit_args timing)
start=$EPOCHREALTIME
"$cli" "${args[@]}" 2>/dev/null &
while [ ! -f timing/out.bmp ] && kill -0 $! 2>/dev/null; do sleep 0.01; done
span=$(awk -v a="$start" -v b="$EPOCHREALTIME" -v s="$startup" 'BEGIN { print b - a - s }')
wait $! || exit 2

tried=0 exact=0 nojournal=0 ended=0 failed=0
declare -A phases
for ((k = 1; k <= kills; ++k)); do
  dir="kill$k"
  rm -rf "$dir" && mkdir -p "$dir"
  mapfile -d '' args < <(edit_args "$dir")
  "$cli" "${args[@]}" 2>"$dir/err" &
  pid=$!
  sleep "$(awk -v r="$RANDOM" -v s="$startup" -v t="$span" 'BEGIN { srand(r); printf "%.3f", s + rand() * t }')"
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  tried=$((tried + 1))
  journal="$dir/backup/Lumaset.journal"
  if [ ! -f "$journal" ]; then
    # Killed before the first backup was complete, or after the edit was
    # saved while the program ended normally (the journal goes first).
    if cmp -s "$dir/out.bmp" "ref$count.bmp"; then ended=$((ended + 1)); else nojournal=$((nojournal + 1)); fi
    continue
  fi
  pos=$(sed -n 's/^position //p' "$journal")
  # Where each thread was: the step the command line was in (from --time),
  # and whether a backup file was being written.
  done_steps=$(grep -E ' ms$' "$dir/err" | grep -vcE '^(open|save|new|total)[ :]')
  if ls "$dir"/.*.lumaset-* >/dev/null 2>&1; then
    phase="the save after effect $done_steps"
  elif [ "$done_steps" -lt "$count" ]; then
    phase="effect $((done_steps + 1)) of $count"
  else
    phase="the last save"
  fi
  if ls "$dir"/backup/*.part >/dev/null 2>&1; then
    phase="$phase, a backup being written"
  else
    phase="$phase, no backup being written"
  fi
  phase="$phase, journal at step $pos"
  phases[$phase]=$((${phases[$phase]:-0} + 1))
  cp "$journal" "$dir/journal.left"
  # The picture at the position, then each Undo down to the opened picture.
  args=(--backup-dir "$dir/backup" "--recover=$dir/backup" -o "$dir/r$((pos - 1)).bmp")
  for ((u = pos - 2; u >= 0; --u)); do args+=(--do Undo -o "$dir/r$u.bmp"); done
  if ! "$cli" "${args[@]}" 2>"$dir/recover.err"; then
    echo "kill $k ($phase, position $pos): recovery failed: $(cat "$dir/recover.err")"
    failed=$((failed + 1))
    continue
  fi
  ok=1
  for ((u = pos - 1; u >= 0; --u)); do
    cmp -s "$dir/r$u.bmp" "ref$u.bmp" || { ok=0; echo "kill $k ($phase): step $u differs"; }
  done
  if [ $ok -eq 1 ]; then
    exact=$((exact + 1))
    rm -rf "$dir"
  else
    failed=$((failed + 1))
  fi
done

echo "kills tried: $tried; restored exactly: $exact; failed: $failed;" \
  "no journal yet: $nojournal; in the normal end after the save: $ended"
for p in "${!phases[@]}"; do echo "  killed in $p: ${phases[$p]}"; done | sort
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
[ $failed -eq 0 ] || { echo "kept for a look: $work"; exit 1; }
if [ $own_work -eq 1 ]; then rm -rf "$work"; fi

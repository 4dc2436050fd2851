#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every command of README.md's ```sh blocks, in a scratch folder holding
# photo.jpg (the sample photo) and photo.png, with lumaset-cli first on the
# PATH; fails naming the first command that exits with a status other than 0.
# Usage: readme_examples.sh README.md LUMASET_CLI DATA_DIR
set -uo pipefail
readme=$(realpath "$1") cli=$(realpath "$2") data=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$cli" "$work/bin/lumaset-cli"
cp "$data/rocket.jpg" "$work/photo.jpg"
cp "$data/chelsea.png" "$work/photo.png"
export PATH="$work/bin:$PATH" XDG_CACHE_HOME="$work/cache" HOME="$work"
cd "$work" || exit 1

# One command a line: comments and blank lines dropped, continued lines joined.
awk '
  /^```/ { inside = ($0 == "```sh"); next }
  !inside || /^[ \t]*#/ || /^[ \t]*$/ { next }
  { line = pending $0; pending = "" }
  /\\$/ { pending = substr(line, 1, length(line) - 1); next }
  { print line }
' "$readme" >commands.txt

count=0
while IFS= read -r command; do
  count=$((count + 1))
  if ! bash -c "$command" >output.txt 2>&1 </dev/null; then
    echo "README example failed: $command"
    cat output.txt
    exit 1
  fi
done <commands.txt
if [ "$count" -lt 10 ]; then
  echo "only $count README examples found; is README.md's \`\`\`sh marking intact?"
  exit 1
fi
echo "$count README examples ran"

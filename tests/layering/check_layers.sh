#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source folder includes a Qt Widgets header or a header of a
# folder it may not use, naming the file and line. Each folder may include
# itself and the folders listed after it.
set -uo pipefail
src="${1:?usage: check_layers.sh SRC_DIR QT_HEADERS_DIR}"

declare -A allowed=(
  [core]="core"
  [document]="core document"
  [effects]="core effects"
  [adjust]="core adjust"
  [commands]="core document effects adjust commands"
  [tools]="core document effects adjust commands tools"
  [cli]="core document effects adjust commands tools cli"
  [view]="core document effects adjust commands tools view ui"
  [ui]="core document effects adjust commands tools view ui"
  [app]="core document effects adjust commands tools view ui app"
)
engine="core document effects adjust commands tools cli"
# The Qt headers folder (holding QtCore/, QtWidgets/ ...); a header <QName>
# counts as a widget header when QtWidgets/ or QtPrintSupport/ has it.
qt="${2:?usage: check_layers.sh SRC_DIR QT_HEADERS_DIR}"
is_widget_header() {
  local name
  name=$(sed -nE 's/^#\s*include\s*<(QtWidgets\/|QtPrintSupport\/)?([A-Za-z_]+)>.*/\1\2/p' <<<"$1")
  [ -n "$name" ] || return 1
  case "$name" in QtWidgets/* | QtPrintSupport/* | QtWidgets | QtPrintSupport) return 0 ;; esac
  [ -e "$qt/QtWidgets/$name" ] || [ -e "$qt/QtPrintSupport/$name" ]
}

status=0
for dir in "${!allowed[@]}"; do
  [ -d "$src/$dir" ] || continue
  while IFS= read -r hit; do
    file="${hit%%:*}"; rest="${hit#*:}"; line="${rest%%:*}"; text="${rest#*:}"
    target=$(sed -nE 's/^#\s*include\s*"([a-z_]+)\/.*/\1/p' <<<"$text")
    if [ -n "$target" ]; then
      if [[ " ${allowed[$dir]} " != *" $target "* ]]; then
        echo "$file:$line: $dir/ may not include $target/: $text"
        status=1
      fi
    elif [[ " $engine " == *" $dir "* ]] && is_widget_header "$text"; then
      echo "$file:$line: engine folder $dir/ may not include a Qt Widgets header: $text"
      status=1
    fi
  done < <(grep -rnE '^#\s*include' "$src/$dir" --include='*.h' --include='*.cpp')
done
[ $status -eq 0 ] && echo "layers: every include is allowed"
exit $status

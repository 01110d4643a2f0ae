#!/usr/bin/env bash
# Refreshes the client in its staging folder from a build's stage folder.
# Programs and modules are replaced; what the client wrote there (settings,
# share list, log, web-cache list) and any other file stays, so a rebuild
# never costs the user a setting.
#   stageClient.sh <build stage folder> <staging folder>
set -euo pipefail
from=${1:?build stage folder}
to=${2:?staging folder}
[ -d "$from" ] || { echo "stageClient.sh: no stage folder $from" >&2; exit 1; }
mkdir -p "$to"
# The files the last refresh staged: only those are ever removed here.
manifest=$to/.staged
if [ -f "$manifest" ]; then
  while IFS= read -r file; do
    [ -n "$file" ] && [ ! -e "$from/$file" ] && rm -f "$to/$file"
  done <"$manifest"
fi
(cd "$from" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$manifest.new"
while IFS= read -r file; do
  cmp -s "$from/$file" "$to/$file" && continue
  mkdir -p "$(dirname "$to/$file")"
  # Copied beside and renamed into place: a client still running keeps
  # the copy it mapped instead of reading a half-written one.
  cp "$from/$file" "$to/$file.staging"
  mv -f "$to/$file.staging" "$to/$file"
done <"$manifest.new"
mv -f "$manifest.new" "$manifest"

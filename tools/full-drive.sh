#!/usr/bin/env bash
# A really full drive for the tests: a 1 MiB tmpfs mapped as drive T: of the
# Wine prefix. Usage: full-drive.sh setup|cleanup LOADER PREFIX
# Where mounting is refused, the reason goes to PREFIX.fulldrive-skip and the tests skip.
set -u
action=$1 loader=$2 prefix=$3
dir=$prefix.fulldrive
skip=$prefix.fulldrive-skip
case $action in
setup)
  rm -f "$skip"
  "$(dirname "$0")/wine-run.sh" "$loader" "$prefix" cmd /c exit >/dev/null 2>&1
  mkdir -p "$dir"
  mountpoint -q "$dir" && umount "$dir" 2>/dev/null
  if ! out=$(mount -t tmpfs -o size=1m tmpfs "$dir" 2>&1); then
    echo "mounting a tmpfs was refused: $out" | tee "$skip"
    exit 0
  fi
  ln -sfn "$dir" "$prefix/dosdevices/t:"
  ;;
cleanup)
  rm -f "$prefix/dosdevices/t:"
  mountpoint -q "$dir" && umount "$dir"
  exit 0
  ;;
esac

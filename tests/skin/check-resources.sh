#!/usr/bin/env bash
# Checks from the executable's resource directory (objdump -p) that a build embeds the
# skin: the pictures as PNG resources at 100 % and 200 %, the three icon groups with the
# executable's icon first, the manifest and the version resource. Runs in both cross
# builds without Wine.
#   check-resources.sh OBJDUMP EXE
set -euo pipefail
objdump=$1
exe=$2
dump=$("$objdump" -p "$exe")
status=0

# Type-level entries: 3 icon image, 14 icon group, 16 version, 24 manifest; the pictures'
# own type is named PNG. No bitmap type: no picture is stored uncompressed.
for type in 000003 00000e 000010 000018; do
  if ! grep -Eq "^[0-9a-f]+   Entry: ID: 0x$type," <<<"$dump"; then
    echo "no resources of type 0x$type in $exe"
    status=1
  fi
done
if grep -Eq "^[0-9a-f]+   Entry: ID: 0x000002," <<<"$dump"; then
  echo "bitmap resources in $exe: the pictures are to be stored as PNG"
  status=1
fi
if ! grep -Eq "^[0-9a-f]+   Entry: name: .*\]: PNG, " <<<"$dump"; then
  echo "no resource type PNG in $exe"
  status=1
fi
for picture in SKIN_BACKGROUND SKIN_CAPTION_STATUS SKIN_CAPTION_SETTINGS SKIN_BUTTON_PLATE \
               SKIN_TABS SKIN_MESSAGE_BACKGROUND; do
  for name in "$picture" "${picture}_200"; do
    if ! grep -Eq "\]: $name, " <<<"$dump"; then
      echo "no resource named $name in $exe"
      status=1
    fi
  done
done
for name in APPICON KORVALENTRAY MAINICON; do
  if ! grep -Eq "\]: $name, " <<<"$dump"; then
    echo "no resource named $name in $exe"
    status=1
  fi
done
# The icon groups in directory order: the shell shows the first.
groups=$(grep -Eo '\]: (APPICON|KORVALENTRAY|MAINICON),' <<<"$dump" | tr -d ',' | awk '{print $2}' | paste -sd' ')
if [ "$groups" != "APPICON KORVALENTRAY MAINICON" ]; then
  echo "icon groups in the order \"$groups\"; the application icon must come first"
  status=1
fi
[ $status -eq 0 ] && echo "resources of $exe: all present, APPICON first"
exit $status

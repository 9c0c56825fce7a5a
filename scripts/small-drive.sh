# Sourced by the test script after wine_up: a drive T: of 2 MB in the Wine prefix, so that the
# end-to-end tests can fill a drive. Mounting needs privileges; without them the drive is
# missing and the test that needs it says so and passes.
SMALL_DRIVE_MOUNT="$PWD/build/small-drive"
SMALL_DRIVE_LINK="$WINEPREFIX/dosdevices/t:"

small_drive_up() {
  small_drive_down
  mkdir -p "$SMALL_DRIVE_MOUNT" "$WINEPREFIX/dosdevices"
  if mount -t tmpfs -o size=2m nomerra-small-drive "$SMALL_DRIVE_MOUNT" 2>/dev/null; then
    ln -s "$SMALL_DRIVE_MOUNT" "$SMALL_DRIVE_LINK"
    export NOMERRA_SMALL_DRIVE='T:\'
  else
    echo "No small drive T: for the full-drive test: mounting a tmpfs is not allowed here"
  fi
}

# Runs after wine_down, so that no Wine process holds a file on the drive.
small_drive_down() {
  unset NOMERRA_SMALL_DRIVE
  rm -f "$SMALL_DRIVE_LINK"
  if mountpoint -q "$SMALL_DRIVE_MOUNT" 2>/dev/null; then
    umount "$SMALL_DRIVE_MOUNT" 2>/dev/null || umount -l "$SMALL_DRIVE_MOUNT"
  fi
}

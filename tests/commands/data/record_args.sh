#!/bin/sh
# Test helper: writes its working folder and then each argument, one a line,
# to the file named by KAL_RECORD.
{
  pwd
  for a in "$@"; do printf '%s\n' "$a"; done
} > "$KAL_RECORD"

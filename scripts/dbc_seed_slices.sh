#!/usr/bin/env bash
# Cuts DBC files into slices of a few KB at statement boundaries, as seeds for
# the DBC reader's fuzz target: small inputs keep the fuzzer fast, and slices of
# real files carry the constructs real files use.
# Usage: scripts/dbc_seed_slices.sh SOURCE-FOLDER TARGET-FOLDER [BYTES]
set -euo pipefail

source_dir=$1
target_dir=$2
bytes=${3:-1024}

mkdir -p "$target_dir"
rm -f "$target_dir"/*.dbc
for file in "$source_dir"/*.dbc; do
  [ -f "$file" ] || continue
  base=$(basename "$file" .dbc)
  # A slice ends before the first statement keyword at a line start once it
  # holds the wanted size; the lines of a statement stay together.
  awk -v size="$bytes" -v prefix="$target_dir/$base-" '
    BEGIN { n = 0; held = 0; out = sprintf("%s%04d.dbc", prefix, n) }
    {
      if (held >= size && $0 ~ /^(VERSION|NS_|BS_|BU_|VAL_TABLE_|BO_|BO_TX_BU_|CM_|BA_DEF_|BA_DEF_DEF_|BA_|VAL_|SIG_VALTYPE_|SIG_GROUP_|EV_|SG_MUL_VAL_)[ :]/) {
        close(out); n++; held = 0; out = sprintf("%s%04d.dbc", prefix, n)
      }
      print > out
      held += length($0) + 1
    }
    END { close(out) }
  ' "$file"
done

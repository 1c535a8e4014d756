#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times teravine-cli treat end to end on generated width files of 4,096 and 32,767
# samples: hyperfine for the wall time when it is installed, /usr/bin/time -v for the
# peak memory (maximum resident set size). Then teravine-cli measure --pairs on 1,000
# generated pattern pairs, fitted with one pseudo-Voigt and with three split Pearson VII
# components (the costliest fit), the wall time of one run each.
# Usage: bench/run-cli.sh [BUILD_DIR]   (default: build-bench)
set -eu
build=${1:-build-bench}
cli="$build/bin/teravine-cli"
widths="$build/bin/teravine-bench-widths"
patterns="$build/bin/teravine-bench-patterns"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for n in 4096 32767; do
    "$widths" "$n" "$work/w$n.IW"
done
if command -v hyperfine >/dev/null 2>&1; then
    hyperfine --warmup 1 --runs 10 \
        "$cli treat $work/w4096.IW -o $work/w4096.IWO" \
        "$cli treat $work/w32767.IW -o $work/w32767.IWO"
fi
for n in 4096 32767; do
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -v "$cli" treat "$work/w$n.IW" -o "$work/w$n.IWO" 2>"$work/time$n.txt"
        printf '%s samples: ' "$n"
        grep -E "Elapsed|Maximum resident" "$work/time$n.txt" | tr -s ' \t' ' ' | paste -sd';' -
    fi
done

"$patterns" 1000 "$work/pairs"
for fit in "--method fit" "--method fit --profile split-pearson7 --components 3"; do
    start=$(date +%s.%N)
    # shellcheck disable=SC2086 # the options are split on purpose
    "$cli" measure --pairs "$work/pairs/pairs.csv" -o "$work/pairs.IW" $fit 2>"$work/pairs.txt" ||
        { cat "$work/pairs.txt"; exit 1; }
    end=$(date +%s.%N)
    awk -v fit="$fit" -v s="$start" -v e="$end" \
        'BEGIN { printf "measure --pairs, 1000 pairs, %s: %.1f s\n", fit, e - s }'
done

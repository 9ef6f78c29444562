#!/usr/bin/env bash
# Times weighted diagnostics: one study of 100,000 responses (10 levels ×
# 10,000, spread growing with the level) with --ponderacion funcion, goal
# under 0.5 s; and 1,000 ordinary studies in one "diagnostico" call, goal
# under 0.3 s. Prints the best of 5 wall times; not a test.
#   tests/bench/weighting_benchmark.sh [build/bin/valdex-cli]
set -euo pipefail
cli=$(realpath "${1:-build/bin/valdex-cli}")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

awk 'BEGIN {
    srand(7)
    printf "Método\r\nAna\r\n01/02/2000\r\nÁrea\r\nmg\r\nRegresión\r\n10\r\n"
    for (i = 1; i <= 10; i++) printf "%d\r\n10000\r\n", i
    printf "100000\r\n"
    for (i = 1; i <= 10; i++)
        for (j = 1; j <= 10000; j++) printf "%.4f\r\n", 2 * i + 0.01 * i * (rand() - 0.5)
    for (i = 1; i <= 100000; i++) printf "\r\n"
}' | iconv -f UTF-8 -t WINDOWS-1252 >"$dir/grande.w8c"

source "$(dirname "$(realpath "$0")")/small_studies.sh"
small_studies "$dir" 1000

cd "$dir"
best() { # best wall time of 5 runs, in seconds
    local best=999 t TIMEFORMAT=%R
    for _ in 1 2 3 4 5; do
        t=$( { time "$@" >/dev/null 2>&1; } 2>&1 | tail -n 1)
        best=$(awk -v a="$t" -v b="$best" 'BEGIN { print (a < b) ? a : b }')
    done
    echo "$best"
}
"$cli" diagnostico grande.w8c --ponderacion funcion >salida.txt
grep -q "RECTA PONDERADA" salida.txt ||
    { echo "valdex-cli no ponderó el estudio generado" >&2; exit 1; }
big=$(best "$cli" diagnostico grande.w8c --ponderacion funcion)
big_json=$(best "$cli" diagnostico grande.w8c --ponderacion funcion --json)
files=(estudio*.w8c)
many=$(best "$cli" diagnostico "${files[@]}")
echo "100000 respuestas, peso funcion: texto ${big} s, JSON ${big_json} s (meta < 0.5 s)"
echo "${#files[@]} estudios en una llamada: ${many} s (meta < 0.3 s)"

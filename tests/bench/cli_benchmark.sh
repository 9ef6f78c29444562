#!/usr/bin/env bash
# Times "valdex-cli calcular" over 10,000 generated study files in one call
# against "cat" of the same files, as the median of paired runs (cat and
# calcular alternated, so both see the same machine). Goals: text within
# 1.3 times the cat time, JSON and CSV within 1.5 times.
#   tests/bench/cli_benchmark.sh [build/bin/valdex-cli] [file count] [pairs]
set -euo pipefail
cli=$(realpath "${1:-build/bin/valdex-cli}")
count=${2:-10000}
pairs=${3:-11}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

source "$(dirname "$(realpath "$0")")/small_studies.sh"
small_studies "$dir" "$count"

cd "$dir"
files=(estudio*.w8c)
"$cli" calcular "${files[0]}" | grep -q PENDIENTE || { echo "valdex-cli no calculó el estudio generado" >&2; exit 1; }
seconds() { # wall time of one run, in seconds
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for output in texto json csv; do
    case $output in
    texto) args=(calcular) ;;
    json) args=(calcular --json) ;;
    csv) args=(calcular --csv) ;;
    esac
    cats=() clis=()
    for ((p = 0; p < pairs; p++)); do
        cats+=("$(seconds cat "${files[@]}")")
        clis+=("$(seconds "$cli" "${args[@]}" "${files[@]}")")
    done
    cat_time=$(printf '%s\n' "${cats[@]}" | median)
    cli_time=$(printf '%s\n' "${clis[@]}" | median)
    ratio=$(awk -v a="$cli_time" -v b="$cat_time" 'BEGIN { printf "%.2f", (b > 0) ? a / b : 0 }')
    echo "salida: $output  archivos: ${#files[@]}  cat: ${cat_time} s  calcular: ${cli_time} s  razón: ${ratio}"
done

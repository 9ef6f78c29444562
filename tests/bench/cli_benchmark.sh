#!/usr/bin/env bash
# Times "valdex-cli calcular" over 10,000 generated study files in one call
# against "cat" of the same files. Goal: within 3 times the cat time.
#   tests/bench/cli_benchmark.sh [build/bin/valdex-cli] [file count]
set -euo pipefail
cli=$(realpath "${1:-build/bin/valdex-cli}")
count=${2:-10000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Studies of 3 to 6 levels with 3 replicates, responses near a line.
for ((k = 0; k < count; k++)); do
    levels=$((3 + k % 4))
    {
        printf 'Método %d\r\nAna\r\n01/02/2000\r\nÁrea\r\nmg\r\nRegresión\r\n%d\r\n' "$k" "$levels"
        for ((i = 1; i <= levels; i++)); do printf '%d\r\n3\r\n' "$i"; done
        printf '%d\r\n' $((levels * 3))
        for ((i = 1; i <= levels; i++)); do
            for j in 1 2 3; do printf '%d.%d%d\r\n' $((2 * i)) $(((k + j) % 10)) "$j"; done
        done
        for ((i = 1; i <= levels * 3; i++)); do printf '\r\n'; done
    } | iconv -f UTF-8 -t WINDOWS-1252 >"$dir/estudio$k.w8c"
done

cd "$dir"
best() { # best wall time of 5 runs, in seconds
    local best=999 t TIMEFORMAT=%R
    for _ in 1 2 3 4 5; do
        t=$( { time "$@" >/dev/null 2>&1; } 2>&1 | tail -n 1)
        best=$(awk -v a="$t" -v b="$best" 'BEGIN { print (a < b) ? a : b }')
    done
    echo "$best"
}
files=(estudio*.w8c)
cat_time=$(best cat "${files[@]}")
"$cli" calcular "${files[0]}" | grep -q PENDIENTE || { echo "valdex-cli no calculó el estudio generado" >&2; exit 1; }
cli_time=$(best "$cli" calcular "${files[@]}")
ratio=$(awk -v a="$cli_time" -v b="$cat_time" 'BEGIN { printf "%.1f", (b > 0) ? a / b : 0 }')
echo "archivos: ${#files[@]}  cat: ${cat_time} s  valdex-cli calcular: ${cli_time} s  razón: ${ratio}"

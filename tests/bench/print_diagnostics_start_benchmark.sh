#!/usr/bin/env bash
# Prints the figures of three goals (not a timed test):
#  - imprimir --pagina 1 of a 100,000-response study to PDF: under 1 s and
#    100 MB, both designs;
#  - diagnostico over 1,000 ordinary studies in one call: under 0.3 s;
#  - the application's main window painted within 0.15 s of the start on a
#    real X server (Xvfb with openbox), and a study named on the command
#    line opened as the splash goes.
#   tests/bench/print_diagnostics_start_benchmark.sh [build/bin]
set -euo pipefail
bin=$(realpath "${1:-build/bin}")
here=$(dirname "$(realpath "$0")")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# 100,000 responses over 10 levels.
{
    printf 'Método grande\r\nAna\r\n01/02/2000\r\nÁrea\r\nmg\r\nRegresión\r\n10\r\n'
    for ((i = 1; i <= 10; i++)); do printf '%d\r\n10000\r\n' "$i"; done
    printf '100000\r\n'
    for ((i = 1; i <= 10; i++)); do
        seq -f "$((2 * i)).%03g" 0 9999 | sed 's/$/\r/'
    done
    awk 'BEGIN { for (i = 0; i < 100000; i++) printf "\r\n" }'
} | iconv -f UTF-8 -t WINDOWS-1252 >"$dir/grande.w8c"
for design in lasser deskjet; do
    /usr/bin/time -f "imprimir --pagina 1 ($design, 100000 respuestas): %e s, %M KB" \
        "$bin/valdex-cli" imprimir "$dir/grande.w8c" --diseno "$design" --pagina 1 \
        --pdf "$dir/$design.pdf"
done

source "$(dirname "$(realpath "$0")")/small_studies.sh"
small_studies "$dir" 1000
for format in "" --json; do
    /usr/bin/time -f "diagnostico ${format:-texto} (1000 estudios): %e s, %M KB" \
        "$bin/valdex-cli" diagnostico $format "$dir"/estudio*.w8c >/dev/null
done

# The application on a real X server, five starts.
if command -v xvfb-run >/dev/null && command -v openbox >/dev/null; then
    cp "$dir/estudio1.w8c" "$dir/inicio.w8c"
    cat >"$dir/starts.sh" <<EOS
for _ in 1 2 3 4 5; do
    VALDEX_TIEMPO_INICIO=1 QT_QPA_PLATFORM=xcb timeout 5 "$bin/valdex" "$dir/inicio.w8c" 2>&1 >/dev/null |
        grep -E '^valdex: (ventana principal|estudio abierto)' || true
done
EOS
    xvfb-run -a -s "-screen 0 1280x1024x24" "$here/../gui/with_window_manager.sh" bash "$dir/starts.sh"
fi

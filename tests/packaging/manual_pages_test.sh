#!/bin/bash
# The manual pages render without a warning from groff or man, and the page
# of valdex-cli names every subcommand that the program's help names, and
# those added with it.
# Usage: manual_pages_test.sh valdex.1 valdex-cli.1 src/cli/main.cpp
set -u
failed=0
for page in "$1" "$2"; do
    warnings=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "groff avisa en $page:" >&2
        echo "$warnings" >&2
        failed=1
    fi
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "man avisa en $page:" >&2
        echo "$warnings" >&2
        failed=1
    fi
done

rendered=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$2" 2>/dev/null)
# Every subcommand of the program's help, plus those documented beside it.
commands=$(grep -oE '"  valdex-cli [a-z]+' "$3" | awk '{print $3}' | sort -u)
for command in $commands calcular informe imprimir diagnostico interpolar grafico importar ayuda; do
    if ! grep -qE "^ +valdex-cli $command( |$)" <<<"$rendered"; then
        echo "la página de valdex-cli no tiene la orden $command en la sinopsis" >&2
        failed=1
    fi
done
for option in --csv --json --salida --metodo --analista --fecha --unidades --propiedad --tipo \
    --reemplazar --ancho --alto --svg --png; do
    if ! grep -qe "$option" <<<"$rendered"; then
        echo "la página de valdex-cli no nombra $option" >&2
        failed=1
    fi
done
[ "$failed" -eq 0 ] && echo "páginas de manual correctas"
exit "$failed"

#!/bin/bash
# Starts the real valdex with a study file on the offscreen platform and
# waits for its start-up line: the study window shown, captioned with the
# file's full path, after the splash's 3000 ms.
# Usage: start_with_file.sh VALDEX ESTUDIO.w8c
set -u
valdex=$1
study=$(realpath "$2")
scratch=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT

# Started from another folder with a relative path, as a file manager would not,
# to see that the caption is the full path all the same.
cp "$study" "$scratch/estudio de prueba.w8c"
cd "$scratch" || exit 1
QT_QPA_PLATFORM=offscreen VALDEX_TIEMPO_INICIO=1 "$valdex" "estudio de prueba.w8c" otro.w8c \
    >"$scratch/out" 2>"$scratch/err" &
pid=$!

for _ in $(seq 1 200); do
    grep -qE '^valdex: (ventana del estudio|el estudio no)' "$scratch/err" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
line=$(grep -E '^valdex: (ventana del estudio|el estudio no)' "$scratch/err")
echo "$line"
expected="valdex: ventana del estudio mostrada a los [0-9]+ ms: $scratch/estudio de prueba.w8c"
if ! [[ $line =~ ^$expected$ ]]; then
    echo "se esperaba: $expected" >&2
    cat "$scratch/err" >&2
    exit 1
fi
ms=$(sed -E 's/.* a los ([0-9]+) ms.*/\1/' <<<"$line")
# The splash's coarse timer may fire up to 5 % early.
if ((ms < 2850)); then
    echo "la ventana del estudio apareció antes de que se fuera la presentación ($ms ms)" >&2
    exit 1
fi
echo "correcto: ventana del estudio a los $ms ms"

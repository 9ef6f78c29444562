#!/bin/bash
# Makes the Debian package with cpack from what the build folder already
# holds (cpack installs the built programs; it compiles nothing), unpacks it
# into a scratch root with dpkg -x and checks it there: the control fields,
# every installed file, the desktop entry (desktop-file-validate), the MIME
# type (xmllint and update-mime-database), the icons, the manual pages, and
# the packaged valdex-cli computing the example.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -u
build=$1
source=$2
version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() {
    echo "FALLA: $*" >&2
    failed=1
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/salida" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    fail "cpack no hizo el paquete"
    exit 1
fi
deb="$scratch/salida/valdex_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
    ls -l "$scratch/salida" >&2
    fail "falta valdex_${version}_amd64.deb"
    exit 1
fi
echo "paquete: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# ----- Control fields -----
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = valdex ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "falta Maintainer"
grep -q "curva de calibración" <<<"$(field Description)" || fail "Description: $(field Description)"
depends=$(field Depends)
echo "Depends: $depends"
# Found by dpkg-shlibdeps: versioned library packages of the C library and of Qt.
for library in 'libc6 (>= ' 'libstdc++6 (>= ' 'libqt6core6 (>= ' 'libqt6gui6 (>= ' \
    'libqt6widgets6 (>= ' 'libqt6printsupport6 (>= '; do
    grep -qF "$library" <<<"$depends" || fail "Depends sin $library"
done

# ----- Files -----
root="$scratch/raiz"
dpkg -x "$deb" "$root" || fail "dpkg -x"
for file in usr/bin/valdex usr/bin/valdex-cli usr/share/applications/valdex.desktop \
    usr/share/mime/packages/valdex.xml usr/share/icons/hicolor/scalable/apps/valdex.svg \
    usr/share/icons/hicolor/48x48/apps/valdex.png usr/share/icons/hicolor/256x256/apps/valdex.png \
    usr/share/man/man1/valdex-cli.1.gz usr/share/man/man1/valdex.1.gz \
    usr/share/valdex/ejemplos/curva-ejemplo.w8c usr/share/valdex/esquemas/calcular.schema.json \
    usr/share/valdex/esquemas/diagnostico.schema.json \
    usr/share/valdex/esquemas/interpolar.schema.json \
    usr/lib/valdex/valdex-cli-qt.so; do
    [ -f "$root/$file" ] || fail "falta /$file"
done
for program in valdex valdex-cli; do
    [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program no es ejecutable"
    file "$root/usr/bin/$program" | grep -q 'not stripped' && fail "/usr/bin/$program sin depurar"
done
# Only the programs go to /usr/bin (the icon's drawing program is not installed).
[ "$(ls "$root/usr/bin")" = "$(printf 'valdex\nvaldex-cli')" ] || fail "en /usr/bin: $(ls "$root/usr/bin")"
cmp -s "$root/usr/share/valdex/ejemplos/curva-ejemplo.w8c" "$source/ejemplos/curva-ejemplo.w8c" ||
    fail "el ejemplo instalado no es el del proyecto"

# ----- Desktop entry -----
desktop="$root/usr/share/applications/valdex.desktop"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
# Not even a hint: one main category, so that no menu lists the program twice.
[ -z "$report" ] || fail "desktop-file-validate avisa: $report"
grep -qx 'Exec=valdex %f' "$desktop" || fail "Exec de la entrada"
grep -qx 'MimeType=application/x-valdex-estudio;' "$desktop" || fail "MimeType de la entrada"
grep -qx 'Categories=Science;Chemistry;' "$desktop" || fail "Categories de la entrada"
grep -qx 'Icon=valdex' "$desktop" || fail "Icon de la entrada"

# ----- MIME type -----
mime="$root/usr/share/mime/packages/valdex.xml"
xmllint --noout "$mime" || fail "valdex.xml no es XML bien formado"
xpath() { xmllint --xpath "$1" "$mime" 2>/dev/null; }
ns="namespace-uri()='http://www.freedesktop.org/standards/shared-mime-info'"
[ "$(xpath "count(/*[local-name()='mime-info' and $ns]/*[local-name()='mime-type'])")" = 1 ] ||
    fail "valdex.xml: se esperaba un mime-type en mime-info"
[ "$(xpath "string(//*[local-name()='mime-type']/@type)")" = application/x-valdex-estudio ] ||
    fail "valdex.xml: tipo"
[ "$(xpath "string(//*[local-name()='glob']/@pattern)")" = '*.w8c' ] || fail "valdex.xml: glob"
[ "$(xpath "string(//*[local-name()='comment'][not(@xml:lang)])")" = \
    'Estudio de curva de calibración' ] || fail "valdex.xml: comentario"
# What the desktop's own tool makes of it: *.w8c names the type.
mkdir -p "$scratch/mime/packages"
cp "$mime" "$scratch/mime/packages/"
report=$(XDG_DATA_HOME="$scratch" update-mime-database "$scratch/mime" 2>&1)
[ -z "$report" ] || fail "update-mime-database avisa: $report"
grep -qx '50:application/x-valdex-estudio:\*.w8c' "$scratch/mime/globs2" ||
    fail "update-mime-database no asocia *.w8c: $(cat "$scratch/mime/globs2")"
grep -q 'Estudio de curva de calibración' "$scratch/mime/application/x-valdex-estudio.xml" ||
    fail "update-mime-database no lleva el comentario"

# ----- Icons -----
xmllint --noout "$root/usr/share/icons/hicolor/scalable/apps/valdex.svg" || fail "valdex.svg no es XML"
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/valdex.svg" || fail "valdex.svg no es SVG"
for size in 48 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/valdex.png" |
        grep -q "PNG image data, $size x $size" || fail "el icono de $size px no es un PNG de $size x $size"
done

# ----- Manual pages -----
for page in valdex valdex-cli; do
    report=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$report" ] || fail "man avisa en $page.1: $report"
done

# ----- The packaged programs -----
if ! LC_ALL=C "$root/usr/bin/valdex-cli" calcular "$root/usr/share/valdex/ejemplos/curva-ejemplo.w8c" \
    >"$scratch/resultados.txt" 2>"$scratch/errores.txt"; then
    fail "valdex-cli del paquete falló: $(cat "$scratch/errores.txt")"
fi
cmp -s "$scratch/resultados.txt" "$source/tests/cli/data/curva-ejemplo.resultados.txt" ||
    fail "valdex-cli del paquete: $(diff "$scratch/resultados.txt" "$source/tests/cli/data/curva-ejemplo.resultados.txt")"
# The subcommands that draw load the module from where the package put it.
LC_ALL=C "$root/usr/bin/valdex-cli" imprimir "$root/usr/share/valdex/ejemplos/curva-ejemplo.w8c" \
    --diseno lasser --pagina 2 --pdf "$scratch/pagina2.pdf" 2>"$scratch/errores.txt" ||
    fail "imprimir del paquete falló: $(cat "$scratch/errores.txt")"
pdftotext "$scratch/pagina2.pdf" - | grep -q "Límite de Detección" ||
    fail "imprimir del paquete: la página no tiene su encabezado"
# Without a display the packaged valdex shows the installed example through
# the valdex-cli beside it.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C PATH=/usr/bin:/bin \
    "$root/usr/bin/valdex" >"$scratch/sin-pantalla.txt" 2>&1 || fail "valdex sin pantalla falló"
tail -n +2 "$scratch/sin-pantalla.txt" | cmp -s - "$source/tests/cli/data/curva-ejemplo.resultados.txt" ||
    fail "valdex sin pantalla: $(cat "$scratch/sin-pantalla.txt")"

[ "$failed" -eq 0 ] && echo "paquete correcto"
exit "$failed"

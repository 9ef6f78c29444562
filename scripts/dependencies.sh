# Installs, from Debian's packages, whatever the build and the tests need and
# the machine lacks. Sourced by ./run and ./test.

VALDEX_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-qpa-plugins libgl-dev
    qt6-svg-dev
    libgtest-dev libgmock-dev googletest
    libboost-dev
    libssl-dev libsqlite3-dev sqlite3 nlohmann-json3-dev
    clang clang-format libclang-rt-14-dev
    fonts-liberation fonts-liberation2 fontconfig
    poppler-utils xvfb xauth libx11-dev libxtst-dev openbox
    qt6-svg-dev
    dpkg-dev file desktop-file-utils libxml2-utils shared-mime-info groff-base man-db locales
    python3 python3-jsonschema
)

valdex_install_dependencies() {
    local missing=()
    local package
    for package in "${VALDEX_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Instalando paquetes de Debian: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "Se necesitan permisos de administrador (root o sudo) para instalar: ${missing[*]}" >&2
            return 1
        fi
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
            --no-install-recommends "${missing[@]}"
}

valdex_build() {
    local preset="$1"
    cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$(nproc)"
}

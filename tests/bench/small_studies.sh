# Sourced by the benchmarks: small_studies DIR COUNT writes COUNT studies
# DIR/estudioK.w8c of 3 to 6 levels with 3 replicates, responses near a line.
small_studies() {
    local dir=$1 count=$2 k i j levels
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
}

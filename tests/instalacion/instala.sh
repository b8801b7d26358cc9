#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, checks what landed there, and starts the
# installed program on a scratch home whose user has registered nothing, so the module can
# only come from the computer's component registry that the install wrote.
#   instala.sh BUILD BINDIR LIBDIR DATADIR    (the last three relative to the prefix)
set -euo pipefail
build=$1 bindir=$2 libdir=$3 datadir=$4

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
home=$scratch/home
mkdir -p "$home"

falla() {
  echo "FALLA: $*" >&2
  exit 1
}
archivos() { (cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort); }

if ! env -u DESTDIR cmake --install "$build" --prefix "$prefix" >"$scratch/instalacion.log" 2>&1; then
  cat "$scratch/instalacion.log" >&2
  falla "cmake --install no terminó"
fi

# Exactly these files: no test, benchmark or header goes with the program.
esperados=(
  "$bindir/teqvaro"
  "$libdir/KLD251.so"
  "$libdir/libteqvaro_ado.so"
  "$libdir/libteqvaro_controles.so"
  "$libdir/libteqvaro_datos.so"
  "$libdir/libteqvaro_runtime.so"
  "$libdir/libteqvaro_servicios.so"
  "$datadir/applications/teqvaro.desktop"
  "$datadir/doc/teqvaro/changelog.gz"
  "$datadir/doc/teqvaro/copyright"
  "$datadir/icons/hicolor/scalable/apps/teqvaro.svg"
  "$datadir/man/man1/teqvaro.1.gz"
  "$datadir/teqvaro/componentes.ini"
)
instalados=$(archivos)
diff -u <(printf '%s\n' "${esperados[@]}" | sort) <(echo "$instalados") >&2 || falla "los archivos instalados no son los esperados"

registro=$prefix/$datadir/teqvaro/componentes.ini
grep -qxF "biblioteca=$prefix/$libdir/KLD251.so" "$registro" || falla "el registro no nombra la biblioteca instalada: $(cat "$registro")"
grep -qxF "Categories=Office;" "$prefix/$datadir/applications/teqvaro.desktop" || falla "la entrada de escritorio no es de oficina"

# The installed binaries find their libraries in the prefix, never in the build tree.
for binario in "$prefix/$bindir/teqvaro" "$prefix/$libdir"/*.so; do
  ruta=$(readelf -d "$binario" | grep -E 'R(UN)?PATH' || true)
  [[ $ruta == *'$ORIGIN'* ]] || falla "$binario no busca sus bibliotecas junto a sí: $ruta"
  [[ $ruta != *"$build"* ]] || falla "$binario busca bibliotecas en la compilación: $ruta"
done
enlazadas=0
while read -r nombre _ ruta _; do
  [ "$(realpath "$ruta")" = "$(realpath "$prefix/$libdir/$nombre")" ] || falla "teqvaro enlaza $nombre de $ruta"
  enlazadas=$((enlazadas + 1))
done < <(env -u LD_LIBRARY_PATH ldd "$prefix/$bindir/teqvaro" | grep -F libteqvaro_)
[ "$enlazadas" -ge 5 ] || falla "teqvaro enlaza sólo $enlazadas bibliotecas de la plataforma"

# A module that fails to load leaves the host waiting on its error message, so a generous
# limit turns that into a failure with the host's log instead of a hung test.
salida=$(cd "$scratch" &&
  env -u TEQVARO_REGISTRO -u LD_LIBRARY_PATH HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    XDG_DATA_HOME="$home/.local/share" QT_QPA_PLATFORM=offscreen TEQVARO_REGISTRO_SISTEMA="$registro" \
    timeout --kill-after=10 300 "$prefix/$bindir/teqvaro" --mide-arranque 2>"$scratch/errores.log") || {
  cat "$scratch/errores.log" >&2
  falla "el programa instalado no arrancó"
}
grep -Eqx 'pintado [0-9]+ ms' <<<"$salida" || falla "el programa instalado no pintó el tablero: $salida"
[ -f "$home/.local/share/Teqvaro/demo.db" ] || falla "no se creó la base de demostración en la carpeta del usuario"
[ ! -e "$home/.config/Teqvaro/componentes.ini" ] || falla "el arranque escribió un registro del usuario"
[ "$(archivos)" = "$instalados" ] || falla "el programa escribió en el prefijo"

echo "instalación correcta: ${#esperados[@]} archivos en $prefix; $salida"

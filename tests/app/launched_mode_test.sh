#!/usr/bin/env bash
# End-to-end test of the real program under a private X server: the window by hand (and its screenshot),
# embedded in a host window when launched, closed with "Salir", and the result left in Horvane.ini.
# Usage: launched_mode_test.sh VADELUX HOST_PROGRAM FIXTURES_DIR ARTIFACTS_DIR
set -euo pipefail

vadelux=$1
host_program=$2
fixtures=$3
artifacts=$4
title='Exportar e importar datos entre Horvane y Rayuela'

for tool in Xvfb xdotool xwininfo import cmp; do
  if ! command -v "$tool" >/dev/null; then
    echo "falta $tool: prueba omitida"
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FALLO: $*" >&2
  for log in "$work"/*.log; do
    echo "--- $(basename "$log")" >&2
    tail -n 40 "$log" >&2
  done
  exit 1
}

# A free display of our own.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb no arrancó"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
# In a sanitizer build, leaks of the system's libraries are not ours to report.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
unset XDG_RUNTIME_DIR

# The program in a folder of its own, so that Horvane.ini is written there.
program_folder="$work/programa"
mkdir -p "$program_folder" "$artifacts"
cp "$vadelux" "$program_folder/vadelux"

# Prints the id of the visible window whose name is exactly $1, waiting up to 10 s.
wait_for_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  fail "no aparece la ventana '$1'"
}

# Waits up to 10 s for process $1 to end and checks that it ended well.
wait_for_exit() {
  local pid=$1
  for _ in $(seq 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" || fail "el programa terminó con error $?"
      return 0
    fi
    sleep 0.1
  done
  fail "el programa no termina"
}

# Types key $2 into window $1 once it has the keyboard focus. Typed into the focused window, not sent to a
# window id: the window may be gone before the key's release.
type_into() {
  for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] && break
    sleep 0.1
  done
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ] || fail "la ventana $1 no recibe el teclado"
  xdotool key "$2"
}

# "Salir": lower strip at y 169, the button at (528, 36) in it, 89 x 25.
click_salir() {
  xdotool mousemove --window "$1" 572 217 click 1
}

# 1. By hand: a top-level window of 632 x 266; closing it writes nothing.
"$program_folder/vadelux" >"$work/hand.log" 2>&1 &
app=$!
pids+=($app)
window=$(wait_for_window "$title")
sleep 0.5
geometry=$(xwininfo -id "$window" | sed -n 's/^ *-geometry //p')
[[ $geometry == 632x266+* ]] || fail "geometría a mano: $geometry"
import -window "$window" "$artifacts/main-window.png"
click_salir "$window"
wait_for_exit "$app"
[ ! -e "$program_folder/Horvane.ini" ] || fail "a mano no se escribe Horvane.ini"
echo "a mano: ventana $geometry, captura en $artifacts/main-window.png"

# 2. Launched with a mode word that starts nothing: a child of the host's window at its top-left.
cp "$fixtures/Horvane.ini" "$program_folder/Horvane.ini"
"$host_program" >"$work/host.out" 2>"$work/host.log" &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$work/host.out" ] && break
  sleep 0.1
done
parent=$(head -n 1 "$work/host.out")
[ -n "$parent" ] || fail "la ventana anfitriona no dio su identificador"
wait_for_window "Horvane de prueba" >/dev/null

"$program_folder/vadelux" convertir "$parent" >"$work/launched.log" 2>&1 &
app=$!
pids+=($app)
child=$(wait_for_window "$title")
sleep 0.5
tree=$(xwininfo -tree -id "0x$parent")
echo "$tree" | grep -q "$(printf '0x%x' "$child") \"$title\".*632x266+0+0" ||
  fail "la ventana no es hija de la anfitriona en (0,0): $tree"
import -window "0x$parent" "$artifacts/launched-mode.png"
click_salir "$child"
wait_for_exit "$app"
cmp "$program_folder/Horvane.ini" "$fixtures/Horvane-resultado-0.ini" ||
  fail "Horvane.ini tras cerrar: $(cat -A "$program_folder/Horvane.ini")"
echo "lanzado: hija de 0x$parent en 632x266+0+0, Transformado=0 y el resto del archivo intacto"

# 3. Launched with "EXPORTAR": the file dialog appears at once; cancelled, "No existe archivo" is shown and
#    acknowledged, the window closes by itself and -1 is left in Horvane.ini.
cp "$fixtures/Horvane.ini" "$program_folder/Horvane.ini"
"$program_folder/vadelux" EXPORTAR "$parent" >"$work/exportar.log" 2>&1 &
app=$!
pids+=($app)
dialog=$(wait_for_window "Archivo XML")
sleep 0.5
type_into "$dialog" Escape
message=$(wait_for_window "Vadelux")
sleep 0.5
import -window "$message" "$artifacts/no-file-message.png"
type_into "$message" Return
wait_for_exit "$app"
sed 's/^TRANSFORMADO=0\r$/TRANSFORMADO=-1\r/' "$fixtures/Horvane-resultado-0.ini" >"$work/expected.ini"
cmp "$program_folder/Horvane.ini" "$work/expected.ini" ||
  fail "Horvane.ini tras cancelar: $(cat -A "$program_folder/Horvane.ini")"
echo "lanzado con EXPORTAR: diálogo cancelado, mensaje aceptado, Transformado=-1"

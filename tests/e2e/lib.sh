# Helpers shared by the end-to-end scripts: a private X server, the program in a folder of its own, and a
# person's hands and eyes (windows waited for by name, mouse clicks, keys, screenshots, a message box read
# by character recognition). Sourced, not run.
#
# After `e2e_start`: $work (a fresh temporary folder), $program_folder (the program with NIVELEX.DBF and
# RAYUELA.chm beside it), $htemp (the working folder, in VADELUX_HTEMP), $artifacts, DISPLAY.

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
main_title='Exportar e importar datos entre Horvane y Rayuela'
e2e_pids=()

# Skips the test when the X server or the hands are missing; the other tools are required.
e2e_require_tools() {
  local tool
  for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
      echo "falta $tool: prueba omitida"
      exit 77
    fi
  done
  for tool in xwininfo import convert tesseract cmp sha256sum; do
    command -v "$tool" >/dev/null || {
      echo "FALLO: falta $tool (scripts/install-deps.sh lo instala)" >&2
      exit 1
    }
  done
}

# Runs "${@:2}" until it succeeds, for up to $1 seconds; returns 1 when the time runs out.
retry_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

e2e_cleanup() {
  local pid
  for pid in "${e2e_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${e2e_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  [ -n "${work:-}" ] && rm -rf "$work"
}

fail() {
  echo "FALLO: $*" >&2
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] || continue
    echo "--- $(basename "$log")" >&2
    tail -n 40 "$log" >&2
  done
  if [ -n "${DISPLAY:-}" ] && [ -n "${artifacts:-}" ]; then
    import -window root "$artifacts/e2e-$test_name-fallo.png" 2>/dev/null &&
      echo "pantalla en el fallo: $artifacts/e2e-$test_name-fallo.png" >&2
  fi
  exit 1
}

# e2e_start NAME VADELUX_BINARY BIN_DIR ARTIFACTS_DIR
e2e_start() {
  test_name=$1
  local vadelux=$2 bin_dir=$3
  artifacts=$4
  e2e_require_tools
  work=$(mktemp -d)
  trap e2e_cleanup EXIT
  trap 'exit 1' INT TERM

  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  local xvfb=$!
  e2e_pids+=($xvfb)
  # Should this script be killed outright (a test timeout), the server goes too, the programs on it end
  # with their display, and the temporary folder is removed.
  (
    while kill -0 $$ 2>/dev/null; do sleep 0.5; done
    kill "$xvfb" 2>/dev/null
    sleep 1
    rm -rf "$work"
  ) >/dev/null 2>&1 &
  e2e_pids+=($!)
  retry_for 10 test -s "$work/display" || fail "Xvfb no arrancó"
  export DISPLAY=":$(cat "$work/display")"
  export QT_QPA_PLATFORM=xcb
  # In a sanitizer build, leaks of the system's libraries are not ours to report.
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$e2e_dir/../app/lsan.supp"
  unset XDG_RUNTIME_DIR
  # The file dialog keeps its state in the user's settings: a folder of the test's own.
  export XDG_CONFIG_HOME="$work/config"

  program_folder="$work/programa"
  htemp="$work/HTEMP"
  mkdir -p "$program_folder" "$htemp" "$artifacts"
  cp "$vadelux" "$program_folder/vadelux"
  cp "$bin_dir/NIVELEX.DBF" "$bin_dir/RAYUELA.chm" "$program_folder/"
  export VADELUX_HTEMP="$htemp"
}

# Starts the program with arguments "$@"; its pid in $app.
start_program() {
  "$program_folder/vadelux" "$@" >>"$work/vadelux.log" 2>&1 &
  app=$!
  e2e_pids+=($app)
}

# Starts the stand-in for the timetable generator's window; its X11 id (hexadecimal, no prefix) in $host_id.
start_host() {
  "$1" >"$work/host.out" 2>"$work/host.log" &
  e2e_pids+=($!)
  retry_for 10 test -s "$work/host.out" || true
  host_id=$(head -n 1 "$work/host.out")
  [ -n "$host_id" ] || fail "la ventana anfitriona no dio su identificador"
  wait_for_window "Horvane de prueba" >/dev/null
}

# The visible windows named exactly $1 that are not pop-up menus or lists (those bypass the window manager
# and carry the program's name).
managed_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: no' && echo "$id"
  done
}

# Sets $found to the first visible window named exactly $1; false when there is none.
find_window() {
  found=$(managed_windows "$1" | head -n 1)
  [ -n "$found" ]
}

# Prints the id of the visible window named exactly $1, waiting up to 10 s.
wait_for_window() {
  retry_for 10 find_window "$1" || fail "no aparece la ventana '$1'"
  echo "$found"
}

# Waits up to 10 s for window $1 to be gone from the screen.
wait_until_gone() {
  retry_for 10 is_gone "$1" || fail "la ventana $1 sigue en pantalla"
}

is_gone() {
  ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'
}

# Waits up to 10 s for a pop-up list of the program (an unmanaged window) to show; prints its id.
wait_for_popup() {
  retry_for 10 find_popup || fail "no se abre la lista desplegable"
  echo "$found"
}

find_popup() {
  for found in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    xwininfo -id "$found" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}

# Waits until window $1 has the keyboard focus (up to 10 s).
wait_for_focus() {
  retry_for 10 has_focus "$1" || fail "la ventana $1 no recibe el teclado"
}

has_focus() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# Presses keys "${@:2}" in window $1 once it has the focus. Typed into the focused window, not sent to a
# window id: the window may be gone before a key's release.
press_in() {
  wait_for_focus "$1"
  xdotool key --delay 30 "${@:2}"
}

# Types text $2 into window $1 once it has the focus.
type_in() {
  wait_for_focus "$1"
  xdotool type --delay 15 "$2"
}

# Clicks at ($2, $3) inside window $1.
click_at() {
  xdotool mousemove --sync --window "$1" "$2" "$3" click 1
}

# Saves a screenshot of window $1 as $artifacts/e2e-$2.png once it has been drawn.
screenshot() {
  local file="$artifacts/e2e-$2.png"
  # Painting follows mapping; a moment lets the last paint reach the server.
  sleep 0.3
  import -window "$1" "$file" || fail "no se pudo capturar la ventana $1"
}

# Prints the text of message box $1 as read from the screen: its lines above the "Aceptar" button joined by
# blanks, with typographic quotes read as plain ones.
read_message() {
  local shot="$work/message.png"
  sleep 0.3
  import -window "$1" "$shot" || fail "no se pudo capturar el mensaje"
  convert "$shot" -resize 400% -colorspace Gray "$work/message-big.png"
  tesseract "$work/message-big.png" - -l spa --psm 6 2>/dev/null |
    sed -e "s/[‘’´\`]/'/g" -e 's/[“”]/"/g' -e 's/[[:space:]]\+$//' |
    grep -v -e '^$' -e 'Aceptar' | paste -sd ' '
}

# Waits for a message box, checks that it reads $1, saves it as $2 (when given) and acknowledges it with
# Enter.
acknowledge_message() {
  local box text
  box=$(wait_for_window "Vadelux")
  text=$(read_message "$box")
  [ "$text" = "$1" ] || fail "el mensaje dice '$text' y no '$1'"
  [ -z "${2:-}" ] || cp "$work/message.png" "$artifacts/e2e-$2.png"
  press_in "$box" Return
  wait_until_gone "$box"
}

# In the file dialog "Archivo XML": types path $1 over the file name field and confirms with Enter.
choose_file() {
  local dialog
  dialog=$(wait_for_window "Archivo XML")
  press_in "$dialog" ctrl+a
  type_in "$dialog" "$1"
  press_in "$dialog" Return
  wait_until_gone "$dialog"
}

# Waits up to 10 s for the program to end and checks that it ended well.
wait_for_exit() {
  retry_for 10 has_ended || fail "el programa no termina"
  local status=0
  wait "$app" || status=$?
  [ "$status" -eq 0 ] || fail "el programa terminó con el código $status"
}

has_ended() {
  ! kill -0 "$app" 2>/dev/null
}

# Checks that the program still runs and its main window is on the screen.
still_open() {
  kill -0 "$app" 2>/dev/null || fail "el programa terminó: $1"
  [ -n "$(managed_windows "$main_title")" ] || fail "la ventana principal se cerró: $1"
}

# Main window spots (632 x 266): the two "Aceptar" buttons and "Salir".
click_exportar() { click_at "$1" 157 120; }
click_importar() { click_at "$1" 473 120; }
click_salir() { click_at "$1" 572 217; }

# A listing of folder $1 with a hash of every file, to compare before and after.
folder_fingerprint() {
  (cd "$1" && find . | sort && find . -type f -print0 | sort -z | xargs -0 -r sha256sum)
}

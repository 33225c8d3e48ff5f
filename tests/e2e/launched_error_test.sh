#!/usr/bin/env bash
# Launched with "exportar" on a school file whose course key "12a" is not a whole number: the error's own
# text in a message box, the window stays open inside the host, the working folder is exactly as before the
# run, and "Salir" leaves Transformado=0 in Horvane.ini with the rest of the file untouched.
# Usage: launched_error_test.sh VADELUX HOST_PROGRAM BIN_DIR FIXTURES_DIR ARTIFACTS_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
host_program=$2
fixtures=$4
e2e_start error "$1" "$3" "$5"

# The working folder holds the tables of an earlier run and a solution of the generator.
"$3/vadelux-cli" exportar "$fixtures/conversion/centro-iso.xml" --htemp "$htemp" --programa "$program_folder" \
  --plantilla 1 >"$work/cli.log" 2>&1 || fail "la conversión previa con vadelux-cli falló"
/usr/bin/python3 "$e2e_dir/../cli/make_soluc.py" "$htemp/SOLUC.DBF" "GLJ,1,1,Mate,1ESO,,3001"
before=$(folder_fingerprint "$htemp")

school="$work/centro-curso-12a.xml"
cp "$fixtures/e2e/centro-curso-12a.xml" "$school"
cp "$fixtures/app/Horvane.ini" "$program_folder/Horvane.ini"

start_host "$host_program"
start_program exportar "$host_id"
child=$(wait_for_window "$main_title")
choose_file "$school"
acknowledge_message "'12a' no es un valor entero válido" error-message

# The run stopped: the window stays inside the host, nothing is written yet.
sleep 0.3
still_open "tras el error"
xwininfo -tree -id "0x$host_id" | grep -q "$(printf '0x%x' "$child") \"$main_title\"" ||
  fail "la ventana ya no está dentro de la anfitriona"
screenshot "0x$host_id" error-host
cmp "$program_folder/Horvane.ini" "$fixtures/app/Horvane.ini" || fail "Horvane.ini cambió antes de cerrar"
[ "$(folder_fingerprint "$htemp")" = "$before" ] ||
  fail "la carpeta de trabajo cambió: $(diff <(echo "$before") <(folder_fingerprint "$htemp"))"
echo "error del curso '12a': mensaje mostrado, la ventana sigue abierta y la carpeta de trabajo intacta"

click_salir "$child"
wait_for_exit
cmp "$program_folder/Horvane.ini" "$fixtures/app/Horvane-resultado-0.ini" ||
  fail "Horvane.ini tras Salir: $(cat -A "$program_folder/Horvane.ini")"
echo "Salir: Transformado=0 y el resto de Horvane.ini intacto"

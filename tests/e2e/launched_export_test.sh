#!/usr/bin/env bash
# Launched by the timetable generator with "exportar" and the id of a host window: the program lives inside
# the host window, the run starts by itself (file dialog, template dialog chosen by keyboard, "Proceso
# finalizado"), the window closes by itself and Horvane.ini holds Transformado=1, the rest of it untouched.
# Usage: launched_export_test.sh VADELUX HOST_PROGRAM BIN_DIR FIXTURES_DIR ARTIFACTS_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
host_program=$2
fixtures=$4
e2e_start lanzado "$1" "$3" "$5"

mkdir "$work/escuela"
school="$work/escuela/centro.xml"
cp "$fixtures/conversion/centro-iso.xml" "$school"
cp "$fixtures/e2e/Horvane.ini" "$program_folder/Horvane.ini"

start_host "$host_program"
start_program exportar "$host_id"
child=$(wait_for_window "$main_title")

# While the run waits in its file dialog, the window is a frameless child of the host at its top-left.
dialog=$(wait_for_window "Archivo XML")
tree=$(xwininfo -tree -id "0x$host_id")
echo "$tree" | grep -q "$(printf '0x%x' "$child") \"$main_title\".*632x266+0+0" ||
  fail "la ventana no es hija de la anfitriona en (0,0): $tree"
screenshot root launched-file-dialog
choose_file "$school"

# The template dialog, by keyboard: Tab from "Continuar" to the combo box, Down to the second template,
# Enter for the default button.
plantillas=$(wait_for_window "Plantillas Horarias")
screenshot "$plantillas" launched-template-dialog
press_in "$plantillas" Tab Down
screenshot "$plantillas" launched-template-dialog-2
press_in "$plantillas" Return
wait_until_gone "$plantillas"
acknowledge_message "Proceso finalizado" launched-end-message

# The window closes by itself and the program ends; the result code is in Horvane.ini.
wait_for_exit
cmp "$program_folder/Horvane.ini" "$fixtures/e2e/Horvane-resultado-1.ini" ||
  fail "Horvane.ini tras la conversión: $(cat -A "$program_folder/Horvane.ini")"
/usr/bin/python3 "$e2e_dir/check_tables.py" tablas "$htemp" 2 "Jornada de junio" 390 ||
  fail "tablas tras la conversión"
echo "lanzado con exportar: hija de 0x$host_id, plantilla 2 por teclado, Transformado=1 y el resto intacto"

#!/usr/bin/env bash
# The program by hand, with mouse and keyboard only: Rayuela to Horvane with the second template chosen in
# the template dialog, then the solution back to Rayuela with the file dialog cancelled (the earlier file
# stays chosen), then "Salir". Nothing is written to Horvane.ini by hand.
# Usage: hand_mode_test.sh VADELUX BIN_DIR FIXTURES_DIR ARTIFACTS_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
fixtures=$3
e2e_start manual "$1" "$2" "$4"
check=("/usr/bin/python3" "$e2e_dir/check_tables.py")

mkdir "$work/escuela"
school="$work/escuela/centro.xml"
cp "$fixtures/conversion/centro-iso.xml" "$school"

start_program
window=$(wait_for_window "$main_title")
screenshot "$window" main-window

# Rayuela to Horvane: the file typed into the real file dialog.
click_exportar "$window"
choose_file "$school"

# The template dialog opens on the first template; the second is picked from the combo box's list.
plantillas=$(wait_for_window "Plantillas Horarias")
screenshot "$plantillas" template-dialog
click_at "$plantillas" 78 59 # the combo box's arrow
popup=$(wait_for_popup)
click_at "$plantillas" 30 89 # "2", the second line of the list
wait_until_gone "$popup"
screenshot "$plantillas" template-dialog-2
click_at "$plantillas" 299 177 # "Continuar"
wait_until_gone "$plantillas"
acknowledge_message "Proceso finalizado" end-message
still_open "tras convertir"

"${check[@]}" tablas "$htemp" 2 "Jornada de junio" 390 || fail "tablas tras la conversión"
echo "Rayuela a Horvane: nueve tablas y el índice, PERIODOS con la plantilla 2 elegida en el diálogo"

# The generator's solution: one lesson of the teacher with employee key 70002, by the codes the run gave.
row=$("${check[@]}" fila "$htemp" 70002 "Inglés" u11 1 1 3001) || fail "no se halla la fila de SOLUC"
/usr/bin/python3 "$e2e_dir/../cli/make_soluc.py" "$htemp/SOLUC.DBF" "$row"

# Horvane to Rayuela: the file dialog cancelled, the file of the first run is used again.
click_importar "$window"
dialog=$(wait_for_window "Archivo XML")
press_in "$dialog" Escape
wait_until_gone "$dialog"
acknowledge_message "Proceso finalizado"
still_open "tras exportar"

result="$work/escuela/ResultadoHorvancentro.xml"
[ -f "$result" ] || fail "no se escribió $result"
xmllint --noout "$result" || fail "el resultado no es XML bien formado"
# The lesson carries the dates and the slot of the template chosen in the dialog.
"${check[@]}" resultado "$result" 70002 N_DIASEMANA=1 X_TRAMO=390 X_UNIDAD=u11 F_INICIO=01/06/2027 \
  F_FIN=23/06/2027 N_HORINI=540 N_HORFIN=590 || fail "el resultado no lleva la clase de la plantilla 2"
echo "Horvane a Rayuela: diálogo cancelado, $(basename "$result") junto al archivo elegido antes"

click_salir "$window"
wait_for_exit
[ ! -e "$program_folder/Horvane.ini" ] || fail "a mano no se escribe Horvane.ini"
echo "Salir: el programa termina sin escribir Horvane.ini"

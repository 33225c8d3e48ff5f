#!/usr/bin/env bash
# Both directions through the built vadelux-cli on a realistic ISO-8859-1 school file:
# exit codes, messages, what is written and what is left alone.
set -uo pipefail
cli=$1
fixtures=$2
bindir=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FALLO: $what"
  fi
}
run() {  # run EXPECTED-EXIT ARGS...: runs the CLI with its output in $work/out and $work/err
  local expected=$1
  shift
  "$cli" "$@" >"$work/out" 2>"$work/err"
  local rc=$?
  if [ "$rc" -ne "$expected" ]; then
    echo "vadelux-cli $* salió con $rc (esperado $expected)"
    cat "$work/err"
    return 1
  fi
}

mkdir "$work/HTEMP" "$work/programa"
cp "$bindir/NIVELEX.DBF" "$work/programa/"
cp "$fixtures/conversion/centro-iso.xml" "$work/centro.xml"
opts=(--htemp "$work/HTEMP" --programa "$work/programa")

# Several templates and none chosen: the templates are listed and nothing is written.
check "sin --plantilla falla" run 1 exportar "$work/centro.xml" "${opts[@]}"
check "lista las plantillas" grep -q "Jornada ordinaria" "$work/err"
check "lista la otra plantilla" grep -q "Jornada de junio" "$work/err"
check "la carpeta sigue vacía" test -z "$(ls -A "$work/HTEMP")"
check "plantilla desconocida falla" run 1 exportar "$work/centro.xml" "${opts[@]}" --plantilla 9
check "la carpeta sigue vacía tras la plantilla desconocida" test -z "$(ls -A "$work/HTEMP")"

# With the template: nine tables and the index, and a summary.
check "exportar con plantilla" run 0 exportar "$work/centro.xml" "${opts[@]}" --plantilla 1 --json
check "nueve tablas y el índice" test "$(ls "$work/HTEMP" | tr '\n' ' ')" = \
  "ASIGNOMT.DBF ASIGT.DBF AULAT.DBF CURSOST.DBF DIASHORAST.DBF DIASHORAST2.DBF DIASHORAST2.MDX GRUPOST.DBF PERIODOS.DBF PROFT.DBF "
check "resumen JSON" python3 -c '
import json, sys
s = json.load(open(sys.argv[1]))
t = s["tablas"]
assert s["plantilla"] == "1", s
assert t["ASIGNOMT"] == 16 and t["PROFT"] == 6 and t["AULAT"] == 5 and t["CURSOST"] == 4, t
assert t["GRUPOST"] == 6 and t["DIASHORAST"] == 49 and t["DIASHORAST2"] == 49 and t["PERIODOS"] == 1, t
assert t["ASIGT"] == 43, t
' "$work/out"

# validar reports without writing.
before=$(cd "$work/HTEMP" && md5sum *)
check "validar" run 0 validar "$work/centro.xml" --programa "$work/programa" --json
check "validar avisa del curso sin NIVELEX" python3 -c '
import json, sys
s = json.load(open(sys.argv[1]))
kinds = [a["tipo"] for a in s["avisos"]]
assert "curso sin fila en NIVELEX" in kinds, kinds
assert "tramo de otra plantilla" in kinds, kinds
assert [p["tramos"] for p in s["plantillas"]] == [7, 1], s["plantillas"]
' "$work/out"
check "validar no toca las tablas" test "$before" = "$(cd "$work/HTEMP" && md5sum *)"
# A template without slots is reported.
sed 's|<grupo_datos seq="JORNADAS_ESCOLARES" registros="2">|&<grupo_datos><dato>3</dato><dato>Vac\xeda</dato><dato>a</dato><dato>b</dato></grupo_datos>|' \
  "$work/centro.xml" >"$work/tres.xml"
check "validar con una plantilla sin tramos" run 0 validar "$work/tres.xml" --programa "$work/programa" --plantilla 1
check "avisa de la plantilla sin tramos" grep -q "\[plantilla sin tramos\] la plantilla '3' (Vacía) no tiene tramos horarios" "$work/out"

# The way back: a solution of the generator becomes a HORARIOS file beside the chosen one.
check "hace SOLUC" python3 "$here/make_soluc.py" "$work/HTEMP/SOLUC.DBF" \
  "ÁNM,1,1,Leng,1ESO,,3001" "ÁNM,0,2,Leng,1ESO,," "GLJ,2,3,Mate,2ESO,,"
check "importar" run 0 importar "$work/centro.xml" --htemp "$work/HTEMP" --json
check "archivo de resultado" test -f "$work/ResultadoHorvancentro.xml"
check "resultado bien formado y en ISO-8859-1" python3 -c '
import sys, xml.etree.ElementTree as E
raw = open(sys.argv[1], "rb").read()
assert raw.startswith(b"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), raw[:60]
root = E.fromstring(raw)
regs = root.find("BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]")
assert regs.get("registros") == "6", regs.attrib
first = regs.find("grupo_datos[@seq=\"HORARIO_REGULAR_PROFESOR_1\"]")
assert first.get("registros") == "1", first.attrib
act = {d.get("nombre_dato"): (d.text or "") for d in first.find("grupo_datos[@seq=\"ACTIVIDAD_1\"]")}
assert act["N_DIASEMANA"] == "1" and act["X_TRAMO"] == "400" and act["N_HORINI"] == "510", act
assert act["X_DEPENDENCIA"] == "3001" and act["X_UNIDAD"] == "u11" and act["X_OFERTAMATRIG"] == "100101", act
assert act["X_MATERIAOMG"] == "1001" and act["F_INICIO"] == "01/09/2026" and act["X_ACTIVIDAD"] == "1", act
assert root.find("BLOQUE_DATOS/grupo_datos/dato").text == "2026"
' "$work/ResultadoHorvancentro.xml"

# Usage and missing files.
check "orden desconocida" run 2 convertir "$work/centro.xml"
check "opción desconocida" run 2 importar "$work/centro.xml" --plantilla 1
check "archivo inexistente" run 1 importar "$work/no-existe.xml" --htemp "$work/HTEMP"
check "mensaje No existe archivo" grep -qx "No existe archivo" "$work/err"
check "ayuda" run 0 --help
check "versión" run 0 --version

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

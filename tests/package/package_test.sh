#!/usr/bin/env bash
# Builds the .deb, installs it with apt, runs both programs from where it put them, removes it, and checks
# that only files written at run time are left. It changes the system, so it runs only in CI as root
# (or with VADELUX_PACKAGE_TEST=1); elsewhere it reports itself skipped.
set -euo pipefail
build=$1
fixtures=$(cd "$(dirname "$0")/../fixtures" && pwd)
if [ "$(id -u)" -ne 0 ] || { [ "${CI:-}" != "true" ] && [ "${VADELUX_PACKAGE_TEST:-}" != "1" ]; }; then
  echo "omitida: instala un paquete en el sistema; se ejecuta en CI como root o con VADELUX_PACKAGE_TEST=1"
  exit 77
fi
if dpkg-query -W -f='${Status}' vadelux 2>/dev/null | grep -q 'install ok installed'; then
  echo "vadelux ya está instalado en este sistema: no se toca"
  exit 1
fi
work=$(mktemp -d)
trap 'apt-get remove -y -qq vadelux >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

cd "$build"
rm -f vadelux_*.deb
cpack -G DEB >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$build"/vadelux_*.deb)
echo "paquete: $deb"
dpkg-deb -I "$deb" | grep -E 'Depends|Version'

apt-get install -y -qq --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
for f in /opt/vadelux/vadelux /opt/vadelux/vadelux-cli /opt/vadelux/NIVELEX.DBF /opt/vadelux/RAYUELA.chm \
         /usr/share/applications/vadelux.desktop /usr/share/icons/hicolor/scalable/apps/vadelux.svg \
         /usr/share/man/man1/vadelux-cli.1.gz; do
  test -e "$f" || { echo "falta $f"; exit 1; }
done
test "$(readlink /usr/bin/vadelux-cli)" = /opt/vadelux/vadelux-cli
vadelux-cli --version | grep -q '^vadelux-cli '
desktop-file-validate /usr/share/applications/vadelux.desktop

# The installed CLI converts a school with the installed NIVELEX.DBF.
mkdir "$work/HTEMP"
cp "$fixtures/conversion/centro-iso.xml" "$work/centro.xml"
vadelux-cli exportar "$work/centro.xml" --htemp "$work/HTEMP" --plantilla 1 >/dev/null
test -f "$work/HTEMP/DIASHORAST2.MDX"

# The installed desktop program starts and shows its window.
QT_QPA_PLATFORM=offscreen timeout 5 /opt/vadelux/vadelux >"$work/app.log" 2>&1 && rc=0 || rc=$?
if [ "$rc" -ne 124 ]; then
  echo "el programa de escritorio terminó solo (código $rc):"
  cat "$work/app.log"
  exit 1
fi

# A file written at run time stays; everything the package put there goes.
echo "[Transformadores]" >/opt/vadelux/Horvane.ini
apt-get remove -y -qq vadelux >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
test ! -e /usr/bin/vadelux-cli
test ! -e /usr/share/applications/vadelux.desktop
left=$(cd /opt/vadelux && ls -A)
rm -rf /opt/vadelux
if [ "$left" != "Horvane.ini" ]; then
  echo "quedó tras desinstalar: $left"
  exit 1
fi
echo "instalar, ejecutar y desinstalar: correcto"

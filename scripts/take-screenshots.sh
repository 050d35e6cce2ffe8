#!/usr/bin/env bash
# Retakes the pictures of the user manual (src/help/docs/kepek/*.png) from the
# real programs on a sample data set, under a virtual X display, and the two
# pictures only the README shows (docs/tarvix-manual.png, docs/tarvix-help.png).
#
#   scripts/take-screenshots.sh            # pictures into src/help/docs/kepek and docs
#   OUT=/tmp/pics DOCS_OUT=/tmp/pics scripts/take-screenshots.sh
#
# Needs: the built programs in build/bin (tarvix, tarvfix, tvx-dataset, Data/),
# and the Debian packages xvfb, xdotool, imagemagick and pngquant.
# The steps click at fixed places of the windows' default layout: when a screen
# changes its layout, adjust the coordinates below and look at every picture.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BIN="$ROOT/build/bin"
OUT="${OUT:-$ROOT/src/help/docs/kepek}"
DOCS_OUT="${DOCS_OUT:-$ROOT/docs}"
DISPLAY_NO="${SHOT_DISPLAY:-:71}"
DATA="${SHOT_DATA:-/tmp/docshots}"   # a fresh folder: the paths in the pictures name it
WORK="$(mktemp -d /tmp/tarvix-shots-work.XXXXXX)"

for tool in Xvfb xdotool import convert pngquant; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install xvfb xdotool imagemagick pngquant)" >&2; exit 1; }
done
[ -x "$BIN/tarvix" ] && [ -x "$BIN/tarvfix" ] && [ -x "$BIN/tvx-dataset" ] && [ -d "$BIN/Data" ] ||
  { echo "build first: cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build -j2" >&2; exit 1; }
mkdir -p "$OUT" "$DOCS_OUT"
[ -e "$DATA" ] && { echo "$DATA exists: remove it, or name another folder in SHOT_DATA" >&2; exit 1; }

XVFB_PID=""
APP_PID=""
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$DATA" "$WORK"
}
trap cleanup EXIT

# --- the sample data set, with a few files to attach ---
"$BIN/tvx-dataset" sample "$DATA" "$BIN/Data"
mkdir -p "$DATA/Iratok" "$DATA/Fotók"
for f in "K-2024-17 bérleti szerződés.odt" "K-2024-17 melléklet.pdf" "Helyszíni fotó 1.jpg" \
         "Helyszíni fotó 2.jpg" "Árajánlat 2024.ods" "Levelezés Kovács.eml"; do
  echo x > "$DATA/Iratok/$f"
done

# --- the display: no window manager, windows open at the top left ---
Xvfb "$DISPLAY_NO" -screen 0 1280x900x24 >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY="$DISPLAY_NO"
sleep 2

click() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool click 1; sleep "${3:-0.7}"; }
dclick() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool click --repeat 2 --delay 80 1; sleep "${3:-1}"; }
key() { xdotool key "$@"; sleep 0.7; }
type_text() { xdotool type --delay 70 "$1"; sleep 0.3; }

# the geometry of the visible window whose title matches, as WxH+X+Y (the
# patterns keep to ASCII: xdotool's matching does not take accented letters)
geometry() {
  local id
  id="$(xdotool search --onlyvisible --name "$1" | tail -1)"
  eval "$(xdotool getwindowgeometry --shell "$id")"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}

# shot NAME GEOMETRY [FOLDER]: the screen's part, cropped and with fewer
# colours, into FOLDER (the manual's pictures by default)
shot() {
  local folder="${3:-$OUT}"
  import -window root "$WORK/screen.png"
  convert "$WORK/screen.png" -crop "$2" +repage -strip "$WORK/crop.png"
  pngquant --force --quality 60-90 --speed 1 --output "$folder/$1.png" "$WORK/crop.png" ||
    cp "$WORK/crop.png" "$folder/$1.png"
  echo "$folder/$1.png $(stat -c %s "$folder/$1.png") bytes"
}

# --- Tarvix ---
cd "$DATA"
"$BIN/tarvix" >/dev/null 2>&1 &
APP_PID=$!
sleep 3
MAIN="$(geometry 'Tarvix V.1.0')"

# login panel: "Kiss Éva" chosen from the list, the password typed
click 497 250
click 300 283
type_text titok
shot bejelentkezes "$MAIN"
key Return

# main window with the Iktatás menu open
key alt+i
shot fomenu "$MAIN"

# filing screen in browse mode
key Return
sleep 1
FILING="$(geometry '^Iktat.*s - Tarvix$')"
shot iktato-bongeszo "$FILING"

# Módosítás, Új adat, double click on Kovács és Társa Bt.: the template offer
click 73 8
click 139 8
dclick 100 75 1.5
shot iktatasi-forma-felajanlas 770x390+430+20
key Return

# the entry filled in, a clerk chosen, OK
click 710 67; type_text "K-2026/41"
click 710 96; type_text "Megbízási szerződés"
click 660 153; click 640 176
click 18 8 1
shot iktato-szerkeszto "$FILING"

# the filing-number search prompt
click 100 518 1
type_text 'SZ*'
shot kereses 1200x300+0+300
key Return
click 1098 518 1            # Szűrés kikapcsolása: the first entry is current

# the entry's attachments: two photos picked from Iratok at once
click 209 8; click 250 30 1.5
ATTACH="$(geometry 'megad.* - Tarvix')"
dclick 712 63
click 16 94 0.3
click 960 99 0.3
xdotool mousemove 960 113; sleep 0.2; xdotool keydown ctrl; xdotool click 1; xdotool keyup ctrl; sleep 0.3
click 930 38 1
click 357 54 0.3; type_text "SZ/B12-3"
click 300 489 0.5
click 357 54 0.3; type_text "SZ/B12-3"
click 18 8 1
shot mellekletek-tetel "$ATTACH"
click 377 8 1.5             # Vissza

# the invoice debts of the last entry's partner: a new debt
click 209 8; click 250 53 1.5
DEBTS="$(geometry 'tartoz.*s - Tarvix')"
click 30 8 1
click 100 75 0.5
click 915 132 0.3; type_text "KT-2026-0102"
click 915 247 0.3; type_text "48260,50"
shot szamlatartozas "$DEBTS"
click 201 8 1.5             # Vissza

# the filing-number templates
click 361 8; click 400 30 1.5
TEMPLATES="$(geometry 'Tarvix - Param')"
shot parameterezes "$TEMPLATES"
key alt+v
click 600 360 0.3           # the keyboard back to the filing screen
key alt+k

# the partner register, "Cs" typed into the finder
key alt+t
key Return
sleep 1
PARTNERS="$(geometry '^Partnerek - Tarvix$')"
type_text "Cs"
shot partnertorzs "$PARTNERS"

# the partner list from the first partner
click 577 600 0.5
key alt+n
sleep 1
shot partnerlista "$(geometry 'Partnerlista')"
key Escape

# the partner screen's help over it (README)
key alt+s
sleep 1.5
shot tarvix-help "$PARTNERS" "$DOCS_OUT"
key alt+k
click 134 600 1             # Mégse
key Escape                  # no full check

# a new user after the identification
key alt+b; key Down Return
sleep 1
type_text "Kiss "; xdotool key shift+Eacute; type_text "va"
xdotool key Tab; type_text titok; key Return
type_text "Nagy Gábor"; xdotool key Tab; type_text gabor1; xdotool key Tab; type_text 1
shot uj-felhasznalo "$(geometry 'felhaszn.* - Tarvix')"
key alt+k

# the password change, all three stages typed
key alt+b; key Down Down Return
sleep 1
PASSWORD="$(geometry 'Jelsz.* megv')"
type_text titok; key Tab Return
type_text uj2026; key Tab Return
type_text uj2026
shot jelszo "$PASSWORD"
key alt+v

# all attachments, the Megtekint menu open
key alt+i; key Down Return
sleep 1
key alt+m
shot mellekletek-mind "$(geometry 'megad.* - Tarvix')"
key Escape
key alt+v
sleep 1

# the user manual from the main window, a page down from its beginning (README)
key alt+s; key Return
sleep 2
MANUAL="$(geometry 'nyv - Tarvix$')"
key Next Next
shot tarvix-manual "$MANUAL" "$DOCS_OUT"
key Escape
key alt+k
wait "$APP_PID" 2>/dev/null || true
APP_PID=""

# --- Tarvfix: a run on the throwaway data set ---
"$BIN/tarvfix" >/dev/null 2>&1 &
APP_PID=$!
sleep 2
REBUILD="$(geometry 'TARVFIX')"
key Return
sleep 4
key Return                  # "Karbantartás vége!"
shot tarvfix "$REBUILD"
key Escape
wait "$APP_PID" 2>/dev/null || true
APP_PID=""
echo "pictures in $OUT"

#!/usr/bin/env bash
# Installs the build into a temporary prefix with cmake --install and starts
# both installed programs headless: they must find their templates, help
# documents and manual through the links in bin/, make and rebuild a data set,
# also as a user who cannot write into the installation.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d /tmp/tarvix-install.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
export QT_QPA_PLATFORM=offscreen

# the programs are started through the links, as from the desktop's PATH
tarvix=$prefix/bin/tarvix
tarvfix=$prefix/bin/tarvfix
[ -L "$tarvix" ] && [ -L "$tarvfix" ] || fail "bin/ holds no links to the programs"

version=$(grep -m1 -o 'project(Tarvix VERSION [0-9.]*' "$(dirname "$0")/../../CMakeLists.txt" | awk '{print $3}')
[ "$("$tarvix" --version)" = "Tarvix $version" ] || fail "tarvix --version: $("$tarvix" --version)"
[ "$("$tarvfix" --version)" = "Tarvfix $version" ] || fail "tarvfix --version"
"$tarvix" --help | grep -q -- '--new-data-set MAPPA' || fail "tarvix --help"
"$tarvfix" --help | grep -q '/s' || fail "tarvfix --help"
set +e; "$tarvix" --nincs-ilyen 2>/dev/null; rc=$?; set -e
[ $rc -eq 2 ] || fail "an unknown option gave $rc"

# templates, help documents and the manual, from the installation's own folder
report=$("$tarvix" --check 2>/dev/null) || fail "tarvix --check: $report"
grep -q "Programmappa: $prefix/lib/tarvix" <<<"$report" || fail "program folder: $report"
grep -q "Minták: .* rendben (6 állomány)" <<<"$report" || fail "templates: $report"
grep -q "Segédletek: .* rendben (12 dokumentum)" <<<"$report" || fail "help documents: $report"
grep -q "Kézikönyv: a programba építve – rendben" <<<"$report" || fail "built-in manual: $report"
grep -q "Kézikönyv: $prefix/lib/tarvix/TarvixFelhKezikonyvEgyseges.rtf – rendben" <<<"$report" || fail "manual: $report"
"$tarvfix" --check >/dev/null 2>&1 || fail "tarvfix --check"

# the desktop entries' commands, with the check added: the folder they name is ~/Tarvix
for entry in tarvix tarvfix; do
  file=$prefix/share/applications/$entry.desktop
  [ -f "$file" ] || fail "no desktop entry $entry"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$entry.svg" ] || fail "no icon for $entry"
  command -v desktop-file-validate >/dev/null && { desktop-file-validate "$file" || fail "$entry.desktop"; }
  exec_line=$(sed -n 's/^Exec=//p' "$file")
  eval "set -- $exec_line"
  [ "$1" = "$entry" ] || fail "$entry.desktop starts $1"
  shift
  out=$(HOME=$work/home PATH=$prefix/bin:$PATH "$entry" "$@" --check 2>/dev/null) || fail "$entry.desktop's command: $out"
  grep -q "Adatállomány: $work/home/Tarvix" <<<"$out" || fail "$entry.desktop's folder: $out"
done

# a new data set, made and rebuilt by someone who cannot write into the installation
run_as=()
if [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null; then
  run_as=(runuser -u nobody --)
  chmod -R a-w "$prefix"
fi
data=$work/data
mkdir "$data"
[ ${#run_as[@]} -gt 0 ] && chown nobody "$data"
"${run_as[@]}" "$tarvix" --new-data-set "$data/Tarvix" >/dev/null || fail "--new-data-set"
for f in Tarvix.tvd TarvixArchiv.tvd Torzsek.tvd Parameter.tvd regiszt.tvd betarol.tvd; do
  [ -w "$data/Tarvix/$f" ] || [ ${#run_as[@]} -gt 0 ] || fail "$f is not writable"
done
[ "$(ls "$prefix/lib/tarvix/Data" | wc -l)" -eq 6 ] || fail "something was written beside the templates"

# Tarvfix's unattended run: it rebuilds and then waits on its end message, so
# it is ended once its report is complete and the run's mark is gone
(cd "$data/Tarvix" && exec "${run_as[@]}" "$tarvfix" /s >"$work/tarvfix.log" 2>&1) &
pid=$!
done_rebuild() {
  local report
  report=$(ls "$data/Tarvix"/SAVE*/Tarvfix-jelentes.txt 2>/dev/null | head -1)
  [ -n "$report" ] && grep -q "Regisztrálás:" "$report" && ! ls "$data/Tarvix"/SAVE*/BEFEJEZETLEN.txt >/dev/null 2>&1
}
for _ in $(seq 1 300); do
  done_rebuild && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
kill $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
done_rebuild || { cat "$work/tarvfix.log" >&2; fail "tarvfix /s did not finish its rebuild"; }
report=$("$tarvix" --check --data-set "$data/Tarvix" 2>/dev/null) || fail "check after the rebuild"
grep -q "mind a 6 állomány megvan" <<<"$report" || fail "after the rebuild: $report"

# the main window opens on it and stays up (it waits for a login)
(cd "$data/Tarvix" && exec "${run_as[@]}" "$tarvix" >"$work/tarvix.log" 2>&1) &
pid=$!
sleep 2
kill -0 $pid 2>/dev/null || { cat "$work/tarvix.log" >&2; fail "tarvix ended at its start"; }
kill $pid; wait $pid 2>/dev/null || true
[ ${#run_as[@]} -gt 0 ] && chmod -R u+w "$prefix"
echo "installed into $prefix: both programs found what ships with them"

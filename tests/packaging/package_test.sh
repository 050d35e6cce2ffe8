#!/usr/bin/env bash
# Makes the Debian package with CPack and checks it: its file list against
# package-files.txt, the links, the dependencies, and that its programs run.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tarvix-package.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work/out"/tarvix_*_amd64.deb "$work/out"/tarvix_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package was made"

dpkg-deb -c "$deb" >"$work/listing.txt"
awk '{print $6}' "$work/listing.txt" | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files.txt"
diff -u "$here/package-files.txt" "$work/files.txt" || fail "the package's file list differs from package-files.txt"
grep -q '^l.* \./usr/bin/tarvix -> \.\./lib/tarvix/tarvix$' "$work/listing.txt" || fail "/usr/bin/tarvix is no link to the program"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libsqlite3-0 libicu qt6-qpa-plugins fonts-dejavu-core; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = tarvix ] || fail "package name"

# what is in the package runs from where it lies
dpkg-deb -x "$deb" "$work/root"
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/tarvix" --check >"$work/check.txt" 2>/dev/null || { cat "$work/check.txt" >&2; fail "the packaged tarvix --check"; }
QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/tarvfix" --check >/dev/null 2>&1 || fail "the packaged tarvfix --check"
echo "$(basename "$deb"): $(wc -l <"$work/files.txt") files, as listed"

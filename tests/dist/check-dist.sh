#!/usr/bin/env bash
# The installation and the Debian package, checked as a user would meet them.
#   check-dist.sh install|package|manuals SOURCE_DIR BUILD_DIR
set -euo pipefail
mode=$1 source=$2 build=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

id=org.talvero.Console
expected=(
  bin/talvero bin/talvero-service bin/talvero-dict bin/talvero-pages
  share/talvero/TVRDIC.dic
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/man/man1/talvero.1.gz share/man/man1/talvero-service.1.gz share/man/man1/talvero-dict.1.gz share/man/man1/talvero-pages.1.gz
  share/doc/talvero/copyright share/doc/talvero/changelog.gz
)
for size in 16 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done

fail() { echo "FAIL: $*" >&2; exit 1; }

holds_every_file() {  # ROOT: the tree under the prefix
  for f in "${expected[@]}"; do [ -f "$1/$f" ] || fail "$f is missing"; done
  for size in 16 24 32 48 64 128 256; do
    file "$1/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
      fail "the ${size}px icon is not ${size}x${size}"
  done
}

case $mode in
  install)
    cmake --install "$build" --prefix "$work/prefix" >/dev/null
    holds_every_file "$work/prefix"
    # Run from there, with the build folder out of reach.
    "$work/prefix/bin/talvero" --version | grep -qx "talvero [0-9.]*" || fail "talvero --version"
    "$work/prefix/bin/talvero-service" --version | grep -qx "talvero-service [0-9.]*" || fail "talvero-service --version"
    "$work/prefix/bin/talvero-pages" --version | grep -qx "talvero-pages [0-9.]*" || fail "talvero-pages --version"
    "$work/prefix/bin/talvero-dict" lookup "$work/prefix/share/talvero/TVRDIC.dic" house | grep -q Exact ||
      fail "the installed dictionary does not know \"house\""
    # The web engine's module, loaded when the first server page opens.
    compgen -G "$work/prefix/lib*/talvero/libtalvero_webpage.so" >/dev/null ||
      compgen -G "$work/prefix/lib/*/talvero/libtalvero_webpage.so" >/dev/null ||
      fail "the server-page module is not installed"
    desktop-file-validate "$work/prefix/share/applications/$id.desktop"
    grep -qx "Icon=$id" "$work/prefix/share/applications/$id.desktop" || fail "the launcher's icon is not $id"
    appstreamcli validate --no-net "$work/prefix/share/metainfo/$id.metainfo.xml"
    ;;
  manuals)
    for page in talvero talvero-service talvero-dict talvero-pages; do
      out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$source/dist/man/$page.1" 2>"$work/warnings")
      [ ! -s "$work/warnings" ] || { cat "$work/warnings" >&2; fail "man warns about $page.1"; }
      grep -q "^NAME" <<<"$out" && grep -q "EXIT STATUS" <<<"$out" || fail "$page.1 does not render"
    done
    ;;
  package)
    (cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
    deb=$(ls "$work"/out/talvero_*.deb)
    dpkg-deb -x "$deb" "$work/root"
    holds_every_file "$work/root/usr"
    dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependencies from shlibdeps"
    # Errors and warnings fail; notes are printed for whoever reads the log.
    lintian --fail-on error,warning --no-tag-display-limit "$deb" 2>&1 | grep -v "root privileges" || true
    lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian reports an error or a warning"
    ;;
  *) fail "unknown mode $mode" ;;
esac
echo "ok: $mode"

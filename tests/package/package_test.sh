#!/usr/bin/env bash
# The checks of the installed tree and of the Debian package, one per CTest test:
#   package_test.sh install_tree|build|lintian|run BUILD_DIR OUT_DIR
set -euo pipefail
mode=$1 build=$2 out=$3
# The package's name follows the project's version, as the build configured it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$out/lsystem-viewer_${version}_$(dpkg --print-architecture).deb
id=org.lsystem_viewer.LSystemViewer
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "package test: $tool not found (bash tools/setup.sh test)"; exit 1; }
  done
}

case $mode in
  install_tree)
    # What `cmake --install` puts under the prefix, validated by the freedesktop and AppStream
    # validators and the manual page's linter.
    need desktop-file-validate appstreamcli mandoc identify
    DESTDIR=$scratch cmake --install "$build" --prefix /usr >/dev/null
    root=$scratch/usr
    for f in bin/lsystem-viewer share/man/man1/lsystem-viewer.1.gz \
      share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
      share/bash-completion/completions/lsystem-viewer \
      share/icons/hicolor/{48x48,128x128,256x256}/apps/$id.png \
      share/doc/lsystem-viewer/{README.md,LICENSE,copyright,changelog.gz}; do
      [ -f "$root/$f" ] || { echo "install tree: $f is missing"; exit 1; }
    done
    for size in 48 128 256; do
      got=$(identify -format '%wx%h' "$root/share/icons/hicolor/${size}x${size}/apps/$id.png")
      [ "$got" = "${size}x${size}" ] || { echo "install tree: the ${size} px icon is $got"; exit 1; }
    done
    desktop-file-validate "$root/share/applications/$id.desktop"
    appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml"
    mandoc -T lint -W all "$root/share/man/man1/lsystem-viewer.1.gz"
    # The manual page and the completion file name exactly the long options that --help lists.
    completion=$root/share/bash-completion/completions/lsystem-viewer
    bash -n "$completion"
    # "--name" as a word of its own, not inside a grammar's "[---o]" or "a--a".
    longs() { grep -oE -- '(^|[^-[:alnum:]])--[a-z]+(-[a-z]+)*' | sed 's/^[^-]*//' | sort -u; }
    help=$("$root/bin/lsystem-viewer" --help | longs)
    same() {
      [ -n "$help" ] && [ "$2" = "$help" ] && return
      echo "install tree: the long options of --help and of the $1 differ:"
      diff <(echo "$help") <(echo "$2") || true
      exit 1
    }
    same "manual page" "$(gzip -dc "$root/share/man/man1/lsystem-viewer.1.gz" | sed 's/\\-/-/g' | longs)"
    same "completion file" "$(longs <"$completion")"
    # The manual page names the inputs of --explore as the table of keys behind --help does.
    help=$("$root/bin/lsystem-viewer" --help | sed -n '/^With --explore:/,/^$/s/^  \(.*[^ ]\)  .*/\1/p')
    same "manual page's keys" "$(gzip -dc "$root/share/man/man1/lsystem-viewer.1.gz" |
      sed -n '/^\.SS With/,/^\.SH/{/^\.TP/{n;s/\\-/-/g;p}}')"
    echo "install tree: complete and valid"
    ;;
  build)
    need cpack dpkg-shlibdeps
    rm -rf "$out"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
    [ -f "$deb" ] || { echo "build: no $deb"; exit 1; }
    ;;
  lintian)
    # No error and no warning; information tags are shown but do not fail.
    need lintian
    [ -f "$deb" ] || { echo "lintian: no $deb"; exit 1; }
    rc=0
    report=$(lintian -EvIL +pedantic "$deb" 2>"$out/lintian.err") || rc=$?
    echo "lintian: exit $rc, ${report:-no tags}"
    # A status other than 0 is an error tag, or lintian failing to run.
    [ "$rc" -eq 0 ] || { grep -v 'root privileges' "$out/lintian.err"; exit 1; }
    ! grep -q -E '^[EW]: ' <<<"$report"
    ;;
  run)
    # The package's own binary, unpacked, run as the viewer's other runs are: on an X server of
    # its own, it prints the start word and ends with status 0 on a key press.
    need dpkg-deb
    dpkg-deb -x "$deb" "$scratch/root"
    dpkg-deb -f "$deb" Depends | grep -q 'libsdl1.2debian' || { echo "run: Depends lacks SDL"; exit 1; }
    bash "$(dirname "$0")/../viewer/run_viewer.sh" x11 "$scratch/root/usr/bin/lsystem-viewer"
    ;;
  *) echo "usage: package_test.sh install_tree|build|lintian|run BUILD_DIR OUT_DIR"; exit 2 ;;
esac

#!/usr/bin/env bash
# Builds the Debian package, installs its build into a scratch DESTDIR and checks that both
# hold the programs, the menu entry, the metainfo, the icons and the man page, and that the
# entry and the metainfo pass their validators.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

id=example.quillpost.Quillpost
expected=(
    usr/bin/quillpost
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/man/man1/quillpost.1.gz
)
for size in 16 32 48 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
# The browser helper is a program of its own where the tree has it.
if [ -d browser ]; then
    expected+=(usr/libexec/quillpost/quillpost-browser)
fi

make package
deb=$(ls -t build-package/quillpost_*.deb | head -n 1)

failed=0
expect_all() { # where, then the listing of what is there, one path a line
    local where=$1 listing=$2 path
    for path in "${expected[@]}"; do
        if ! grep -qxF "$path" <<<"$listing"; then
            echo "missing from $where: $path"
            failed=1
        fi
    done
}

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install build-package >/dev/null
expect_all "the install tree" "$(cd "$dest" && find . ! -type d | sed 's|^\./||')"
[ -x "$dest/usr/bin/quillpost" ] || { echo "usr/bin/quillpost is not executable"; failed=1; }
for size in 16 32 48 256; do
    icon=$dest/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    file "$icon" | grep -q ", $size x $size," || { echo "not ${size}px: $icon"; failed=1; }
done
desktop-file-validate "$dest/usr/share/applications/$id.desktop" || failed=1
appstreamcli validate --no-net "$dest/usr/share/metainfo/$id.metainfo.xml" || failed=1

echo "== $deb"
dpkg-deb -c "$deb"
expect_all "$deb" "$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')"

[ "$failed" -eq 0 ] && echo "Install tree and package: all ${#expected[@]} files present and valid."
exit "$failed"

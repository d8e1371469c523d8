#!/usr/bin/env bash
# Builds the Debian package, installs its build into a scratch DESTDIR and checks that both
# hold the programs, the menu entry, the metainfo, the icons, the man page and the systemd
# user units, and that the entry, the metainfo and the units pass their validators.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

id=example.quillpost.Quillpost
expected=(
    usr/bin/quillpost
    usr/libexec/quillpost/quillpost-cli
    usr/libexec/quillpost/quillpost-window
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/man/man1/quillpost.1.gz
    usr/lib/systemd/user/quillpost-submit.service
    usr/lib/systemd/user/quillpost-submit.timer
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
units=$(mktemp -d)
trap 'rm -rf "$dest" "$units"' EXIT
DESTDIR=$dest cmake --install build-package >/dev/null
expect_all "the install tree" "$(cd "$dest" && find . ! -type d | sed 's|^\./||')"
[ -x "$dest/usr/bin/quillpost" ] || { echo "usr/bin/quillpost is not executable"; failed=1; }
# The installed program hands its command line over to the installed quillpost-cli, and
# loads no Qt of its own before it does.
if readelf -d "$dest/usr/bin/quillpost" | grep -q 'NEEDED.*libQt'; then
    echo "usr/bin/quillpost links Qt"
    failed=1
fi
version=$("$dest/usr/bin/quillpost" --version 2>&1) || failed=1
[ "$version" = "quillpost $(sed -n 's/^project(Quillpost VERSION \([^ ]*\).*/\1/p' CMakeLists.txt)" ] \
    || { echo "usr/bin/quillpost --version: $version"; failed=1; }
for size in 16 32 48 256; do
    icon=$dest/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    file "$icon" | grep -q ", $size x $size," || { echo "not ${size}px: $icon"; failed=1; }
done
desktop-file-validate "$dest/usr/share/applications/$id.desktop" || failed=1
appstreamcli validate --no-net "$dest/usr/share/metainfo/$id.metainfo.xml" || failed=1

# systemd-analyze checks that ExecStart's program is there, so it verifies copies of the units
# that start the scratch tree's program. It runs without a systemd as PID 1 given a runtime
# folder of its own; it only warns of most faults, so any word from it is a failure.
service=usr/lib/systemd/user/quillpost-submit.service
grep -qxF 'ExecStart=/usr/libexec/quillpost/quillpost-cli --submit-all' "$dest/$service" \
    || { echo "$service does not start quillpost-cli --submit-all"; failed=1; }
sed "s|^ExecStart=/|ExecStart=$dest/|" "$dest/$service" >"$units/quillpost-submit.service"
cp "$dest/usr/lib/systemd/user/quillpost-submit.timer" "$units/"
mkdir -m 700 "$units/run"
verified=$(XDG_RUNTIME_DIR=$units/run systemd-analyze verify --user --man=no \
    "$units/quillpost-submit.service" "$units/quillpost-submit.timer" 2>&1) || failed=1
[ -z "$verified" ] || { echo "$verified"; failed=1; }

echo "== $deb"
dpkg-deb -c "$deb"
expect_all "$deb" "$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')"

[ "$failed" -eq 0 ] && echo "Install tree and package: all ${#expected[@]} files present and valid."
exit "$failed"

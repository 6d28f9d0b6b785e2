#!/usr/bin/env bash
# The Debian package, made with CPack from the build tree and extracted into a temporary root
# (never installed here): its name, control fields and files; its desktop entries, xscreensaver
# configuration and manual pages well formed (desktop-file-validate, lintian); and the extracted
# shell, started through its link on the PATH, runs a session with the renderer beside it.
#
#   linux_package.sh BUILD_DIR WORKDIR
source "$(dirname "$0")/common.sh"
build=$1
work=$2
rm -rf "$work" && mkdir -p "$work"

case_name="package"
(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) || {
    fail "cpack failed: $(tail -n 5 "$work/cpack.log")"
    finish "Linux package"
}
deb=$(ls "$work"/cpack/velmoria_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { fail "no velmoria_<version>_amd64.deb"; finish "Linux package"; }
dpkg-deb -f "$deb" Package | grep -qx velmoria || fail "the package is not named velmoria"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libgtk-3-0 libgstreamer1.0-0 gstreamer1.0-plugins-good fonts-ipafont-gothic libx11-6; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
hacks="$root/usr/libexec/xscreensaver"
for file in "$hacks/Velmoria.scr" "$hacks/Velmoria.dll" \
    "$root/usr/share/xscreensaver/config/velmoria.xml" \
    "$root/usr/share/applications/screensavers/velmoria.desktop" \
    "$root/usr/share/applications/velmoria-settings.desktop" \
    "$root/usr/share/icons/hicolor/48x48/apps/velmoria.png" \
    "$root/usr/share/man/man6/velmoria.6.gz" "$root/usr/share/man/man6/velmoria-renderer.6.gz" \
    "$root/usr/share/doc/velmoria/copyright" "$root/usr/share/doc/velmoria/changelog.gz"; do
    [ -e "$file" ] || fail "missing ${file#"$root"}"
done
[ "$(readlink "$hacks/velmoria")" = Velmoria.scr ] || fail "the hack velmoria is no link to the shell"
[ "$(readlink -f "$root/usr/bin/velmoria")" = "$(readlink -f "$hacks/Velmoria.scr")" ] ||
    fail "velmoria on the PATH is not the shell"

case_name="files"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate --no-hints "$root/usr/share/applications/screensavers/velmoria.desktop" \
        "$root/usr/share/applications/velmoria-settings.desktop" >"$work/desktop.log" 2>&1 ||
        fail "desktop-file-validate: $(cat "$work/desktop.log")"
else
    fail "desktop-file-validate is not installed"
fi
python3 -c 'import sys, xml.etree.ElementTree as t
s = t.parse(sys.argv[1]).getroot()
assert s.tag == "screensaver" and s.get("name") == "velmoria" and s.get("gl") == "yes"
assert s.find("command").get("arg") == "-root"' "$root/usr/share/xscreensaver/config/velmoria.xml" ||
    fail "velmoria.xml is not the hack's configuration"
for page in velmoria velmoria-renderer; do
    warnings=$(zcat "$root/usr/share/man/man6/$page.6.gz" | groff -man -ww -z 2>&1)
    [ -z "$warnings" ] || fail "$page(6): $warnings"
done
if command -v lintian >/dev/null; then
    lintian "$deb" 2>/dev/null | grep -E '^[EW]:' >"$work/lintian.log"
    [ -s "$work/lintian.log" ] && fail "lintian: $(cat "$work/lintian.log")"
else
    fail "lintian is not installed"
fi

case_name="extracted session"
start_private_display || { fail "no Xvfb"; finish "Linux package"; }
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" VELMORIA_REGISTRY="$work/none.reg"
"$root/usr/bin/velmoria" /s >"$work/session.out" 2>&1 &
session=$!
wait_until 30 sh -c 'xdotool search --onlyvisible --name "^Skorvane_VC\$" >/dev/null 2>&1' ||
    fail "the shell found no renderer beside it"
wait_for_drawing 20 || fail "the renderer drew nothing"
xdotool mousemove 10 10 && sleep 0.3 && xdotool mousemove 700 600
wait_until 15 sh -c "! kill -0 $session 2>/dev/null" || { fail "the session did not end"; kill "$session"; }
wait "$session" 2>/dev/null
case_name=""
finish "Linux package"

#!/usr/bin/env bash
# packaging/check-installed.sh PACKAGE.deb
#
# Tries the Debian package as a user would: installs it with apt-get (which
# pulls in what it depends on), runs the installed norvale-check on the
# sample newsletter in English and Italian, reads its manual page, asks bash
# to complete its options, opens the installed window under Xvfb and checks
# that it shows, then purges the package and checks that none of its files,
# folders or desktop registrations are left. Needs root (or sudo), xvfb and
# x11-utils. Exits non-zero at the first failure, saying what failed.
set -euo pipefail

deb=$(realpath "$1")
cd "$(dirname "$0")/.."
sample=$PWD/samples/newsletter.eml

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt() { DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 -y -q "$@"; }

fail() {
    echo "check-installed: FAILED: $*" >&2
    exit 1
}

work=$(mktemp -d)
xvfb_pid=""
window_pid=""
cleanup() {
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# The programs run with a home of their own, so no user's settings are read
# or written.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# A package left from an earlier run would hide what this one installs.
if dpkg-query -W -f='${Status}' norvale 2>/dev/null | grep -q 'installed\|config-files'; then
    apt purge norvale
fi

echo "== Installing $(basename "$deb")"
(cd "$(dirname "$deb")" && apt install "./$(basename "$deb")")
dpkg-query -W -f='${Status}\n' norvale | grep -q 'install ok installed' || fail "the package is not installed"
mapfile -t files < <(dpkg-query -L norvale)
echo "The package installed ${#files[@]} paths."

echo "== The layout"
for path in /usr/bin/norvale /usr/bin/norvale-check; do
    [ -L "$path" ] || fail "$path is not a link into the application folder"
done
[ "$(readlink -f /usr/bin/norvale-check)" = /usr/lib/norvale/norvale-check ] || fail "norvale-check links elsewhere"
[ -f /usr/lib/norvale/ide/ide.txt ] && [ -f /usr/lib/norvale/ide/ide.it.txt ] ||
    fail "the catalogues are not in the application folder"
for path in "${files[@]}"; do
    case $path in /opt/* | /usr/local/*) fail "the package installs $path" ;; esac
done
[ -f /usr/share/applications/norvale.desktop ] || fail "no desktop entry"
[ -f /usr/share/icons/hicolor/48x48/apps/norvale.png ] || fail "no icon"
[ -f /usr/share/metainfo/app.norvale.norvale.metainfo.xml ] || fail "no AppStream metadata"
appstreamcli validate --no-net /usr/share/metainfo/app.norvale.norvale.metainfo.xml
desktop-file-validate /usr/share/applications/norvale.desktop
if command -v update-desktop-database >/dev/null; then
    grep -q '^message/rfc822=.*norvale.desktop' /usr/share/applications/mimeinfo.cache ||
        fail "message/rfc822 is not associated with norvale.desktop"
fi

echo "== The installed norvale-check"
version=$(/usr/bin/norvale-check --version)
echo "$version"
[[ $version =~ ^norvale-check\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "unexpected version line: $version"
deb_version=$(dpkg-query -W -f='${Version}' norvale)
[ "${version#norvale-check }" = "$deb_version" ] || fail "the program says ${version#norvale-check }, the package $deb_version"
LANG=C LC_ALL= LANGUAGE= norvale-check "$sample" | tee "$work/english.txt"
grep -q 'Verdict [0-5] of 5: ' "$work/english.txt" || fail "no English verdict line"
LANG=it_IT.UTF-8 LC_ALL= LANGUAGE= norvale-check "$sample" | tee "$work/italian.txt"
grep -q 'Giudizio [0-5] su 5: ' "$work/italian.txt" || fail "no Italian verdict line under LANG=it_IT.UTF-8"

echo "== The manual pages and completion"
for page in norvale norvale-check; do
    man -w "$page" >/dev/null || fail "man $page finds no page"
done
MANWIDTH=100 man norvale-check 2>/dev/null | grep -q -- '--fail-level' || fail "man norvale-check lacks --fail-level"
offered=$(bash -c 'source /usr/share/bash-completion/completions/norvale-check
    COMP_WORDS=(norvale-check --); COMP_CWORD=1; _norvale_check; echo "${COMPREPLY[*]}"')
for option in --json --fail-level --language --settings; do
    [[ " $offered " == *" $option "* ]] || fail "bash completion does not offer $option (offered: $offered)"
done
languages=$(bash -c 'source /usr/share/bash-completion/completions/norvale-check
    COMP_WORDS=(norvale-check --language ""); COMP_CWORD=2; _norvale_check; echo "${COMPREPLY[*]}"')
[ "$languages" = "en it" ] || fail "bash completion offers the languages \"$languages\""

echo "== The installed window under Xvfb"
display=${NORVALE_XVFB_DISPLAY:-:99}
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.2
done
xdpyinfo -display "$display" >/dev/null 2>&1 || fail "Xvfb did not start on $display"
DISPLAY=$display norvale "$sample" >"$work/window.log" 2>&1 &
window_pid=$!
shown=""
for _ in $(seq 100); do
    if DISPLAY=$display xwininfo -name Norvale 2>/dev/null | grep -q 'Map State: IsViewable'; then
        shown=yes
        break
    fi
    kill -0 "$window_pid" 2>/dev/null || break
    sleep 0.2
done
if [ -z "$shown" ]; then
    cat "$work/window.log" >&2
    fail "the installed window did not show"
fi
DISPLAY=$display xwininfo -name Norvale | grep -E 'Width|Height|Map State'
if [ -n "${NORVALE_SCREENSHOT:-}" ] && command -v import >/dev/null; then
    sleep 1
    DISPLAY=$display import -window root "$NORVALE_SCREENSHOT"
fi
if ! kill "$window_pid" 2>/dev/null; then
    cat "$work/window.log" >&2
    fail "the window ended before it was closed"
fi
wait "$window_pid" 2>/dev/null || true
window_pid=""
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""

echo "== Purging"
apt purge norvale
if dpkg-query -W -f='${Status}' norvale 2>/dev/null | grep -q 'installed\|config-files'; then
    fail "dpkg still knows the package"
fi
left=()
for path in "${files[@]}"; do
    [ -d "$path" ] && [ ! -L "$path" ] && continue # shared folders such as /usr/share/man stay
    [ -e "$path" ] || [ -L "$path" ] && left+=("$path")
done
for folder in /usr/lib/norvale /usr/share/norvale /usr/share/doc/norvale; do
    [ -e "$folder" ] && left+=("$folder")
done
[ ${#left[@]} -eq 0 ] || fail "left after purging: ${left[*]}"
if [ -f /usr/share/applications/mimeinfo.cache ] && grep -q 'norvale.desktop' /usr/share/applications/mimeinfo.cache; then
    fail "the desktop's message-file association still names norvale.desktop"
fi
echo "check-installed: the package installed, ran, showed its window and purged without a trace"

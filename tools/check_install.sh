#!/usr/bin/env bash
# Checks what installing Ventorix gives: builds in build/, installs into a staging folder and runs
# desktop-file-validate and `appstreamcli validate --strict` on the menu entry and the AppStream file.
# With --with-lintian it also makes the Debian package with cpack and runs lintian on it, installing lintian
# first if needed (it is large, so only when asked). Exits non-zero on the first rejection.
set -euo pipefail
cd "$(dirname "$0")/.."

with_lintian=false
for argument in "$@"; do
    case $argument in
        --with-lintian) with_lintian=true ;;
        *) echo "Usage : $0 [--with-lintian]" >&2; exit 2 ;;
    esac
done

source tools/setup.sh
if $with_lintian; then
    ventorix_install lintian
else
    ventorix_install
fi
ventorix_build

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install build --prefix /usr --strip >/dev/null

echo "== desktop-file-validate"
desktop-file-validate "$stage"/usr/share/applications/*.desktop
echo "== appstreamcli validate --strict --no-net"
appstreamcli validate --strict --no-net --no-color "$stage"/usr/share/metainfo/*.metainfo.xml

if $with_lintian; then
    echo "== cpack -G DEB"
    (cd build && cpack -G DEB >/dev/null)
    package=$(cd build && ls -t ventorix_*_*.deb | head -n 1)
    echo "== lintian --fail-on error,warning build/$package"
    # Root is warned against but changes nothing for a package that is only read.
    lintian --fail-on error,warning "build/$package"
fi
echo "Contrôles réussis."

#!/usr/bin/env bash
# Makes the installer from a built corvinade.exe (the cross tree's target
# corvinade_setup runs this; see installer/CMakeLists.txt):
#
#   make-setup.sh exe=PATH setup=PATH version=1.0.0.0 publisher=NAME \
#       product=NAME copyright=TEXT [epoch=SECONDS] [sign=1] [makensis=PATH]
#
# The exe is copied to payload/corvinade.exe beside the installer; that copy
# is the one installed (and released). With epoch (SOURCE_DATE_EPOCH) the
# copy carries that date, the one the installer stores for it, so the same
# inputs give the same installer. With sign=1 the copy, the uninstaller and
# the installer are signed by scripts/sign.sh, which takes the certificate
# from the environment. The installer appears only when all went well.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "make-setup: $*" >&2
    exit 1
}

declare -A arg=([epoch]="" [sign]="" [makensis]=makensis)
for a in "$@"; do
    case $a in
    exe=* | setup=* | version=* | publisher=* | product=* | copyright=* | epoch=* | sign=* | makensis=*)
        arg[${a%%=*}]=${a#*=}
        ;;
    *) fail "unknown argument: $a" ;;
    esac
done
for key in exe setup version publisher product copyright; do
    [ -n "${arg[$key]:-}" ] || fail "$key=... is missing"
done
[ -f "${arg[exe]}" ] || fail "no program ${arg[exe]}"

setup=${arg[setup]}
payload="$(dirname "$setup")/payload"
rm -rf "$payload"
mkdir -p "$payload"
program="$payload/corvinade.exe"
cp "${arg[exe]}" "$program"

defines=(-DVERSION="${arg[version]}" -DEXE="$program" -DOUTFILE="$setup.part"
    -DPUBLISHER="${arg[publisher]}" -DPRODUCT="${arg[product]}" -DCOPYRIGHT="${arg[copyright]}")
[ -z "${arg[epoch]}" ] || export SOURCE_DATE_EPOCH=${arg[epoch]}
if [ -n "${arg[sign]}" ]; then
    bash "$here/../scripts/sign.sh" "$program" "${arg[product]}"
    defines+=(-DSIGN="bash \"$here/../scripts/sign.sh\"")
fi
[ -z "${arg[epoch]}" ] || touch -d "@${arg[epoch]}" "$program"

rm -f "$setup" "$setup.part"
"${arg[makensis]}" -V2 -WX "${defines[@]}" "$here/corvinade.nsi" || { rm -f "$setup.part"; fail "makensis failed"; }
mv "$setup.part" "$setup"

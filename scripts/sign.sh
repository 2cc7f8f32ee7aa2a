#!/usr/bin/env bash
# Signs a Windows program in place with Authenticode (osslsigncode):
#
#   sign.sh FILE.exe DESCRIPTION
#
# DESCRIPTION is the program's name in the signature (Windows shows it when
# it asks whether to run the file).
#
# CORVINADE_SIGN_PFX             the certificate and its key, a PKCS#12 file
# CORVINADE_SIGN_PASSWORD        its password (may be empty, must be set)
# CORVINADE_SIGN_TIMESTAMP_URL   an RFC 3161 time-stamp server, optional
# SOURCE_DATE_EPOCH              the signing time written into the signature,
#                                optional (without a time-stamp server the
#                                same input then gives the same bytes)
#
# The password goes to osslsigncode on a pipe, never on a command line, and
# is never printed. FILE is replaced only by a complete signed copy.
set -euo pipefail

fail() {
    echo "sign: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: sign.sh FILE.exe DESCRIPTION"
file=$1
description=$2
[ -f "$file" ] || fail "no file $file"
[ -n "${CORVINADE_SIGN_PFX:-}" ] || fail "CORVINADE_SIGN_PFX is not set"
[ -n "${CORVINADE_SIGN_PASSWORD+set}" ] || fail "CORVINADE_SIGN_PASSWORD is not set"
[ -r "$CORVINADE_SIGN_PFX" ] || fail "cannot read the certificate file $CORVINADE_SIGN_PFX"
command -v osslsigncode >/dev/null || fail "osslsigncode is missing (Debian package osslsigncode)"

# osslsigncode reads the password from the pipe as it is (no line end; the
# file name, not "-", works in Debian 12's 2.5 too) but takes no empty one
# there: an empty password is given as itself.
options=(-pkcs12 "$CORVINADE_SIGN_PFX" -h sha256 -n "$description")
if [ -n "$CORVINADE_SIGN_PASSWORD" ]; then
    options+=(-readpass /dev/stdin)
else
    options+=(-pass "")
fi
[ -z "${SOURCE_DATE_EPOCH:-}" ] || options+=(-time "$SOURCE_DATE_EPOCH")
[ -z "${CORVINADE_SIGN_TIMESTAMP_URL:-}" ] || options+=(-ts "$CORVINADE_SIGN_TIMESTAMP_URL")

signed="$file.signing"
rm -f "$signed"
if ! log=$(printf '%s' "$CORVINADE_SIGN_PASSWORD" |
    osslsigncode sign "${options[@]}" -in "$file" -out "$signed" 2>&1); then
    rm -f "$signed"
    # osslsigncode names the file and the reason; the password is not in it.
    fail "could not sign $(basename "$file"):"$'\n'"$log"
fi
mv "$signed" "$file"
echo "sign: signed $(basename "$file")"

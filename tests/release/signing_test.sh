#!/usr/bin/env bash
# Signing a release with a throw-away certificate, as scripts/release.sh signs
# it (installer/make-setup.sh sign=1), time-stamped by a server on loopback:
# osslsigncode verifies the program, the installer and the uninstaller the
# installer writes, with their time stamps; the installed program is the
# signed one; the signed installer installs, starts and uninstalls the
# program under Wine (the end-to-end installer case). Without a time-stamp
# server a signature is the same on every run. The password is never
# printed, and a wrong one fails with the reason and leaves no installer.
#
#   signing_test.sh CORVINADE_EXE E2E_TESTS_EXE TEST_BIN FACTS
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 4 ] || { echo "usage: signing_test.sh CORVINADE_EXE E2E_TESTS_EXE TEST_BIN FACTS" >&2; exit 2; }
exe=$1 e2e=$2 test_bin=$3
declare -A fact
while IFS='=' read -r key value; do fact[$key]=$value; done <"$4"

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

work=$(mktemp -d "${TMPDIR:-/tmp}/corvinade-signing.XXXXXX")
server=
trap '[ -z "$server" ] || kill "$server"; rm -rf "$work"' EXIT

# A code-signing certificate of its own, valid for two days, and a password
# that no output may contain.
export CORVINADE_SIGN_PASSWORD="throw-away-$RANDOM$RANDOM$RANDOM"
export CORVINADE_SIGN_PFX=$work/signer.pfx
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Corvinade test signer" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=digitalSignature \
    -keyout "$work/signer.key" -out "$work/signer.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/signer.key" -in "$work/signer.pem" -out "$CORVINADE_SIGN_PFX" \
    -passout env:CORVINADE_SIGN_PASSWORD

# The time-stamp server's own certificate and its openssl configuration.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Corvinade test time stamps" \
    -addext extendedKeyUsage=critical,timeStamping -keyout "$work/tsa.key" -out "$work/tsa.pem" 2>/dev/null
echo 01 >"$work/tsa.serial"
printf '%s\n' "[ tsa ]" "default_tsa = test_tsa" "[ test_tsa ]" "serial = $work/tsa.serial" \
    "signer_digest = sha256" "default_policy = 1.2.3.4.1" "digests = sha256" "ess_cert_id_alg = sha256" \
    >"$work/tsa.cnf"
python3 "$root/tests/release/timestamp-server.py" "$work/tsa.pem" "$work/tsa.key" "$work/tsa.cnf" "$work/tsa.port" &
server=$!
for _ in $(seq 1 100); do
    [ -s "$work/tsa.port" ] && break
    kill -0 "$server" || { fail "the time-stamp server did not start"; exit 1; }
    sleep 0.05
done
CORVINADE_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$work/tsa.port")"
export CORVINADE_SIGN_TIMESTAMP_URL

make_setup() {
    bash "$root/installer/make-setup.sh" exe="$exe" setup="$1" version="${fact[version]}" \
        publisher="${fact[publisher]}" product="${fact[product]}" copyright="${fact[copyright]}" \
        epoch=1700000000 sign=1
}

verify() {
    local file=$1
    if osslsigncode verify -CAfile "$work/signer.pem" -TSA-CAfile "$work/tsa.pem" -in "$file" \
        >"$work/verify.log" 2>&1 &&
        grep -q "Subject: /CN=Corvinade test signer" "$work/verify.log" &&
        grep -q "Timestamp Server Signature verification: ok" "$work/verify.log"; then
        echo "verified: $(basename "$file")"
    else
        cat "$work/verify.log"
        fail "$(basename "$file") carries no valid, time-stamped signature of the test signer"
    fi
}

setup="$work/signed/corvinade-setup-${fact[version]}.exe"
mkdir -p "$work/signed"
if ! make_setup "$setup" >"$work/make.log" 2>&1; then
    cat "$work/make.log"
    fail "the signed installer was not made"
    exit 1
fi
grep -qF "$CORVINADE_SIGN_PASSWORD" "$work/make.log" && fail "the password was printed"
verify "$work/signed/payload/corvinade.exe"
verify "$setup"

# The uninstaller exists only inside the installer: install into a folder
# here (no Start-menu files for the desktop of this machine).
inst=$work/installed
mkdir -p "$inst"
CORVINADE_WINEDLLOVERRIDES="winemenubuilder.exe=" \
    bash "$root/tests/harness/wine-run.sh" "$setup" /S "/D=Z:${inst//\//\\}" ||
    fail "the signed installer ended with exit code $?"
verify "$inst/uninstall.exe"
cmp -s "$inst/corvinade.exe" "$work/signed/payload/corvinade.exe" ||
    fail "the installed program is not the signed one"

# The whole life of an installation, with the signed files.
CORVINADE_SETUP=$setup CORVINADE_EXE=$work/signed/payload/corvinade.exe CORVINADE_TEST_BIN=$test_bin \
    bash "$root/tests/harness/wine-run.sh" "$e2e" \
    --gtest_filter=InstallerTest.InstallsStartsAndUninstallsKeepingTheUsersData >"$work/e2e.log" 2>&1 || true
if grep -q "\[  PASSED  \] 1 test" "$work/e2e.log"; then
    grep -E "^\[ +OK \]" "$work/e2e.log"
else
    cat "$work/e2e.log"
    fail "the signed installer's end-to-end case failed"
fi

# Without a time-stamp server: the same bytes twice.
for copy in once twice; do
    cp "$exe" "$work/$copy.exe"
    CORVINADE_SIGN_TIMESTAMP_URL="" SOURCE_DATE_EPOCH=1700000000 \
        bash "$root/scripts/sign.sh" "$work/$copy.exe" Corvinade >/dev/null
done
cmp -s "$work/once.exe" "$work/twice.exe" || fail "two signings without a time-stamp server differ"

wrong="$work/wrong/corvinade-setup-${fact[version]}.exe"
mkdir -p "$work/wrong"
if CORVINADE_SIGN_PASSWORD="wrong-$CORVINADE_SIGN_PASSWORD" make_setup "$wrong" >"$work/wrong.log" 2>&1; then
    fail "a wrong password signed"
fi
grep -q "Wrong password" "$work/wrong.log" || { cat "$work/wrong.log"; fail "a wrong password gave no reason"; }
grep -qF "$CORVINADE_SIGN_PASSWORD" "$work/wrong.log" && fail "the wrong password was printed"
[ ! -e "$wrong" ] || fail "a failed signing left an installer"

[ "$failures" -eq 0 ] && echo "signing: all checks passed"
exit "$failures"

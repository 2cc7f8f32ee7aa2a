#!/usr/bin/env bash
# Writes the rest of a release into its folder, from the files already there
# (corvinade.exe, corvinade-setup-VERSION.exe) and the figures of the build
# tree (release-facts.txt, made by installer/CMakeLists.txt):
#
#   release-files.sh DIST FACTS
#
#   corvinade-portable-VERSION.zip
#                      a portable copy: the folder "Corvinade" with the exe
#                      and the file "portable" beside it, every entry dated
#                      SOURCE_DATE_EPOCH (else the last commit's date)
#   release-notes.md   the section of CHANGELOG.md for this version
#   winget/            the package manifest of the Windows package manager
#                      (multi-file, schema 1.28.0): installer type nullsoft,
#                      per-user scope, silent switch /S, the installer's
#                      SHA-256 and the version
#   SHA256SUMS         every file of DIST, for `sha256sum -c SHA256SUMS`
#
# CORVINADE_DOWNLOAD_URL, when set, is the folder the installer is published
# in (the manifest's InstallerUrl); else the one of CMakeLists.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

fail() {
    echo "release: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: release-files.sh DIST FACTS"
dist=$1
declare -A fact
while IFS='=' read -r key value; do
    [ -n "$key" ] && fact[$key]=$value
done <"$2"
for key in version product publisher copyright license description download; do
    [ -n "${fact[$key]:-}" ] || fail "$2 has no $key"
done
version=${fact[version]}
setup_name="corvinade-setup-$version.exe"
setup="$dist/$setup_name"
[ -f "$setup" ] || fail "no $setup"

# The section of CHANGELOG.md for this version: from its heading "## VERSION"
# to the next heading of that level. The newest section comes first, so it
# must be this one: a release without its notes stops here.
changelog="$root/CHANGELOG.md"
newest=$(sed -nE 's/^## +([^ ]+).*/\1/p' "$changelog" | head -n 1)
[ "$newest" = "$version" ] ||
    fail "CHANGELOG.md must begin with a section \"## $version\" (its newest section is \"${newest:-none}\")"
notes=$(awk -v version="$version" '
    /^## / { inside = ($2 == version) ; if (inside) next }
    inside' "$changelog" | sed -e '/./,$!d' | sed -e ':a' -e '/^\n*$/{$d;N;ba' -e '}')
[ -n "$notes" ] || fail "the section \"## $version\" of CHANGELOG.md is empty"
printf '# %s %s\n\n%s\n' "${fact[product]}" "$version" "$notes" >"$dist/release-notes.md"

# The portable copy: the same bytes from the same exe and date.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
portable="$dist/corvinade-portable-$version.zip"
python3 - "$dist/corvinade.exe" "$portable.part" "$epoch" <<'EOF'
import sys, time, zipfile

exe, out, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
stamp = time.gmtime(max(epoch, 315532800))[:6]  # a zip holds no date before 1980
marker = (b"This file makes Corvinade portable: its hotkeys and settings stay in this folder,\r\n"
          b"and it writes nothing to the registry but the log-on entry you ask for.\r\n")
with zipfile.ZipFile(out, "w") as z:
    for name, data in [("Corvinade/corvinade.exe", open(exe, "rb").read()), ("Corvinade/portable", marker)]:
        entry = zipfile.ZipInfo(name, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 0
        entry.external_attr = 0x20  # the archive attribute, as Windows gives files
        z.writestr(entry, data, compresslevel=9)
EOF
mv "$portable.part" "$portable"

# YAML texts in single quotes: the only character to double is the quote.
quoted() {
    printf "'%s'" "${1//\'/\'\'}"
}

id="Pelmorra.${fact[product]}"
manifests="$dist/winget"
rm -rf "$manifests"
mkdir -p "$manifests"
header="# Made by scripts/release.sh for $setup_name; see https://aka.ms/winget-manifest-schema"
sha=$(sha256sum "$setup" | cut -d' ' -f1)
url="${CORVINADE_DOWNLOAD_URL:-${fact[download]}}"

cat >"$manifests/$id.yaml" <<EOF
$header
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.28.0
EOF

# Exit code 3: the program runs and has to be ended first (corvinade.nsi).
cat >"$manifests/$id.installer.yaml" <<EOF
$header
PackageIdentifier: $id
PackageVersion: $version
InstallerLocale: en-US
InstallerType: nullsoft
Scope: user
InstallModes:
- interactive
- silent
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /S
ExpectedReturnCodes:
- InstallerReturnCode: 3
  ReturnResponse: packageInUseByApplication
UpgradeBehavior: install
AppsAndFeaturesEntries:
- DisplayName: $(quoted "${fact[product]}")
  Publisher: $(quoted "${fact[publisher]}")
  DisplayVersion: $version
Installers:
- Architecture: x86
  InstallerUrl: $(quoted "${url%/}/$setup_name")
  InstallerSha256: ${sha^^}
ManifestType: installer
ManifestVersion: 1.28.0
EOF

cat >"$manifests/$id.locale.en-US.yaml" <<EOF
$header
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: $(quoted "${fact[publisher]}")
PackageName: $(quoted "${fact[product]}")
License: $(quoted "${fact[license]}")
Copyright: $(quoted "${fact[copyright]}")
ShortDescription: $(quoted "${fact[description]}")
ReleaseNotes: |-
$(sed -e 's/^/  /' -e 's/^ *$//' <<<"$notes")
ManifestType: defaultLocale
ManifestVersion: 1.28.0
EOF

# Last, over everything above, in a fixed order.
(cd "$dist" && find . -type f ! -name 'SHA256SUMS*' -printf '%P\n' | LC_ALL=C sort | xargs -d '\n' sha256sum) \
    >"$dist/SHA256SUMS.part"
mv "$dist/SHA256SUMS.part" "$dist/SHA256SUMS"

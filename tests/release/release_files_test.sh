#!/usr/bin/env bash
# What scripts/release-files.sh writes beside a release's program and
# installer: SHA256SUMS that `sha256sum -c` accepts and that covers every
# file; a package manifest whose figures (version, installer SHA-256, names)
# are the release's, names with YAML's special characters kept exactly; the
# release notes of CHANGELOG.md's newest section; a portable copy that holds
# the release's exe beside a file "portable", dated by the release, the same
# bytes when made again. A version without its section in CHANGELOG.md stops
# the release.
#
#   release_files_test.sh CORVINADE_EXE SETUP FACTS
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 3 ] || { echo "usage: release_files_test.sh CORVINADE_EXE SETUP FACTS" >&2; exit 2; }
exe=$1 setup=$2 facts=$3

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

work=$(mktemp -d "${TMPDIR:-/tmp}/corvinade-release-files.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The build's figures, with a maker whose name YAML would misread unquoted.
publisher="O'Neill: Tools #1"
sed "s/^publisher=.*/publisher=$publisher/" "$facts" >"$work/facts.txt"
version=$(sed -n 's/^version=//p' "$facts")
dist=$work/dist
mkdir -p "$dist"
cp "$exe" "$setup" "$dist/"
if ! bash "$root/scripts/release-files.sh" "$dist" "$work/facts.txt"; then
    fail "release-files.sh failed"
    exit 1
fi

(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the files"
listed=$(cut -c67- "$dist/SHA256SUMS" | LC_ALL=C sort)
present=$(cd "$dist" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort)
[ "$listed" = "$present" ] || fail "SHA256SUMS lists"$'\n'"$listed"$'\n'"but the release holds"$'\n'"$present"

python3 - "$dist" "$version" "$publisher" "$root/CHANGELOG.md" <<'EOF' || fail "the manifest or the notes are wrong"
import hashlib, pathlib, re, sys, yaml

dist, version, publisher, changelog = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
setup = f"corvinade-setup-{version}.exe"
sha = hashlib.sha256((dist / setup).read_bytes()).hexdigest().upper()
ident = "Pelmorra.Corvinade"
files = {kind: yaml.safe_load((dist / "winget" / f"{ident}{suffix}.yaml").read_text())
         for kind, suffix in [("version", ""), ("installer", ".installer"), ("defaultLocale", ".locale.en-US")]}
errors = []
def expect(what, got, want):
    if got != want:
        errors.append(f"{what}: {got!r}, expected {want!r}")

for kind, manifest in files.items():
    expect(f"{kind} ManifestType", manifest["ManifestType"], kind)
    expect(f"{kind} PackageIdentifier", manifest["PackageIdentifier"], ident)
    expect(f"{kind} PackageVersion", manifest["PackageVersion"], version)
    expect(f"{kind} ManifestVersion", manifest["ManifestVersion"], "1.28.0")
installer = files["installer"]
expect("InstallerType", installer["InstallerType"], "nullsoft")
expect("Scope", installer["Scope"], "user")
expect("Silent", installer["InstallerSwitches"]["Silent"], "/S")
expect("installers", len(installer["Installers"]), 1)
expect("Architecture", installer["Installers"][0]["Architecture"], "x86")
expect("InstallerSha256", installer["Installers"][0]["InstallerSha256"], sha)
expect("InstallerUrl file", installer["Installers"][0]["InstallerUrl"].rsplit("/", 1)[-1], setup)
expect("AppsAndFeatures Publisher", installer["AppsAndFeaturesEntries"][0]["Publisher"], publisher)
locale = files["defaultLocale"]
expect("Publisher", locale["Publisher"], publisher)
expect("PackageName", locale["PackageName"], "Corvinade")

# The notes: the newest section's body, nothing of the introduction or of
# an older section.
sections = re.split(r"(?m)^## ", pathlib.Path(changelog).read_text())
heading, newest = sections[1].split("\n", 1)
expect("newest section", heading.split()[0], version)
newest = newest.strip()
notes = (dist / "release-notes.md").read_text()
expect("release notes", notes, f"# Corvinade {version}\n\n{newest}\n")
expect("ReleaseNotes", locale["ReleaseNotes"], newest)
for error in errors:
    print(error)
sys.exit(1 if errors else 0)
EOF

# The portable copy: the exe and the marker in one folder, dated by the
# release's date (not by when it was made), and the same bytes made again.
zip=$dist/corvinade-portable-$version.zip
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
python3 - "$zip" "$exe" "$epoch" <<'EOF' || fail "the portable copy is wrong"
import sys, time, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    names = z.namelist()
    if names != ["Corvinade/corvinade.exe", "Corvinade/portable"]:
        sys.exit(f"the portable copy holds {names}")
    if z.read("Corvinade/corvinade.exe") != open(sys.argv[2], "rb").read():
        sys.exit("the portable copy's exe is not the release's")
    date = time.gmtime(max(int(sys.argv[3]), 315532800))[:6]
    date = date[:5] + (date[5] // 2 * 2,)  # a zip keeps even seconds
    for entry in z.infolist():
        if entry.date_time != date:
            sys.exit(f"{entry.filename} is dated {entry.date_time}, not the release's {date}")
EOF
cp "$zip" "$work/first.zip"
bash "$root/scripts/release-files.sh" "$dist" "$work/facts.txt" || fail "release-files.sh failed again"
cmp -s "$zip" "$work/first.zip" || fail "the portable copy differs when made again"

# A version that CHANGELOG.md does not begin with.
sed "s/^version=.*/version=9.8.7.6/" "$facts" >"$work/unknown.txt"
mkdir -p "$work/unknown"
cp "$setup" "$work/unknown/corvinade-setup-9.8.7.6.exe"
if bash "$root/scripts/release-files.sh" "$work/unknown" "$work/unknown.txt" 2>"$work/unknown.log"; then
    fail "a version without notes was released"
fi
grep -q 'CHANGELOG.md must begin with a section "## 9.8.7.6"' "$work/unknown.log" ||
    { cat "$work/unknown.log"; fail "no clear message for a version without notes"; }
[ ! -e "$work/unknown/SHA256SUMS" ] || fail "a stopped release has SHA256SUMS"

[ "$failures" -eq 0 ] && echo "release files: all checks passed"
exit "$failures"

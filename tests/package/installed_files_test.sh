#!/usr/bin/env bash
# Checks an installed tree (ROOT/usr) against the places the desktop and
# Debian conventions give each file, and that the files agree with each
# other and with the project's version.
#   installed_files_test.sh ROOT APP_ID VERSION
set -uo pipefail
usr=$1/usr id=$2 version=$3

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A reproducible gzip file: no stored name (flag bit 3) and no time stamp.
check_gzip() {
    gzip -t "$2" 2>/dev/null || { fail "$1 is not gzip data"; return; }
    local header
    header=$(od -An -tu1 -j3 -N5 "$2" | xargs)
    (( ${header%% *} & 8 )) && fail "$1 stores a file name (gzip without -n)"
    [[ ${header#* } == "0 0 0 0" ]] || fail "$1 stores a time stamp (gzip without -n)"
}

# A manual page for the program the file is named after, in section 1, at
# this version, with the sections every page has.
check_man() {
    check_gzip "$1" "$2"
    local name page
    name=$(basename "$2" .1.gz)
    page=$(zcat "$2")
    grep -q "^\.TH \"$name\" \"1\" .* \"sweepwav $version\"" <<<"$page" || fail "$1: no title line for $name $version"
    for section in NAME SYNOPSIS DESCRIPTION FILES "SEE ALSO"; do
        grep -q "^\.SH \"\?$section\"\?$" <<<"$page" || fail "$1 has no $section section"
    done
}

# path                                            what it must be
while read -r path kind; do
    file=$usr/$path
    [[ -f $file ]] || { fail "$path is missing"; continue; }
    case $kind in
        program) [[ -x $file ]] || fail "$path is not executable" ;;
        man) check_man "$path" "$file" ;;
        gzip) check_gzip "$path" "$file" ;;
        png*) grep -q "^PNG image data, ${kind#png} x ${kind#png}," <<<"$(file -b "$file")" ||
                  fail "$path is not a ${kind#png} px PNG: $(file -b "$file")" ;;
        svg) grep -q "^SVG Scalable Vector Graphics image" <<<"$(file -b "$file")" || fail "$path is not SVG" ;;
        text) [[ -s $file ]] || fail "$path is empty" ;;
    esac
done <<EOF_TABLE
bin/sweepwav                                      program
bin/sweepwav-cli                                  program
share/man/man1/sweepwav.1.gz                      man
share/man/man1/sweepwav-cli.1.gz                  man
share/bash-completion/completions/sweepwav-cli    text
share/applications/$id.desktop                    text
share/metainfo/$id.metainfo.xml                   text
share/mime/packages/$id.xml                       text
share/icons/hicolor/48x48/apps/$id.png            png48
share/icons/hicolor/64x64/apps/$id.png            png64
share/icons/hicolor/128x128/apps/$id.png          png128
share/icons/hicolor/256x256/apps/$id.png          png256
share/icons/hicolor/scalable/apps/$id.svg         svg
share/doc/sweepwav/copyright                      text
share/doc/sweepwav/changelog.Debian.gz            gzip
share/doc/sweepwav-cli/copyright                  text
share/doc/sweepwav-cli/changelog.Debian.gz        gzip
share/doc/sweepwav-cli/README.md.gz               gzip
EOF_TABLE

# The desktop entry's Icon= names the installed icons, at every size.
icon=$(sed -n 's/^Icon=//p' "$usr/share/applications/$id.desktop")
for dir in "$usr"/share/icons/hicolor/*/apps; do
    compgen -G "$dir/$icon.*" >/dev/null || fail "no icon '$icon' in ${dir#"$usr"/}"
done

# The newest release in the metadata and in the Debian changelog is this
# version.
release=$(grep -o -m1 '<release version="[^"]*"' "$usr/share/metainfo/$id.metainfo.xml")
[[ $release == "<release version=\"$version\"" ]] || fail "newest metainfo release is $release, not $version"
entry=$(zcat "$usr/share/doc/sweepwav/changelog.Debian.gz" | head -n1)
[[ $entry == "sweepwav ($version-"* ]] || fail "newest changelog entry is '$entry', not $version"

# The README installed is the one of the source tree.
zcat "$usr/share/doc/sweepwav-cli/README.md.gz" | cmp -s - "$(dirname "$0")/../../README.md" ||
    fail "the installed README is not the source's"

echo "installed files: $failures failed"
((failures == 0))

#!/usr/bin/env bash
# Which files go into which of the two packages, and what each depends on:
# sweepwav-cli holds the command line and needs no graphical library, but
# the sound server's client libraries, which it loads to play;
# sweepwav holds the window and needs sweepwav-cli of its own version.
#   package_contents_test.sh tree CLI_ROOT WINDOW_ROOT APP_ID
#       the two components installed each into its own tree (ROOT/usr)
#   package_contents_test.sh deb CLI_DEB WINDOW_DEB APP_ID VERSION
#       the two Debian packages, with their dependencies
set -uo pipefail
mode=$1 cli=$2 window=$3 id=$4 version=${5:-}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The files of a tree or a package, one path a line, sorted.
files_of() {
    if [[ $mode == deb ]]; then
        dpkg-deb -c "$1" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' | sort
    else
        (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | sort)
    fi
}

# path                                                package  where
expected() {
    while read -r path package where; do
        [[ $package == "$1" && ($where == both || $where == "$mode") ]] && echo "$path"
    done <<EOF_TABLE
usr/bin/sweepwav-cli                                   cli      both
usr/share/man/man1/sweepwav-cli.1.gz                   cli      both
usr/share/bash-completion/completions/sweepwav-cli     cli      both
usr/share/doc/sweepwav-cli/copyright                   cli      both
usr/share/doc/sweepwav-cli/changelog.Debian.gz         cli      both
usr/share/doc/sweepwav-cli/README.md.gz                cli      both
usr/share/doc/sweepwav-cli/LICENSE                     cli      tree
usr/share/lintian/overrides/sweepwav-cli               cli      both
usr/share/sweepwav/presets/level-staircase-1k.sweep    cli      both
usr/share/sweepwav/presets/long-low-distortion.sweep   cli      both
usr/share/sweepwav/presets/octave-bands.sweep          cli      both
usr/share/sweepwav/presets/quick-10-tones.sweep        cli      both
usr/share/sweepwav/presets/third-octave-bands.sweep    cli      both
usr/bin/sweepwav                                       window   both
usr/share/man/man1/sweepwav.1.gz                       window   both
usr/share/applications/$id.desktop                     window   both
usr/share/metainfo/$id.metainfo.xml                    window   both
usr/share/mime/packages/$id.xml                        window   both
usr/share/icons/hicolor/48x48/apps/$id.png             window   both
usr/share/icons/hicolor/64x64/apps/$id.png             window   both
usr/share/icons/hicolor/128x128/apps/$id.png           window   both
usr/share/icons/hicolor/256x256/apps/$id.png           window   both
usr/share/icons/hicolor/scalable/apps/$id.svg          window   both
usr/share/doc/sweepwav/copyright                       window   both
usr/share/doc/sweepwav/changelog.Debian.gz             window   both
usr/share/lintian/overrides/sweepwav                   window   both
EOF_TABLE
}

for package in cli window; do
    source=$cli
    [[ $package == window ]] && source=$window
    got=$(files_of "$source")
    want=$(expected $package | sort)
    [[ -n $got ]] || fail "$package: no files in $source"
    while read -r line; do
        fail "$package: $line"
    done < <(diff <(echo "$want") <(echo "$got") | sed -n 's/^< /missing /p; s/^> /unexpected /p')
done

if [[ $mode == deb ]]; then
    depends_cli=$(dpkg-deb -f "$cli" Depends)
    depends_window=$(dpkg-deb -f "$window" Depends)
    [[ $(dpkg-deb -f "$cli" Package) == sweepwav-cli ]] || fail "$cli is not the package sweepwav-cli"
    [[ $(dpkg-deb -f "$window" Package) == sweepwav ]] || fail "$window is not the package sweepwav"
    [[ $depends_cli == *libqt6core6* ]] || fail "sweepwav-cli does not depend on QtCore: $depends_cli"
    [[ ", $depends_cli, " == *", libpulse0"[,\ ]* ]] ||
        fail "sweepwav-cli does not depend on the sound server's client libraries: $depends_cli"
    for graphical in libqt6gui6 libqt6widgets6 libqt6charts6 libqt6svg6 qt6-qpa-plugins libgl libx; do
        [[ $depends_cli == *"$graphical"* ]] && fail "sweepwav-cli depends on $graphical: $depends_cli"
    done
    [[ ", $depends_window, " == *", sweepwav-cli (= $version-1), "* ]] ||
        fail "sweepwav does not depend on sweepwav-cli (= $version-1): $depends_window"
    [[ $depends_window == *qt6-qpa-plugins* ]] || fail "sweepwav does not depend on qt6-qpa-plugins"
fi

echo "package contents ($mode): $failures failed"
((failures == 0))

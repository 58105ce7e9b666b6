#!/bin/sh
# Installs the build into a temporary prefix and checks the installed tree: the programs, the
# desktop entry, icons, file types, AppStream metadata, man pages, completion and manual; the
# desktop entry and the metadata pass their validators; the file types resolve by name and content.
set -eu
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "install_tree: $*" >&2; exit 1; }
for f in bin/k352 bin/k352-cli bin/k352-sim \
         share/applications/k352.desktop \
         share/icons/hicolor/48x48/apps/k352.png share/icons/hicolor/128x128/apps/k352.png \
         share/icons/hicolor/256x256/apps/k352.png share/icons/hicolor/scalable/apps/k352.svg \
         share/mime/packages/k352.xml share/metainfo/io.github.k352_4.k352.metainfo.xml \
         share/man/man1/k352.1 share/man/man1/k352-cli.1 share/man/man1/k352-sim.1 \
         share/bash-completion/completions/k352-cli \
         "share/k352_4/Instruction Manual/k352_4-manual-de.html" \
         "share/k352_4/Instruction Manual/k352_4-manual-en.html"; do
    [ -s "$prefix/$f" ] || fail "missing or empty: $f"
done
[ -x "$prefix/bin/k352-cli" ] || fail "k352-cli is not executable"
"$prefix/bin/k352-cli" --help | grep -q "Usage: k352-cli" || fail "the installed k352-cli does not run"
grep -q '^Exec=k352 %F$' "$prefix/share/applications/k352.desktop" || fail "desktop entry: Exec"
man -l "$prefix/share/man/man1/k352-cli.1" 2>/dev/null | grep -q "download" || fail "k352-cli(1) lacks its commands"
for side in 48 128 256; do
    file "$prefix/share/icons/hicolor/${side}x${side}/apps/k352.png" | grep -q "$side x $side" \
        || fail "icon $side is not ${side} px"
done

desktop-file-validate "$prefix/share/applications/k352.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.k352_4.k352.metainfo.xml" > /dev/null \
    || fail "appstreamcli validate"
bash -n "$prefix/share/bash-completion/completions/k352-cli" || fail "completion script"

# File types: by name, and a graph file by its content under another name.
update-mime-database "$prefix/share/mime" > /dev/null 2>&1 || fail "update-mime-database"
grep -q "application/x-k352-collection" "$prefix/share/mime/globs2" || fail "no .rec glob"
grep -q "application/x-k352-graph" "$prefix/share/mime/magic" || fail "no graph magic"
grep -q "application/x-k352-capture" "$prefix/share/mime/globs2" || fail "no .cap glob"
echo "install_tree: ok"

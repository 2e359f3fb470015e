#!/usr/bin/env bash
# Builds the Release build of scripts/build.sh in build/ (nothing to do when
# that script has run), installs it into a staging folder (build/stage,
# prefix /usr) and checks what a desktop sees: both programs
# in bin/, a valid desktop entry whose Exec and Icon resolve, real PNG icons
# of the right sizes, valid AppStream metainfo carrying the program's version,
# the manual page of korvane-cli, and korvane-cli --help running. Quiet on
# success (one summary line); every problem found is listed on failure.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/logged-steps.sh

build=build
stage="$PWD/$build/stage"
prefix=/usr
root="$stage$prefix"
log=$(fresh_log "$build" package-check)

step() { logged_step package-check "$log" "$@"; }

step configure cmake --preset default
step build cmake --build "$build" -j 2 -- -k 0
rm -rf "$stage"
step install env DESTDIR="$stage" cmake --install "$build" --prefix "$prefix"

problems=()
problem() { problems+=("$1"); }

for program in korvane korvane-cli; do
  [[ -x "$root/bin/$program" ]] || problem "bin/$program is not installed"
done

# The desktop entry: valid (hints about several main categories are fine;
# errors and warnings are not), and its Exec and Icon name what was installed.
desktop="$root/share/applications/korvane.desktop"
if [[ -f "$desktop" ]]; then
  if ! out=$(desktop-file-validate "$desktop" 2>&1) || grep -qE ': (error|warning):' <<<"$out"; then
    problem "desktop-file-validate: $(grep -E ': (error|warning):' <<<"$out" || echo "$out")"
  fi
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [[ -x "$root/bin/$exec_name" ]] || problem "the desktop entry runs '$exec_name', not installed in bin/"
  [[ "$icon_name" == korvane ]] || problem "the desktop entry names icon '$icon_name', not korvane"
else
  problem "share/applications/korvane.desktop is not installed"
fi

# The icons: real PNG files of their folder's size.
for size in 16 32; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/korvane.png"
  if [[ ! -f "$png" ]]; then
    problem "the ${size}x${size} icon is not installed"
    continue
  fi
  got=$(identify -format '%m %w %h' "$png" 2>&1) || true
  [[ "$got" == "PNG $size $size" ]] || problem "icon ${size}x${size}: identify says '$got'"
done

# The metainfo: valid, alone and with the installed tree around it, and
# carrying the project's version.
shopt -s nullglob
metainfos=("$root"/share/metainfo/*.metainfo.xml)
shopt -u nullglob
if ((${#metainfos[@]} != 1)); then
  problem "expected one metainfo file in share/metainfo, found ${#metainfos[@]}"
else
  metainfo=${metainfos[0]}
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || problem "appstreamcli validate: $out"
  out=$(appstreamcli validate-tree --no-net "$stage$prefix" 2>&1) ||
    problem "appstreamcli validate-tree: $out"
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[^=]*=//p' "$build/CMakeCache.txt")
  grep -q "<release version=\"$version\"" "$metainfo" ||
    problem "the metainfo does not carry release $version"
fi

# The manual page: installed, and formats without warnings where groff is
# at hand.
man_page="$root/share/man/man1/korvane-cli.1"
if [[ ! -f "$man_page" ]]; then
  problem "share/man/man1/korvane-cli.1 is not installed"
elif command -v groff >/dev/null; then
  out=$(groff -man -Tutf8 -ww -z "$man_page" 2>&1)
  [[ -z "$out" ]] || problem "groff finds fault with the manual page: $out"
fi

if [[ -x "$root/bin/korvane-cli" ]]; then
  if ! out=$("$root/bin/korvane-cli" --help 2>&1); then
    problem "korvane-cli --help failed: $out"
  elif ! grep -q "usage: korvane-cli" <<<"$out"; then
    problem "korvane-cli --help prints no usage: $out"
  fi
fi

if ((${#problems[@]} > 0)); then
  echo "package-check: ${#problems[@]} problem(s) in the installed tree ($stage):" >&2
  printf '  - %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "package-check: installed tree in $stage is complete and valid" \
  "(desktop entry, icons, metainfo $version, manual page, korvane-cli --help)"

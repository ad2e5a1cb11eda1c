#!/usr/bin/env bash
# The Windows installer and zip, made afresh by cpack from the built
# programs into a scratch folder: the zip holds the programs and nothing
# else; `tavexdl-setup.exe /S` puts them into Program Files\TavexDL with the
# uninstaller, the Start-menu entries and the Add/Remove Programs entry, and
# the command-line program runs from there; `Uninstall.exe /S` takes all of
# it away again. Run inside scripts/under-wine.sh (the build's wine prefix);
# the test's environment names cpack, its configuration, the version and the
# programs the package must hold.
set -euo pipefail
: "${WINEPREFIX:?run the Windows tests under scripts/under-wine.sh}"

scratch=$(mktemp -d)
trap '[ -n "${TAVEX_KEEP_SCRATCH:-}" ] || rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

install_dir="$WINEPREFIX/drive_c/Program Files/TavexDL"
menu_dir="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TavexDL"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TavexDL'
read -r -a programs <<<"$TAVEX_PACKAGE_PROGRAMS"

# same_lines WHAT EXPECTED ACTUAL: the two sets of lines are equal.
same_lines() {
  if [ "$(sort <<<"$2")" != "$(sort <<<"$3")" ]; then
    printf 'expected:\n%s\nfound:\n%s\n' "$2" "$3" >&2
    fail "$1"
  fi
}

"$TAVEX_CPACK" --config "$TAVEX_CPACK_CONFIG" -B "$scratch" >"$scratch/cpack.txt" 2>&1 ||
  { cat "$scratch/cpack.txt" >&2; fail "cpack"; }
setup="$scratch/tavexdl-setup.exe"
zip="$scratch/tavexdl-$TAVEX_PACKAGE_VERSION-win64.zip"
[ -f "$setup" ] || fail "no $setup"
[ -f "$zip" ] || fail "no $zip"

same_lines "the zip's files" \
  "$(printf "tavexdl-$TAVEX_PACKAGE_VERSION-win64/%s\n" "${programs[@]}")" \
  "$(unzip -Z1 "$zip")"

wine "$setup" /S </dev/null || fail "the installer ended with $?"
same_lines "the installed files" \
  "$(printf '%s\n' "${programs[@]}" Uninstall.exe)" \
  "$(ls "$install_dir")"
expected_menu=$'TavexDL Command Prompt.lnk\nUninstall.lnk'
[[ " ${programs[*]} " == *" tavexdl.exe "* ]] && expected_menu+=$'\nTavexDL.lnk'
same_lines "the Start-menu entries" "$expected_menu" "$(ls "$menu_dir")"
wine reg query "$uninstall_key" /v UninstallString </dev/null 2>/dev/null | tr -d '\r' |
  grep -qF '"C:\Program Files\TavexDL\Uninstall.exe"' || fail "no uninstall entry in the registry"
wine 'C:\Program Files\TavexDL\tavexdl-cli.exe' --help </dev/null 2>&1 | tr -d '\r' |
  grep -q '^usage: tavexdl-cli' || fail "the installed tavexdl-cli.exe does not run"

# The uninstaller copies itself away and returns at once; the copy removes
# the folder last.
wine 'C:\Program Files\TavexDL\Uninstall.exe' /S </dev/null || fail "the uninstaller ended with $?"
for _ in $(seq 100); do
  [ -e "$install_dir" ] || break
  sleep 0.2
done
[ ! -e "$install_dir" ] || { ls -la "$install_dir" >&2; fail "the installation folder is still there"; }
[ ! -e "$menu_dir" ] || { ls -la "$menu_dir" >&2; fail "the Start-menu folder is still there"; }
if wine reg query "$uninstall_key" </dev/null >/dev/null 2>&1; then
  fail "the uninstall entry is still in the registry"
fi
if wine reg query 'HKLM\Software\Norwick Inc.' </dev/null >/dev/null 2>&1; then
  fail "the vendor's registry key is still there"
fi
echo "installed and uninstalled: ${programs[*]}"

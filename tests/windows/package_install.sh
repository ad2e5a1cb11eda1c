#!/usr/bin/env bash
# The Windows installer and zip, made afresh by cpack from the built
# programs into a scratch folder: the zip holds the programs and nothing
# else; `tavexdl-setup.exe /S` puts them into Program Files\TavexDL with the
# uninstaller, the Start-menu entries and the Add/Remove Programs entry, and
# the command-line program runs from there; while a program of the
# installation runs, neither the uninstaller nor the installer changes
# anything, and both end with a non-zero exit code; `Uninstall.exe /S`
# takes all of it away again, with the automation class registration the
# desktop program made for itself, but not one another copy of the program
# made. Run inside scripts/under-wine.sh (the build's wine prefix); the
# test's environment names cpack, its configuration, the version, the
# programs the package must hold and the example images.
set -euo pipefail
: "${WINEPREFIX:?run the Windows tests under scripts/under-wine.sh}"

scratch=$(mktemp -d)
running=  # a program started from the installation, while it runs
trap '[ -z "$running" ] || kill "$running" 2>/dev/null; [ -n "${TAVEX_KEEP_SCRATCH:-}" ] || rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

install_dir="$WINEPREFIX/drive_c/Program Files/TavexDL"
menu_dir="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/TavexDL"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TavexDL'
read -r -a programs <<<"$TAVEX_PACKAGE_PROGRAMS"
desktop=false
[[ " ${programs[*]} " == *" tavexdl.exe "* ]] && desktop=true

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

# installation_whole WHEN: every installed file, Start-menu entry and the
# uninstall entry are in place.
installation_whole() {
  same_lines "the installed files $1" \
    "$(printf '%s\n' "${programs[@]}" Uninstall.exe)" \
    "$(ls "$install_dir" 2>/dev/null)"
  local expected_menu=$'TavexDL Command Prompt.lnk\nUninstall.lnk'
  ! $desktop || expected_menu+=$'\nTavexDL.lnk'
  same_lines "the Start-menu entries $1" "$expected_menu" "$(ls "$menu_dir" 2>/dev/null)"
  wine reg query "$uninstall_key" /v UninstallString </dev/null 2>/dev/null | tr -d '\r' |
    grep -qF '"C:\Program Files\TavexDL\Uninstall.exe"' || fail "no uninstall entry in the registry $1"
}

# The automation class's keys under HIVE\Software\Classes.
class_id='{5B3C2A71-9E4D-4F0B-8C21-6D7A3E9B1F42}'
class_keys=('Software\Classes\TavexDL.Application' "Software\\Classes\\CLSID\\$class_id")
# class_server HIVE: the server command registered under HIVE, if any.
class_server() {
  wine reg query "$1\\Software\\Classes\\CLSID\\$class_id\\LocalServer32" /ve </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *(Default) *REG_SZ *//p'
}
# register_class HIVE COMMAND: the keys as the program writes them, with
# COMMAND as the server; remove_class HIVE: none of them.
register_class() {
  local entry
  for entry in "TavexDL.Application|TavexDL.Application" "TavexDL.Application\\CLSID|$class_id" \
    "CLSID\\$class_id|TavexDL.Application" "CLSID\\$class_id\\ProgID|TavexDL.Application" \
    "CLSID\\$class_id\\LocalServer32|$2"; do
    wine reg add "$1\\Software\\Classes\\${entry%%|*}" /ve /d "${entry#*|}" /f </dev/null >/dev/null 2>&1 ||
      fail "could not write $1\\Software\\Classes\\${entry%%|*}"
  done
}
remove_class() {
  local key
  for key in "${class_keys[@]}"; do
    wine reg delete "$1\\$key" /f </dev/null >/dev/null 2>&1 || true
  done
}
# class_gone HIVE WHEN: none of the class's keys is left under HIVE.
class_gone() {
  local key
  for key in "${class_keys[@]}"; do
    if wine reg query "$1\\$key" </dev/null >/dev/null 2>&1; then
      fail "$1\\$key is still in the registry $2"
    fi
  done
}

# run_batch LINE: LINE run by the command prompt, which passes it on as it
# is written (wine quotes an argument with a blank, and the uninstaller
# takes only an unquoted "_?=" folder) and waits for a windowed program.
run_batch() {
  printf '@%s\r\n@exit /b %%ERRORLEVEL%%\r\n' "$1" >"$scratch/run.bat"
  wine cmd /c "Z:${scratch//\//\\}\\run.bat" </dev/null
}

# Registrations a run of the prefix may have left would be taken for the
# program's.
for hive in HKCU HKLM; do remove_class "$hive"; done

wine "$setup" /S </dev/null || fail "the installer ended with $?"
installation_whole "after installing"
wine 'C:\Program Files\TavexDL\tavexdl-cli.exe' --help </dev/null 2>&1 | tr -d '\r' |
  grep -q '^usage: tavexdl-cli' || fail "the installed tavexdl-cli.exe does not run"

# Each program that can be kept running from the installation, alone: the
# desktop program on the display, and the command-line program waiting for
# a device that never comes. The desktop program registers the automation
# class for itself as it starts, under the user's and the machine's classes.
# While it runs, the uninstaller (a copy of it run elsewhere with "_?=" the
# installation, as `Uninstall.exe /S` does, but waited for) and the
# installer must end with a non-zero exit code and leave all of it in place.
uninstaller_copy="$scratch/Uninstall-copy.exe"
cp "$install_dir/Uninstall.exe" "$uninstaller_copy"
image="$scratch/keyboard-small.s19"
cp "$TAVEX_EXAMPLES/keyboard-small.s19" "$image"
registered=false
declare -A start_command=(
  [tavexdl.exe]="C:\\Program Files\\TavexDL\\tavexdl.exe"
  [tavexdl-cli.exe]="C:\\Program Files\\TavexDL\\tavexdl-cli.exe|download|Z:${image//\//\\}|--device|COM9|--wait|60"
)
for program in "${programs[@]}"; do
  IFS='|' read -r -a command <<<"${start_command[$program]}"
  wine "${command[@]}" </dev/null >"$scratch/program.txt" 2>&1 &
  running=$!
  # Bounds that only a failure waits out: wine starts a program slowly on a
  # busy machine.
  for _ in $(seq 600); do
    grep -qF "/TavexDL/$program" "/proc/$running/maps" 2>/dev/null && break
    sleep 0.05
  done
  grep -qF "/TavexDL/$program" "/proc/$running/maps" 2>/dev/null ||
    { cat "$scratch/program.txt" >&2; fail "$program did not start"; }
  if [ "$program" = tavexdl.exe ]; then
    for hive in HKCU HKLM; do
      for _ in $(seq 200); do
        [ -n "$(class_server "$hive")" ] && break
        sleep 0.1
      done
      [ "$(class_server "$hive")" = '"C:\Program Files\TavexDL\tavexdl.exe"' ] ||
        fail "tavexdl.exe registered under $hive: '$(class_server "$hive")'"
    done
    registered=true
  fi

  status=0
  run_batch "\"Z:${uninstaller_copy//\//\\}\" /S _?=C:\\Program Files\\TavexDL" || status=$?
  [ "$status" -ne 0 ] || fail "the uninstaller ended with 0 while $program ran"
  installation_whole "after uninstalling while $program ran"
  status=0
  wine "$setup" /S </dev/null || status=$?
  [ "$status" -ne 0 ] || fail "the installer ended with 0 while $program ran"
  installation_whole "after installing while $program ran"
  if $registered; then
    for hive in HKCU HKLM; do
      [ "$(class_server "$hive")" = '"C:\Program Files\TavexDL\tavexdl.exe"' ] ||
        fail "the registration under $hive changed while $program ran"
    done
  fi

  kill "$running"
  wait "$running" 2>/dev/null || true
  running=
done

# With the programs stopped, an update: the installer replaces the
# installation, uninstalling it first, and the class stays registered.
wine "$setup" /S </dev/null || fail "the installer ended with $? over the installation"
installation_whole "after installing over the installation"
if $registered; then
  for hive in HKCU HKLM; do
    [ "$(class_server "$hive")" = '"C:\Program Files\TavexDL\tavexdl.exe"' ] ||
      fail "the registration under $hive after an update: '$(class_server "$hive")'"
  done
fi

# uninstall WHO WHEN: runs the installed uninstaller silently, which copies
# itself away and returns at once; the copy removes the folder last.
uninstall() {
  wine 'C:\Program Files\TavexDL\Uninstall.exe' /S </dev/null || fail "$1 ended with $?"
  for _ in $(seq 100); do
    [ -e "$install_dir" ] || break
    sleep 0.2
  done
  [ ! -e "$install_dir" ] || { ls -la "$install_dir" >&2; fail "the installation folder is still there$2"; }
}

# With the programs stopped.
uninstall "the uninstaller" ""
[ ! -e "$menu_dir" ] || { ls -la "$menu_dir" >&2; fail "the Start-menu folder is still there"; }
if wine reg query "$uninstall_key" </dev/null >/dev/null 2>&1; then
  fail "the uninstall entry is still in the registry"
fi
if wine reg query 'HKLM\Software\Norwick Inc.' </dev/null >/dev/null 2>&1; then
  fail "the vendor's registry key is still there"
fi
for hive in HKCU HKLM; do class_gone "$hive" "after uninstalling"; done

# The registration, as the user's and the machine's, left or taken by the
# uninstaller by the program it names: this installation's, under a short
# (8.3) spelling of its path too, goes; another copy's (one run from the
# zip's folder) stays, as that copy still serves it.
if $desktop; then
  wine "$setup" /S </dev/null || fail "the second installer ended with $?"
  short_program=$(run_batch 'for %%I in ("C:\Program Files\TavexDL\tavexdl.exe") do @echo %%~sI' | tr -d '\r')
  [ -n "$short_program" ] || fail "no short spelling of the program's path"
  other_copy='"C:\Tools\tavexdl-'"$TAVEX_PACKAGE_VERSION"'-win64\tavexdl.exe"'
  registrations=(
    "HKCU|\"$short_program\"|goes"
    "HKLM|$other_copy|stays"
  )
  for registration in "${registrations[@]}"; do
    IFS='|' read -r hive server _ <<<"$registration"
    register_class "$hive" "$server"
    [ "$(class_server "$hive")" = "$server" ] || fail "$server reads back as '$(class_server "$hive")'"
  done
  uninstall "the second uninstaller" " after the second uninstallation"
  for registration in "${registrations[@]}"; do
    IFS='|' read -r hive server fate <<<"$registration"
    if [ "$fate" = goes ]; then
      class_gone "$hive" "after uninstalling, with $server registered"
    else
      [ "$(class_server "$hive")" = "$server" ] || fail "the registration of $server under $hive was taken"
      wine reg query "$hive\\Software\\Classes\\TavexDL.Application" </dev/null >/dev/null 2>&1 ||
        fail "the class name registered for $server under $hive was taken"
      remove_class "$hive"
    fi
  done
fi
echo "installed and uninstalled: ${programs[*]}"

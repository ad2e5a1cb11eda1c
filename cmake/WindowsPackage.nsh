; What the installer and the uninstaller of tavexdl-setup.exe do beyond
; CPack's own script: included at its top (CPACK_NSIS_DEFINES) and called
; from the places it leaves for extra commands (cmake/WindowsPackage.cmake).

!include FileFunc.nsh
!include LogicLib.nsh

; The automation class tavexdl.exe registers for itself on every plain start
; (src/gui/win32/automation/class_registration.cpp), under Software\Classes
; of HKEY_CURRENT_USER and, where it may write there, HKEY_LOCAL_MACHINE.
!define TAVEX_PROG_ID "TavexDL.Application"
!define TAVEX_CLASS_ID "{5B3C2A71-9E4D-4F0B-8C21-6D7A3E9B1F42}"

; Sets $1 to NAME when $1 is still empty and NAME in the folder $2 is
; running. Windows keeps the file of a running program open and refuses to
; open it for writing until the last process running it has ended (it
; does let it be renamed, so a rename proves nothing); wine refuses the
; same way. Opening for writing changes nothing: "a" keeps the contents,
; and only a file that is there is opened.
!macro _TAVEX_NOTE_IF_RUNNING NAME
  ${If} $1 == ""
  ${AndIf} ${FileExists} "$2\${NAME}"
    ClearErrors
    FileOpen $0 "$2\${NAME}" a
    ${If} ${Errors}
      StrCpy $1 "${NAME}"
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
!macroend

!macro _TAVEX_PROGRAM_CHECKS UN WORK
; The first program found running in the folder on the stack, or "", in
; its place.
Function ${UN}TavexRunningProgram
  Exch $2
  Push $1
  Push $0
  StrCpy $1 ""
  !insertmacro _TAVEX_NOTE_IF_RUNNING tavexdl.exe
  !insertmacro _TAVEX_NOTE_IF_RUNNING tavexdl-cli.exe
  StrCpy $2 $1
  Pop $0
  Pop $1
  Exch $2
FunctionEnd

; Returns once no program in the folder on the stack (taken off it) is
; running. While one is, the operator is asked to close it and retry, or to
; cancel; a silent run cancels at once. Cancelling ends the run with exit
; code 2 before anything has been changed: a program that runs on would
; keep its file, and the installation would be left half removed or half
; replaced.
Function ${UN}TavexRequireProgramsClosed
  Exch $1
  Push $0
  ${Do}
    Push $1
    Call ${UN}TavexRunningProgram
    Pop $0
    ${If} $0 == ""
      Pop $0
      Pop $1
      Return
    ${EndIf}
    DetailPrint "$0 is running from $1."
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$0 is running from $1.$\n$\nClose it, then click Retry. Cancel stops the ${WORK} and leaves TavexDL as it is." /SD IDCANCEL IDRETRY`
      SetErrorLevel 2
      Abort "The ${WORK} was cancelled: $0 is running."
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro _TAVEX_PROGRAM_CHECKS "" "installation"
!insertmacro _TAVEX_PROGRAM_CHECKS "un." "uninstallation"

!macro _TAVEX_SERVER_CHECK UN
; On the stack: 1 when the server command under the folder on the stack
; starts tavexdl.exe in that folder, or starts nothing at all, else 0. The
; program writes its path in quotes; a short (8.3) spelling of the same
; path counts as the same program.
Function ${UN}TavexServerIsProgramIn
  Exch $1
  Exch
  Exch $0
  Push $2
  StrCpy $2 $0 1
  ${If} $2 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $2 $0 1 -1
    ${If} $2 == '"'
      StrCpy $0 $0 -1
    ${EndIf}
  ${EndIf}
  ${If} $0 == ""
  ${OrIf} $0 == "$1\tavexdl.exe"
    StrCpy $0 1
  ${Else}
    GetFullPathName /SHORT $2 $0
    GetFullPathName /SHORT $1 "$1\tavexdl.exe"
    ${If} $2 != ""
    ${AndIf} $2 == $1
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $2
  Exch $0
  Exch
  Pop $1
FunctionEnd
!macroend
!insertmacro _TAVEX_SERVER_CHECK ""
!insertmacro _TAVEX_SERVER_CHECK "un."

; Before the installer writes a file: no program of the installation, nor
; of the one installed before when that is elsewhere, may be running; then
; that one is uninstalled, by the uninstaller it came with, run in place
; (_?=) so that it can be waited for. An uninstaller that fails or refuses
; (its programs run) ends the installation with exit code 2: installing
; over what it left would report a success that is none. CPack's own way
; of doing this (CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL) would run the
; uninstaller before anything can be checked and, when it refuses, show a
; message box even to a silent installer, which would then never end.
; Whether the version replaced had the automation class registered, with
; its tavexdl.exe as the server, for the user and for the machine. Its
; uninstaller takes the registration away; the installer then writes it
; again for the new tavexdl.exe, so that automation clients find the
; program after an update as they did before it, not only once someone has
; started it by hand.
Var TavexRegisteredForUser
Var TavexRegisteredForMachine

; Sets VAR to 1 when the class is registered under ROOT with the program in
; the folder $2 as the server.
!macro _TAVEX_NOTE_REGISTRATION ROOT VAR
  StrCpy ${VAR} 0
  ReadRegStr $1 ${ROOT} "Software\Classes\CLSID\${TAVEX_CLASS_ID}\LocalServer32" ""
  ${If} $1 != ""
    Push $1
    Push $2
    Call TavexServerIsProgramIn
    Pop ${VAR}
  ${EndIf}
!macroend

; The class's entries under ROOT\Software\Classes, as tavexdl.exe writes
; them, with the installed tavexdl.exe as the server.
!macro _TAVEX_WRITE_CLASS_REGISTRATION ROOT
  WriteRegStr ${ROOT} "Software\Classes\${TAVEX_PROG_ID}" "" "${TAVEX_PROG_ID}"
  WriteRegStr ${ROOT} "Software\Classes\${TAVEX_PROG_ID}\CLSID" "" "${TAVEX_CLASS_ID}"
  WriteRegStr ${ROOT} "Software\Classes\CLSID\${TAVEX_CLASS_ID}" "" "${TAVEX_PROG_ID}"
  WriteRegStr ${ROOT} "Software\Classes\CLSID\${TAVEX_CLASS_ID}\ProgID" "" "${TAVEX_PROG_ID}"
  WriteRegStr ${ROOT} "Software\Classes\CLSID\${TAVEX_CLASS_ID}\LocalServer32" "" '"$INSTDIR\tavexdl.exe"'
!macroend

; After the files are in place: the registration the replaced version had.
Function TavexRestoreClassRegistration
  ${If} ${FileExists} "$INSTDIR\tavexdl.exe"
    ${If} $TavexRegisteredForUser == 1
      !insertmacro _TAVEX_WRITE_CLASS_REGISTRATION HKCU
    ${EndIf}
    ${If} $TavexRegisteredForMachine == 1
      !insertmacro _TAVEX_WRITE_CLASS_REGISTRATION HKLM
    ${EndIf}
  ${EndIf}
FunctionEnd

Function TavexReplaceInstalledVersion
  Push $0
  Push $1
  Push $2
  Push $INSTDIR
  Call TavexRequireProgramsClosed
  ReadRegStr $0 HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\TavexDL" "UninstallString"
  ${If} $0 != ""
    ; "C:\...\Uninstall.exe", quoted or not.
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
    ${EndIf}
    StrCpy $1 $0 1 -1
    ${If} $1 == '"'
      StrCpy $0 $0 -1
    ${EndIf}
    ${GetParent} $0 $2
    ${If} $2 != $INSTDIR
      Push $2
      Call TavexRequireProgramsClosed
    ${EndIf}
    MessageBox MB_YESNOCANCEL|MB_ICONEXCLAMATION "TavexDL is already installed.$\n$\nDo you want to uninstall the old version before installing the new one?" /SD IDYES IDYES tavex_uninstall IDNO tavex_done
    SetErrorLevel 1
    Abort "The installation was cancelled."
  tavex_uninstall:
    !insertmacro _TAVEX_NOTE_REGISTRATION HKCU $TavexRegisteredForUser
    !insertmacro _TAVEX_NOTE_REGISTRATION HKLM $TavexRegisteredForMachine
    ClearErrors
    ExecWait '"$0" /S _?=$2' $1
    ${If} ${Errors}
    ${OrIf} $1 != 0
      MessageBox MB_OK|MB_ICONSTOP "The installed version of TavexDL could not be uninstalled." /SD IDOK
      SetErrorLevel 2
      Abort "The installation was cancelled: the installed version could not be uninstalled."
    ${EndIf}
  ${EndIf}
  tavex_done:
  Pop $2
  Pop $1
  Pop $0
FunctionEnd


; The class registration under ROOT, when it names this installation's
; program as its server: left behind, it would start a program that is no
; longer there. One another copy of tavexdl.exe made for itself (one run
; from the zip's folder) stays, as it still works.
!macro _TAVEX_REMOVE_CLASS_REGISTRATION ROOT
  ReadRegStr $0 ${ROOT} "Software\Classes\CLSID\${TAVEX_CLASS_ID}\LocalServer32" ""
  Push $0
  Push $INSTDIR
  Call un.TavexServerIsProgramIn
  Pop $0
  ${If} $0 == 1
    DeleteRegKey ${ROOT} "Software\Classes\CLSID\${TAVEX_CLASS_ID}"
    DeleteRegKey ${ROOT} "Software\Classes\${TAVEX_PROG_ID}"
  ${EndIf}
!macroend

; HKEY_CURRENT_USER is that of the user the uninstaller runs as (with an
; administrator's credentials given for another account, that account's):
; the registrations other users' starts of the program wrote are in their
; own hives, which an uninstaller cannot reach.
Function un.TavexRemoveClassRegistration
  Push $0
  !insertmacro _TAVEX_REMOVE_CLASS_REGISTRATION HKCU
  !insertmacro _TAVEX_REMOVE_CLASS_REGISTRATION HKLM
  Pop $0
FunctionEnd

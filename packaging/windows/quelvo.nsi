; Installer of Quelvo.scr: puts it in the 64-bit System32, makes it the signed-in user's
; screen saver and registers an uninstaller in Programs and Features that undoes both.
; packaging/windows/CMakeLists.txt runs makensis with the strings of the program's
; version block: VERSION, FILE_VERSION, PRODUCT, COMPANY, and the paths SCR, LICENSE and
; OUTFILE.
Unicode true
; The version block of the program has no copyright line to repeat.
!pragma warning disable 9100
; Quelvo.scr is a 64-bit program, so is its installer: a 32-bit Windows, where the saver
; could not run, refuses to start it.
Target amd64-unicode
SetCompressor /SOLID lzma
; The installed file gets the time of its install, not of its build: the installer stays
; the same from one build of a commit to the next.
SetDateSave off

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quelvo"
!define DESKTOP_KEY "Control Panel\Desktop"
; What the user had before, kept in that user's own registry: each user who installs
; gets their own saver back.
!define STATE_KEY "Software\Quelvo"
!define SPI_GETSCREENSAVEACTIVE 16
!define SPI_SETSCREENSAVEACTIVE 17
; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE: stored, and every program told at once.
!define SPIF_STORE_AND_BROADCAST 3
!define ERROR_SHARING_VIOLATION 32

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quelvo"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

; Whose saver this run changes: "self" (the signed-in user, elevated), "other" (an
; administrator signed in over the shoulder of another user), "system" (a deployment).
Var SaverOwner
Var FinishText

!define MUI_FINISHPAGE_TEXT "$FinishText"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!macro RequireAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "Installing or removing ${PRODUCT} needs administrator rights." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

; The 64-bit registry and System32 also if this script is ever built as a 32-bit installer,
; which Windows would otherwise send to Wow6432Node and SysWOW64. The redirection is per
; thread: switched off in the section, where the files are written.
!macro Use64BitSystem
  SetRegView 64
  ${DisableX64FSRedirection}
!macroend

; A message, then the run ends with this code and nothing more changed.
!macro Fail CODE TEXT
  DetailPrint "${TEXT}"
  MessageBox MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel ${CODE}
  Quit
!macroend

; $1 = the string SID of the account the process with handle $0 runs as, or "".
!macro DefineProcessUser PREFIX
Function ${PREFIX}ProcessUser
  StrCpy $1 ""
  System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r2) i .r3' ; TOKEN_QUERY
  ${If} $3 == 0
    Return
  ${EndIf}
  System::Alloc 1024
  Pop $4
  ; TokenUser: a TOKEN_USER, whose first field points at the SID.
  System::Call 'advapi32::GetTokenInformation(p r2, i 1, p r4, i 1024, *i .r5) i .r3'
  ${If} $3 <> 0
    System::Call '*$4(p .r6)'
    System::Call 'advapi32::ConvertSidToStringSidW(p r6, *p .r7) i .r3'
    ${If} $3 <> 0
      System::Call '*$7(&w256 .r1)'
      System::Call 'kernel32::LocalFree(p r7)'
    ${EndIf}
  ${EndIf}
  System::Free $4
  System::Call 'kernel32::CloseHandle(p r2)'
FunctionEnd

; Sets SaverOwner. The signed-in user is the one the desktop shell runs as.
Function ${PREFIX}FindSaverOwner
  System::Call 'kernel32::GetCurrentProcess() p .r0'
  Call ${PREFIX}ProcessUser
  StrCpy $8 $1
  StrCpy $SaverOwner "self"
  ${If} $8 == "S-1-5-18" ; LocalSystem
    StrCpy $SaverOwner "system"
    Return
  ${EndIf}
  System::Call 'user32::GetShellWindow() p .r9'
  ${If} $9 P<> 0
    System::Call 'user32::GetWindowThreadProcessId(p r9, *i .r9)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r9) p .r0'
    ${If} $0 P<> 0
      Call ${PREFIX}ProcessUser
      System::Call 'kernel32::CloseHandle(p r0)'
      ${If} $1 != ""
      ${AndIf} $1 != $8
        StrCpy $SaverOwner "other"
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DefineProcessUser ""
!insertmacro DefineProcessUser "un."

; The user's stored screen-saver activation, 0 or 1. The system's own answer would do on
; Windows, but Wine gives the X server's instead; without a stored value, the system's.
!macro GetSaverActive VAR
  ClearErrors
  ReadRegStr ${VAR} HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
  ${If} ${Errors}
    System::Call 'user32::SystemParametersInfoW(i ${SPI_GETSCREENSAVEACTIVE}, i 0, *i .s, i 0)'
    Pop ${VAR}
  ${EndIf}
  ${If} ${VAR} != 0
    StrCpy ${VAR} 1
  ${EndIf}
!macroend

; Screen-saver activation through the system, so that it takes effect at once.
!macro SetSaverActive VALUE
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i ${VALUE}, p 0, i ${SPIF_STORE_AND_BROADCAST})'
!macroend

Function .onInit
  !insertmacro RequireAdmin
  Call FindSaverOwner
  StrCpy $FinishText "${PRODUCT} is installed and is now your screen saver."
  ${If} $SaverOwner != "self"
    StrCpy $FinishText "${PRODUCT} is installed. This setup ran as another account than the one signed in, so no screen saver was changed: choose ${PRODUCT} in the screen saver settings of the account that should use it."
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro RequireAdmin
  Call un.FindSaverOwner
FunctionEnd

Section "Quelvo"
  !insertmacro Use64BitSystem
  ; The new file goes in beside the old one first: if it cannot replace it (the saver or
  ; its preview runs, or someone holds it open), the old install stays as it was.
  SetOverwrite on
  AllowSkipFiles off
  ClearErrors
  File "/oname=$SYSDIR\Quelvo.scr.new" "${SCR}"
  ${If} ${Errors}
    !insertmacro Fail 29 "Could not write $SYSDIR\Quelvo.scr.new." ; ERROR_WRITE_FAULT
  ${EndIf}
  ${If} ${FileExists} "$SYSDIR\Quelvo.scr"
    ClearErrors
    Delete "$SYSDIR\Quelvo.scr"
    ${If} ${Errors}
    ${OrIf} ${FileExists} "$SYSDIR\Quelvo.scr"
      Delete "$SYSDIR\Quelvo.scr.new"
      !insertmacro Fail ${ERROR_SHARING_VIOLATION} "$SYSDIR\Quelvo.scr is in use and was not replaced. Close the screen saver and its settings, then run this setup again."
    ${EndIf}
  ${EndIf}
  ClearErrors
  Rename "$SYSDIR\Quelvo.scr.new" "$SYSDIR\Quelvo.scr"
  ${If} ${Errors}
    !insertmacro Fail 29 "Could not put $SYSDIR\Quelvo.scr in place."
  ${EndIf}

  ${If} $SaverOwner == "self"
    ; Keep what to give back on removal, unless Quelvo is already the saver: installing
    ; over an earlier install keeps what that one kept.
    ClearErrors
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    StrCpy $5 "set"
    ${If} ${Errors}
      StrCpy $5 "none"
    ${EndIf}
    ${If} $5 == "set"
    ${AndIf} $0 == "$SYSDIR\Quelvo.scr"
      ; An earlier version kept the saver in the uninstall key: it moves to the user.
      ClearErrors
      ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver"
      ReadRegStr $2 HKCU "${STATE_KEY}" "PreviousScreenSaver"
      ${If} $1 != ""
      ${AndIf} $2 == ""
        WriteRegStr HKCU "${STATE_KEY}" "PreviousScreenSaver" $1
      ${EndIf}
      DeleteRegValue HKLM "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ${Else}
      DeleteRegKey HKCU "${STATE_KEY}"
      ${If} $5 == "set"
        WriteRegStr HKCU "${STATE_KEY}" "PreviousScreenSaver" $0
      ${EndIf}
      !insertmacro GetSaverActive $1
      WriteRegDWORD HKCU "${STATE_KEY}" "PreviousScreenSaveActive" $1
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Quelvo.scr"
    !insertmacro SetSaverActive 1
  ${Else}
    DetailPrint "No screen saver changed: this setup does not run as the signed-in user."
  ${EndIf}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Quelvo.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$SYSDIR" "/M=Quelvo.scr /S=0K /G=0" $1 $2 $3
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $4 $2 $3
  IntOp $1 $1 + $4
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
  !insertmacro Use64BitSystem
  ClearErrors
  Delete "$SYSDIR\Quelvo.scr"
  ${If} ${Errors}
  ${OrIf} ${FileExists} "$SYSDIR\Quelvo.scr"
    !insertmacro Fail ${ERROR_SHARING_VIOLATION} "$SYSDIR\Quelvo.scr is in use and was not removed. Close the screen saver and its settings, then remove ${PRODUCT} again."
  ${EndIf}

  ; Give back the earlier saver and activation, each only while it is still the one
  ; this install set.
  ${If} $SaverOwner == "self"
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == "$SYSDIR\Quelvo.scr"
      ClearErrors
      ReadRegStr $1 HKCU "${STATE_KEY}" "PreviousScreenSaver"
      ${If} ${Errors}
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      ${Else}
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
      ${EndIf}
      ClearErrors
      ReadRegDWORD $1 HKCU "${STATE_KEY}" "PreviousScreenSaveActive"
      StrCpy $3 "kept"
      ${If} ${Errors}
        StrCpy $3 "none"
      ${EndIf}
      !insertmacro GetSaverActive $2
      ${If} $3 == "kept"
      ${AndIf} $2 == 1
        !insertmacro SetSaverActive $1
      ${EndIf}
    ${EndIf}
    DeleteRegKey HKCU "${STATE_KEY}"
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

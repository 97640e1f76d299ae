; Installer of Quelvo.scr: puts it in the 64-bit System32, makes it the current user's
; screen saver and registers an uninstaller in Programs and Features that undoes both.
; packaging/windows/CMakeLists.txt runs makensis with the strings of the program's
; version block: VERSION, FILE_VERSION, PRODUCT, COMPANY, and the paths SCR and OUTFILE.
Unicode true
; The version block of the program has no copyright line to repeat.
!pragma warning disable 9100
; Quelvo.scr is a 64-bit program, so is its installer: a 32-bit Windows, where the saver
; could not run, refuses to start it.
Target amd64-unicode
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quelvo"
!define DESKTOP_KEY "Control Panel\Desktop"
; The saver the user had before, kept in the uninstall key so it goes with it.
!define PREVIOUS_SAVER "PreviousScreenSaver"

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

Page instfiles
UninstPage instfiles

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

Function .onInit
  !insertmacro RequireAdmin
FunctionEnd

Function un.onInit
  !insertmacro RequireAdmin
FunctionEnd

Section "Quelvo"
  !insertmacro Use64BitSystem
  SetOutPath "$SYSDIR"
  File "/oname=Quelvo.scr" "${SCR}"

  ; Keep the saver to give back on removal, unless it is already Quelvo: installing over
  ; an earlier install keeps what that one kept.
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "${PREVIOUS_SAVER}"
  ${ElseIf} $0 != "$SYSDIR\Quelvo.scr"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${PREVIOUS_SAVER}" $0
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Quelvo.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"

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
  Delete "$SYSDIR\Quelvo.scr"

  ; Give back the earlier saver only while Quelvo is still the one chosen.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$SYSDIR\Quelvo.scr"
    ClearErrors
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "${PREVIOUS_SAVER}"
    ${If} ${Errors}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

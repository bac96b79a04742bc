; The Windows installer: puts Gloamery.scr where Windows lists screensavers,
; registers an uninstaller with Add or Remove Programs, and offers to make it
; the active screensaver. Built by scripts/package.sh, which defines VERSION,
; SCR (the built Gloamery.scr), ICON and OUTFILE.
;
; Silent use: `setup.exe /S` installs and makes it the active screensaver, as
; the checked box of the interactive install does; `/S /NOACTIVATE` installs
; without touching the active screensaver. The uninstaller takes /S as well.

Unicode true
; The screensaver is a 64-bit program; so is its installer, which makes
; $SYSDIR the real system32 and the registry views the native ones.
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Gloamery 3D Screensaver"
!define PUBLISHER "Vantaluxe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gloamery"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SCR_NAME "Gloamery.scr"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Gloamery"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "!${PRODUCT}" SectionProgram
  SectionIn RO
  ${DisableX64FSRedirection}
  SetOutPath "$SYSDIR"
  File "/oname=${SCR_NAME}" "${SCR}"
  ${EnableX64FSRedirection}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${DisableX64FSRedirection}
  ${GetSize} "$SYSDIR" "/M=${SCR_NAME} /S=0K /G=0" $0 $1 $2
  ${EnableX64FSRedirection}
  ${GetSize} "$INSTDIR" "/S=0K" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make it the active screensaver" SectionActivate
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ; A reinstall over an active Gloamery keeps the screensaver it replaced
  ; the first time.
  ${If} $0 != "$SYSDIR\${SCR_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousScreensaver" "$0"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
SectionEnd

; After the sections: it names one of them.
Function .onInit
  SetRegView 64
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOACTIVATE" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SectionActivate}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; Puts back the screensaver the install replaced, but only while Gloamery is
; still the active one: a choice the user made since then stays.
Function un.RestorePreviousScreensaver
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 != "$SYSDIR\${SCR_NAME}"
    Return
  ${EndIf}
  ClearErrors
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "PreviousScreensaver"
  ${If} ${Errors}
  ${OrIf} $1 == ""
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.RestorePreviousScreensaver
  ${DisableX64FSRedirection}
  Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
  ${EnableX64FSRedirection}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

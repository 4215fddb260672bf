; The Windows installer of trelok. Built by scripts/build-windows.sh:
;   makensis -DVERSION=1.1 -DSTAGE=<installed tree> -DOUTFILE=<setup.exe> trelok.nsi
; Installs into Program Files\trelok, adds a Start-menu entry and an
; uninstaller; "/S" installs without questions. The clerk's data is never
; here: it lies in the application directory (%LOCALAPPDATA%\trelok, or the
; folder given with --dir or TRELOK_DIR), which the uninstaller leaves alone.
; A 64-bit installer, as the program is: 32-bit Windows cannot start it.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

Name "trelok ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\trelok"
InstallDirRegKey HKLM "Software\trelok" "InstallDir"
RequestExecutionLevel admin
BrandingText "trelok ${VERSION}"

!define MUI_ICON "${STAGE}\share\trelok\trelok.ico"
!define MUI_UNICON "${STAGE}\share\trelok\trelok.ico"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\trelok"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
FunctionEnd

Section "trelok"
  SetOutPath "$INSTDIR"
  ; A new version replaces the program's own folders whole.
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  File /r "${STAGE}\bin"
  File /r "${STAGE}\share"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\trelok"
  CreateShortcut "$SMPROGRAMS\trelok\trelok.lnk" "$INSTDIR\bin\trelok.exe" "" \
    "$INSTDIR\share\trelok\trelok.ico" 0
  CreateShortcut "$SMPROGRAMS\trelok\Uninstall trelok.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "Software\trelok" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "trelok"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "trelok"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\share\trelok\trelok.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  ; Only what the installer put here: the program's folders and itself.
  ; The clerk's data (the application directory) is elsewhere and stays.
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\trelok\trelok.lnk"
  Delete "$SMPROGRAMS\trelok\Uninstall trelok.lnk"
  RMDir "$SMPROGRAMS\trelok"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\trelok"
SectionEnd

; SPDX-FileCopyrightText: 2026 Vitrine Dolmar
; SPDX-License-Identifier: GPL-3.0-or-later
;
; The Windows installer of Quelvado, made by build.sh:
;   makensis -DVERSION=1.2.3.4 -DSTAGE=<folder of the files> -DOUTFILE=<setup.exe> quelvado.nsi
; It copies the folder STAGE (bin\: the program, its DLLs, Qt's plugins and translations;
; share\quelvado\: cnt.rtf and the help) into the program folder, adds a Start-menu entry and an
; uninstaller. Laid out so, the program keeps the user's files in the user's data folder
; (%APPDATA%), never in the program folder, and the uninstaller leaves them.

; A 64-bit installer for a 64-bit program (it runs under wine64 alone, too).
Target amd64-unicode
!include "MUI2.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef STAGE
  !error "STAGE is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Quelvado-${VERSION}-setup.exe"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quelvado"

Name "Quelvado ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quelvado"
InstallDirRegKey HKLM "Software\Quelvado" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1046 "ProductName" "Quelvado"
VIAddVersionKey /LANG=1046 "FileDescription" "Quelvado - Prova Simulada de Legislação de Trânsito"
VIAddVersionKey /LANG=1046 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1046 "LegalCopyright" "Vitrine Dolmar, GPL-3.0-or-later"

!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\quelvado.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

Section "Quelvado"
  SetShellVarContext all ; the Start-menu entry is every user's
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Desinstalar.exe"
  CreateShortCut "$SMPROGRAMS\Quelvado.lnk" "$INSTDIR\bin\quelvado.exe"
  WriteRegStr HKLM "Software\Quelvado" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quelvado"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vitrine Dolmar"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\quelvado.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Quelvado.lnk"
  ; Only what the installer put there: the program folder holds no file of the user's.
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Quelvado"
SectionEnd

; Pelvane installer, made by tools/package:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DARCH=win64 -DSTAGE=<folder> -DICON=<pelvane.ico> \
;            -DOUTFILE=<setup.exe> Pelvane.nsi
; The program writes its database and settings beside itself, so it goes into
; a folder of the user's own, without administrator rights. The user's
; Pelvane.sqb and Pelvane.ini are never overwritten or removed.

; The 64-bit installer is a 64-bit program, so it also runs where 32-bit
; code cannot (as in the build's own check under Wine64).
!if "${ARCH}" == "win64"
    Target amd64-unicode
!else
    Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

Name "Pelvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pelvane"
InstallDirRegKey HKCU "Software\Pelvane" "InstallDir"
BrandingText "Pelvane ${VERSION} (${ARCH})"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pelvane.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelvane"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Hungarian"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "ProductName" "Pelvane"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "FileDescription" "Pelvane telepítő"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "LegalCopyright" "Pelvane"

Section "Pelvane"
    SetOutPath "$INSTDIR"
    File "${STAGE}/Pelvane.exe"
    File "${STAGE}/pelvane-cli.exe"
    File "${STAGE}/sqlite3.dll"
    File "${STAGE}/pelvane.htm"
    File "${STAGE}/OLVASSEL.txt"
    ; The task database is the user's data once it exists.
    SetOverwrite off
    File "${STAGE}/Pelvane.sqb"
    SetOverwrite on

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Pelvane.lnk" "$INSTDIR\Pelvane.exe"
    WriteRegStr HKCU "Software\Pelvane" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pelvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pelvane.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\Pelvane.exe"
    Delete "$INSTDIR\pelvane-cli.exe"
    Delete "$INSTDIR\sqlite3.dll"
    Delete "$INSTDIR\pelvane.htm"
    Delete "$INSTDIR\OLVASSEL.txt"
    Delete "$INSTDIR\Uninstall.exe"
    ; Pelvane.sqb and Pelvane.ini stay: the folder goes only when it is empty.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Pelvane.lnk"
    ; The program's own autostart entry would point at a removed program.
    DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "Pelvane"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\Pelvane"
SectionEnd

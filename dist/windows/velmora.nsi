; The Windows installer of Velmora: per machine, under Program Files, with a Start-menu entry
; 「個人被曝線量管理」 and an uninstaller that removes the installed files one by one and leaves the data
; alone. Made by scripts/build-windows:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder of the program and its DLLs> -DOUTFILE=<setup.exe>
;            -DINSTALLED=<list of the staged files: Delete and RMDir lines> velmora.nsi
Target amd64-unicode ; a 64-bit installer: no 32-bit layer needed (Wine without WoW64, 64-bit Windows)
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!include "MUI2.nsh"

Name "個人被曝線量管理 (Velmora ${VERSION})"
BrandingText "個人被曝線量管理 (Velmora ${VERSION})"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmora"
InstallDirRegKey HKLM "Software\Velmora" "InstallDir"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define MUI_ICON "velmora.ico"
!define MUI_UNICON "velmora.ico"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The uninstaller says first that the data stays, wherever its folder is.
!define MUI_UNCONFIRMPAGE_TEXT_TOP "個人被曝線量管理のプログラムを削除します。線量の記録のデータフォルダとバックアップは削除されず、そのまま残ります。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Velmora"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    File "velmora.ico"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; Started from the menu, the program asks for its data folder once, as the Linux menu entry does.
    CreateShortcut "$SMPROGRAMS\個人被曝線量管理.lnk" "$INSTDIR\velmora.exe" "--chosen-data-dir" "$INSTDIR\velmora.ico"
    WriteRegStr HKLM "Software\Velmora" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "個人被曝線量管理 (Velmora)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Velmora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.ico"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program's files only, each by its name: a data folder anywhere, also inside the program's folder,
; stays as it is, and the program's folder goes only when nothing else is left in it.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\個人被曝線量管理.lnk"
    !include "${INSTALLED}"
    Delete "$INSTDIR\velmora.ico"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Velmora"
SectionEnd

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
!include "WinMessages.nsh"

; The Japanese captions of the buttons (「インストール(I)」, 「アンインストール(U)」) are wider than the buttons NSIS lays
; out: as each page shows, each of キャンセル, the install or uninstall button and 戻る is made as wide as its caption in
; its own font needs, and the buttons left of a widened one move left as much.
!macro FIT_BUTTONS UN
Function ${UN}fitButton ; the button's control id on the stack; $R9: how far the buttons to its right grew
    Exch $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    Push $7
    GetDlgItem $1 $HWNDPARENT $0
    System::Call "user32::GetWindowTextW(p r1, w .r2, i ${NSIS_MAX_STRLEN})"
    SendMessage $1 ${WM_GETFONT} 0 0 $3
    System::Call "user32::GetDC(p r1) p.r4"
    System::Call "gdi32::SelectObject(p r4, p r3) p.r5"
    System::Call "*(i 0, i 0) p.r6"
    StrLen $7 $2
    System::Call "gdi32::GetTextExtentPoint32W(p r4, w r2, i r7, p r6)"
    System::Call "*$6(i .r7)"
    System::Free $6
    System::Call "gdi32::SelectObject(p r4, p r5)"
    System::Call "user32::ReleaseDC(p r1, p r4)"
    IntOp $7 $7 + 16 ; the caption with a margin on either side
    System::Call "*(i 0, i 0, i 0, i 0) p.r6"
    System::Call "user32::GetWindowRect(p r1, p r6)"
    System::Call "user32::MapWindowPoints(p 0, p $HWNDPARENT, p r6, i 2)"
    System::Call "*$6(i .r2, i .r3, i .r4, i .r5)"
    System::Free $6
    IntOp $4 $4 - $R9 ; its right edge, moved as far as the buttons right of it grew
    IntOp $6 $4 - $2
    IntOp $6 $6 + $R9 ; its width
    IntCmp $7 $6 0 0 +2
    StrCpy $7 $6 ; never narrower than it was
    IntOp $2 $4 - $7
    IntOp $5 $5 - $3
    System::Call "user32::SetWindowPos(p r1, p 0, i r2, i r3, i r7, i r5, i 0x14)" ; SWP_NOZORDER | SWP_NOACTIVATE
    IntOp $6 $7 - $6
    IntOp $R9 $R9 + $6
    Pop $7
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

Function ${UN}fitButtons
    Push $R9
    StrCpy $R9 0
    Push 2 ; キャンセル, rightmost
    Call ${UN}fitButton
    Push 1 ; 次へ, インストール or アンインストール
    Call ${UN}fitButton
    Push 3 ; 戻る
    Call ${UN}fitButton
    Pop $R9
FunctionEnd
!macroend
!insertmacro FIT_BUTTONS ""
!insertmacro FIT_BUTTONS "un."

Name "個人被曝線量管理 (Velmora ${VERSION})"
BrandingText "個人被曝線量管理 (Velmora ${VERSION})"
OutFile "${OUTFILE}"
; In full-width katakana as everywhere else (NSIS's Japanese pages give 「ｱﾝｲﾝｽﾄｰﾙ」).
UninstallButtonText "アンインストール(&U)"
InstallDir "$PROGRAMFILES64\Velmora"
InstallDirRegKey HKLM "Software\Velmora" "InstallDir"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define MUI_ICON "velmora.ico"
!define MUI_UNICON "velmora.ico"

!define MUI_PAGE_CUSTOMFUNCTION_SHOW fitButtons
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_CUSTOMFUNCTION_SHOW fitButtons
!insertmacro MUI_PAGE_INSTFILES
; The uninstaller says first that the data stays, wherever its folder is.
!define MUI_UNCONFIRMPAGE_TEXT_TOP "個人被曝線量管理のプログラムを削除します。線量の記録のデータフォルダとバックアップは削除されず、そのまま残ります。"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.fitButtons
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.fitButtons
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

; The Vorlisk installer: Vorlisk.exe and the table of known games into Program Files, a
; Start-menu entry and an uninstaller. The user's files live in %APPDATA%\Vorlisk\ and are
; left alone by the uninstaller. A running Vorlisk is asked to be closed first; the last page
; offers to run Vorlisk.
; makensis -DVERSION=1.0 -DPROGRAM=Vorlisk.exe -DGAMES=games.txt -DREADME=README.txt
;          -DICON=vorlisk.ico -DOUTFILE=Vorlisk-1.0-setup.exe vorlisk.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

Name "Vorlisk"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vorlisk"
InstallDirRegKey HKLM "Software\Vorlisk" "InstallDir"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Vorlisk"
VIAddVersionKey "FileDescription" "Vorlisk installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Vorlisk"
VIAddVersionKey "LegalCopyright" "Vorlisk"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorlisk"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vorlisk.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run Vorlisk"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running Vorlisk.exe cannot be written over: the user closes it first, or the installation
; ends without having changed anything (a silent one at once, with exit code 2).
Function CloseRunningCopy
    IfFileExists "$INSTDIR\Vorlisk.exe" 0 free
retry:
    ClearErrors
    FileOpen $0 "$INSTDIR\Vorlisk.exe" a
    IfErrors 0 opened
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Vorlisk is running. Close it, then press Retry to go on installing." \
        /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
opened:
    FileClose $0
free:
FunctionEnd

Section "Vorlisk"
    SetShellVarContext all
    Call CloseRunningCopy
    SetOutPath "$INSTDIR"
    File "/oname=Vorlisk.exe" "${PROGRAM}"
    File "/oname=games.txt" "${GAMES}"
    File "/oname=README.txt" "${README}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Vorlisk.lnk" "$INSTDIR\Vorlisk.exe"
    WriteRegStr HKLM "Software\Vorlisk" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vorlisk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vorlisk"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vorlisk.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes; %APPDATA%\Vorlisk\ (the catalogue) stays.
Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Vorlisk.lnk"
    Delete "$INSTDIR\Vorlisk.exe"
    Delete "$INSTDIR\games.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Vorlisk"
SectionEnd

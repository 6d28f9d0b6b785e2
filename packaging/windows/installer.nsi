; The Velmoria installer: puts Velmoria.scr and Velmoria.dll side by side in the system folder,
; where the Screen Saver list finds a saver, offers to make Velmoria the current saver, and
; registers an uninstaller that removes everything again. Built by the Windows build with
;   makensis -DSCR=... -DDLL=... -DICON=... -DVERSION=... -DOUTFILE=... installer.nsi
; A 64-bit installer, like the programs it installs (and so it runs where Wine has no 32-bit
; side).
Target amd64-unicode
!include "LogicLib.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "Velmoria"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
; The system folder needs an administrator.
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES64\Velmoria"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Velmoria"
VIAddVersionKey "FileDescription" "Velmoria screen saver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Velmoria"
VIAddVersionKey "LegalCopyright" "The Velmoria developers"

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "Velmoria needs 64-bit Windows."
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Velmoria screen saver" SecProgram
    SectionIn RO
    SetOutPath "$SYSDIR"
    File "/oname=Velmoria.scr" "${SCR}"
    File "/oname=Velmoria.dll" "${DLL}"
    ; The settings file lives beside the saver. Made here, writable by every user, so that a
    ; standard user's "設定" is kept in the system folder too.
    ${IfNot} ${FileExists} "$SYSDIR\Velmoria.ini"
        FileOpen $0 "$SYSDIR\Velmoria.ini" w
        FileClose $0
    ${EndIf}
    nsExec::Exec '"$SYSDIR\icacls.exe" "$SYSDIR\Velmoria.ini" /grant *S-1-5-32-545:(M)'
    Pop $0

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmoria screen saver"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Velmoria"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\Velmoria.scr"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make Velmoria the current screen saver" SecCurrent
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Velmoria.scr"
SectionEnd

Section "Uninstall"
    Delete "$SYSDIR\Velmoria.scr"
    Delete "$SYSDIR\Velmoria.dll"
    Delete "$SYSDIR\Velmoria.ini"
    ; The sprite the saver writes, and its folder once empty.
    Delete "C:\q_sarn\Skorvane.bmp"
    RMDir "C:\q_sarn"
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == "$SYSDIR\Velmoria.scr"
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd

; The Velmoria installer: puts Velmoria.scr and Velmoria.dll side by side in the system folder,
; where the Screen Saver list finds a saver, offers to make Velmoria the current saver, and
; registers an uninstaller that removes everything again. Built by the Windows build with
;   makensis -DSCR=... -DDLL=... -DCLOSER=... -DICON=... -DVERSION=... -DOUTFILE=... installer.nsi
; A 64-bit installer, like the programs it installs (and so it runs where Wine has no 32-bit
; side).
;
; Running copies: both installing and uninstalling first ask our programs' windows to close and
; wait for them, since Windows cannot replace or delete a running program. CLOSER (close-running,
; built beside the programs) does this: it closes only windows whose process runs Velmoria.scr or
; Velmoria.dll from the system folder, and never waits on another program. A file that still
; cannot be replaced fails the install; one that cannot be deleted is removed at the next restart,
; and the uninstall entry stays until the uninstaller has run once more after it.
Target amd64-unicode
!include "LogicLib.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria"
!define DESKTOP_KEY "Control Panel\Desktop"
; Seconds to wait for our programs to close; tenths of a second for a file to be free.
!define CLOSE_SECONDS 20
!define FILE_TENTHS 100

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

; Ends the install or uninstall with a message (none in silent mode) and exit code 2.
!macro FAIL MESSAGE
    MessageBox MB_ICONSTOP|MB_OK "${MESSAGE}" /SD IDOK
    SetErrorLevel 2
    Abort
!macroend

; Both the installer and the uninstaller need this; the uninstaller's names start with "un.".
!macro OUR_PROGRAMS_FUNCTIONS UN
; Asks every window of ours to close and waits until none is left (at most CLOSE_SECONDS): a
; session's hidden window, the renderer, the settings dialog (closed as by its close box, which
; writes nothing) and previews, which sit inside the display settings' window. A hung one of ours
; is left to the file steps that follow.
Function ${UN}CloseOurPrograms
    InitPluginsDir
    File "/oname=$PLUGINSDIR\close-running.exe" "${CLOSER}"
    ExecWait '"$PLUGINSDIR\close-running.exe" "$SYSDIR" ${CLOSE_SECONDS}'
FunctionEnd
!macroend
!insertmacro OUR_PROGRAMS_FUNCTIONS ""
!insertmacro OUR_PROGRAMS_FUNCTIONS "un."

; Puts one program into the system folder. A program that has just closed may hold its file a
; moment longer, so a busy file is tried again for FILE_TENTHS; then the install fails.
!macro INSTALL_PROGRAM SOURCE NAME
    StrCpy $R9 0
    ${Do}
        ClearErrors
        File "/oname=${NAME}" "${SOURCE}"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        IntOp $R9 $R9 + 1
        ${If} $R9 >= ${FILE_TENTHS}
            !insertmacro FAIL "Velmoria could not write $SYSDIR\${NAME}. Nothing else was changed; end any program using it and run the setup again."
        ${EndIf}
        Sleep 100
    ${Loop}
!macroend

; Deletes one file, trying again for FILE_TENTHS while it is busy; then it is removed at the
; next restart (the reboot flag is set).
!macro REMOVE_PROGRAM FILE
    StrCpy $R9 0
    ${Do}
        ClearErrors
        Delete "${FILE}"
        ${IfNot} ${Errors}
            ${Break}
        ${EndIf}
        IntOp $R9 $R9 + 1
        ${If} $R9 >= ${FILE_TENTHS}
            Delete /REBOOTOK "${FILE}"
            ${Break}
        ${EndIf}
        Sleep 100
    ${Loop}
!macroend

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "Velmoria needs 64-bit Windows." /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

; $0 = 1 when the desktop's shell runs under this installer's own account (or there is no shell
; to ask), so that HKCU is the profile of the user who will see the saver; 0 when an
; administrator's password elevated it into another account, or when that cannot be told.
Function ShellIsOurUser
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    Push $7
    StrCpy $0 0
    System::Call 'user32::GetShellWindow() p.r1'
    ${If} $1 P= 0
        StrCpy $0 1
    ${Else}
        System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
        ; PROCESS_QUERY_LIMITED_INFORMATION, TOKEN_QUERY, TokenUser
        System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r2) p.r3'
        System::Call 'advapi32::OpenProcessToken(p r3, i 8, *p .r4) i.r2'
        System::Call 'kernel32::GetCurrentProcess() p.r1'
        System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r5) i.r1'
        ${If} $2 <> 0
        ${AndIf} $1 <> 0
            ; The buffers keep their own registers: the SIDs' addresses, read into $1 and $2,
            ; point inside them and are not blocks to free.
            System::Alloc 256
            Pop $6
            System::Alloc 256
            Pop $7
            System::Call 'advapi32::GetTokenInformation(p r4, i 1, p r6, i 256, *i 0) i.r0'
            ${If} $0 <> 0
                System::Call 'advapi32::GetTokenInformation(p r5, i 1, p r7, i 256, *i 0) i.r0'
            ${EndIf}
            ${If} $0 <> 0
                ; TOKEN_USER begins with the SID's address.
                System::Call '*$6(p .r1)'
                System::Call '*$7(p .r2)'
                System::Call 'advapi32::EqualSid(p r1, p r2) i.r0'
            ${EndIf}
            System::Free $6
            System::Free $7
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r4)'
        System::Call 'kernel32::CloseHandle(p r5)'
        System::Call 'kernel32::CloseHandle(p r3)'
        ${If} $0 <> 0
            StrCpy $0 1
        ${EndIf}
    ${EndIf}
    Pop $7
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

Section "Velmoria screen saver" SecProgram
    SectionIn RO
    Call CloseOurPrograms
    ClearErrors
    SetOutPath "$SYSDIR"
    ${If} ${Errors}
        !insertmacro FAIL "Velmoria could not open the system folder $SYSDIR."
    ${EndIf}
    ; A busy or unwritable file is reported, not skipped or asked about.
    SetOverwrite try
    !insertmacro INSTALL_PROGRAM "${SCR}" "Velmoria.scr"
    !insertmacro INSTALL_PROGRAM "${DLL}" "Velmoria.dll"
    SetOverwrite on
    ; A settings file an earlier version left here was writable by every user, and is now read
    ; for every user's starting values: it is kept for its values as a fresh copy, which takes
    ; the system folder's own permissions.
    ${If} ${FileExists} "$SYSDIR\Velmoria.ini"
        ClearErrors
        Rename "$SYSDIR\Velmoria.ini" "$SYSDIR\Velmoria.ini.old"
        CopyFiles /SILENT "$SYSDIR\Velmoria.ini.old" "$SYSDIR\Velmoria.ini"
        Delete "$SYSDIR\Velmoria.ini.old"
        ${If} ${Errors}
            !insertmacro FAIL "Velmoria could not replace $SYSDIR\Velmoria.ini, which every user may change. Delete it and run the setup again."
        ${EndIf}
    ${EndIf}

    ClearErrors
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
    ${If} ${Errors}
        !insertmacro FAIL "Velmoria's programs are in $SYSDIR, but its uninstaller could not be registered in $INSTDIR and the registry."
    ${EndIf}
SectionEnd

; HKCU is the installer's own account. When an administrator's password elevated it into another
; account, writing there would choose that administrator's saver: the choice is then left to the
; user's Screen Saver settings, where Velmoria is listed.
Section "Make Velmoria the current screen saver" SecCurrent
    Call ShellIsOurUser
    ${If} $0 = 1
        ClearErrors
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\Velmoria.scr"
        ${If} ${Errors}
            !insertmacro FAIL "Velmoria is installed, but could not be made the current screen saver."
        ${EndIf}
    ${Else}
        MessageBox MB_ICONINFORMATION|MB_OK "Velmoria is installed. This setup runs under another account than the desktop's, so it cannot choose the desktop user's screen saver: choose Velmoria in Screen Saver settings." /SD IDOK
    ${EndIf}
SectionEnd

Section "Uninstall"
    Call un.CloseOurPrograms
    !insertmacro REMOVE_PROGRAM "$SYSDIR\Velmoria.scr"
    !insertmacro REMOVE_PROGRAM "$SYSDIR\Velmoria.dll"
    ; Starting values an administrator (or an earlier version) left beside the programs. Each
    ; user's own file in their profile stays theirs.
    !insertmacro REMOVE_PROGRAM "$SYSDIR\Velmoria.ini"
    ; The sprite the saver writes, and its folder once empty.
    Delete "C:\q_sarn\Skorvane.bmp"
    RMDir "C:\q_sarn"
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 == "$SYSDIR\Velmoria.scr"
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
    ${If} ${RebootFlag}
        ; The entry and the uninstaller stay, so that the saver, still listed until the restart,
        ; can be uninstalled again afterwards.
        MessageBox MB_ICONEXCLAMATION|MB_OK "Velmoria is still running and will be removed when Windows restarts." /SD IDOK
        SetErrorLevel 3010
    ${Else}
        DeleteRegKey HKLM "${UNINSTALL_KEY}"
        Delete "$INSTDIR\uninstall.exe"
        RMDir "$INSTDIR"
    ${EndIf}
SectionEnd

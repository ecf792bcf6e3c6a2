; The Windows installer of Velmora, built on Debian with makensis (package nsis) by the cmake target
; `installer`:  cmake --build --preset windows --target installer
; It installs velmora.exe into Program Files with a Start-menu entry and an uninstaller, and registers it
; under "Apps & features". Silent with /S. The uninstaller removes only what the installer put there: the
; hosts directory, its variants and any desktop shortcut the program made are left alone.
;
; Defined by the build: VELMORA_EXE (the built program), OUTFILE (the installer to write), VERSION.

Unicode true
Target amd64-unicode          ; without it the 32-bit stub "installs" nothing on a 64-bit-only system
!include "x64.nsh"

Name "Velmora"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmora"
InstallDirRegKey HKLM "Software\Velmora" "InstallDir"
RequestExecutionLevel admin   ; Program Files, and the program itself needs it for the hosts file
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Velmora"
VIAddVersionKey "FileDescription" "Velmora installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Velmora"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Velmora"
    SetOutPath "$INSTDIR"
    File "/oname=velmora.exe" "${VELMORA_EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\Velmora"
    CreateShortcut "$SMPROGRAMS\Velmora\Velmora.lnk" "$INSTDIR\velmora.exe" "" "$INSTDIR\velmora.exe" 0
    CreateShortcut "$SMPROGRAMS\Velmora\Uninstall Velmora.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "Software\Velmora" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Velmora"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; Only the installer's own files: never the hosts directory (C:\Windows\System32\drivers\etc) or the
    ; variants and desktop shortcuts the user made with the program.
    Delete "$INSTDIR\velmora.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    SetShellVarContext all
    Delete "$SMPROGRAMS\Velmora\Velmora.lnk"
    Delete "$SMPROGRAMS\Velmora\Uninstall Velmora.lnk"
    RMDir "$SMPROGRAMS\Velmora"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Velmora"
SectionEnd

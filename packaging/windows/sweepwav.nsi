; The Windows installer: both programs under Program Files, a Start-menu
; entry for the window, and an uninstaller registered in Add/Remove
; Programs. /S installs (and uninstalls) without asking. Made by
; tools/package-windows.sh:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> sweepwav.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\sweepwav"

Name "sweepwav ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\sweepwav"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
Icon "${STAGE}\..\sweepwav.ico"
UninstallIcon "${STAGE}\..\sweepwav.ico"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "sweepwav"
VIAddVersionKey "FileDescription" "sweepwav ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "sweepwav"
  SetOutPath "$INSTDIR"
  File "${STAGE}\sweepwav.exe"
  File "${STAGE}\sweepwav-cli.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\sweepwav.lnk" "$INSTDIR\sweepwav.exe" "" "$INSTDIR\sweepwav.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "sweepwav"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "sweepwav"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\sweepwav.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\sweepwav.exe"
  Delete "$INSTDIR\sweepwav-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\sweepwav.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

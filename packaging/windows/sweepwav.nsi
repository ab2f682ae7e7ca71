; The Windows installer: both programs and the presets under Program Files,
; a Start-menu entry for the window, the settings files' type (.sweep) that
; opens in the window, the command line on the user's PATH (a choice, on
; unless turned off), and an uninstaller registered in Add/Remove Programs
; that takes all of it away again, with the window's recent-files list.
; /S installs (and uninstalls) without asking. Made by
; tools/package-windows.sh:
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> sweepwav.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "WordFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\sweepwav"
; The settings files' type, for every user of the machine, as the programs are.
!define CLASSES "Software\Classes"
!define PROG_ID "sweepwav.settings"
; The user's own environment, where the PATH entry goes.
!define ENVIRONMENT "Environment"
; Where the window keeps its recent settings files.
!define SETTINGS_KEY "Software\sweepwav"

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

ComponentText "sweepwav.exe, sweepwav-cli.exe and the presets are installed; sweepwav-cli can also be put on your PATH, so that Command Prompt and PowerShell find it by name."
UninstallText "This removes sweepwav from $INSTDIR: both programs, the presets, the Start-menu entry and the .sweep file type, sweepwav-cli from your PATH, and the window's list of recent settings files (HKEY_CURRENT_USER\Software\sweepwav)."

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var path      ; the user's PATH as stored
Var pathRead  ; whether it could be read whole (or is not there)

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Reads the user's PATH into $path. A value longer than NSIS's strings
; cannot be read whole: $pathRead is then 0, and it is left alone.
!macro ReadUserPath un
Function ${un}ReadUserPath
  StrCpy $pathRead 1
  ClearErrors
  ReadRegStr $path HKCU "${ENVIRONMENT}" "Path"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  StrCpy $path ""
  ; An error for a value that is there means it is too long (or not text).
  StrCpy $0 0
  ${Do}
    EnumRegValue $1 HKCU "${ENVIRONMENT}" $0
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    ${If} $1 == "Path"
      StrCpy $pathRead 0
      ${Break}
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro ReadUserPath ""
!insertmacro ReadUserPath "un."

; Writes $path back as the user's PATH (none when empty) and tells the
; programs that are running.
!macro WriteUserPath un
Function ${un}WriteUserPath
  ${If} $path == ""
    DeleteRegValue HKCU "${ENVIRONMENT}" "Path"
  ${Else}
    WriteRegExpandStr HKCU "${ENVIRONMENT}" "Path" $path
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd
!macroend
!insertmacro WriteUserPath ""
!insertmacro WriteUserPath "un."

Section "sweepwav" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\sweepwav.exe"
  File "${STAGE}\sweepwav-cli.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  SetOutPath "$INSTDIR\presets"
  File "${STAGE}\presets\*.sweep"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\sweepwav.lnk" "$INSTDIR\sweepwav.exe" "" "$INSTDIR\sweepwav.exe" 0

  ; A .sweep file opens in the window, and shows the window's icon.
  WriteRegStr HKLM "${CLASSES}\.sweep" "" "${PROG_ID}"
  WriteRegStr HKLM "${CLASSES}\.sweep" "Content Type" "application/x-sweepwav-settings"
  WriteRegStr HKLM "${CLASSES}\.sweep" "PerceivedType" "text"
  WriteRegStr HKLM "${CLASSES}\.sweep\OpenWithProgids" "${PROG_ID}" ""
  WriteRegStr HKLM "${CLASSES}\${PROG_ID}" "" "sweepwav settings"
  WriteRegStr HKLM "${CLASSES}\${PROG_ID}\DefaultIcon" "" "$INSTDIR\sweepwav.exe,0"
  WriteRegStr HKLM "${CLASSES}\${PROG_ID}\shell\open\command" "" '"$INSTDIR\sweepwav.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

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

; The command line on the user's PATH, added once; the uninstaller takes
; away only an entry that this added.
Section "Add sweepwav-cli to my PATH" SecPath
  Call ReadUserPath
  ${If} $pathRead == 0
    DetailPrint "Your PATH is too long to change here; add $INSTDIR to it yourself."
    MessageBox MB_OK|MB_ICONINFORMATION "Your PATH is too long to change here; add $INSTDIR to it yourself." /SD IDOK
    Return
  ${EndIf}
  ${WordAdd} $path ";" "-$INSTDIR" $0
  ${If} $0 != $path
    Return  ; there already
  ${EndIf}
  StrLen $0 $path
  StrLen $1 $INSTDIR
  IntOp $0 $0 + $1
  ${If} $0 >= ${NSIS_MAX_STRLEN}
    DetailPrint "Your PATH is too long to change here; add $INSTDIR to it yourself."
    MessageBox MB_OK|MB_ICONINFORMATION "Your PATH is too long to change here; add $INSTDIR to it yourself." /SD IDOK
    Return
  ${EndIf}
  ${WordAdd} $path ";" "+$INSTDIR" $path
  Call WriteUserPath
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddedToPath" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\sweepwav.exe"
  Delete "$INSTDIR\sweepwav-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\presets\*.sweep"
  RMDir "$INSTDIR\presets"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\sweepwav.lnk"

  ; The file type, and .sweep only while it still names it.
  DeleteRegKey HKLM "${CLASSES}\${PROG_ID}"
  DeleteRegValue HKLM "${CLASSES}\.sweep\OpenWithProgids" "${PROG_ID}"
  DeleteRegKey /ifempty HKLM "${CLASSES}\.sweep\OpenWithProgids"
  ReadRegStr $0 HKLM "${CLASSES}\.sweep" ""
  ${If} $0 == "${PROG_ID}"
    DeleteRegValue HKLM "${CLASSES}\.sweep" ""
    DeleteRegValue HKLM "${CLASSES}\.sweep" "Content Type"
    DeleteRegValue HKLM "${CLASSES}\.sweep" "PerceivedType"
  ${EndIf}
  DeleteRegKey /ifempty HKLM "${CLASSES}\.sweep"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $0 == 1
    Call un.ReadUserPath
    ${If} $pathRead == 1
      ${WordAdd} $path ";" "-$INSTDIR" $0
      ${If} $0 != $path
        StrCpy $path $0
        Call un.WriteUserPath
      ${EndIf}
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

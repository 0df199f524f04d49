; The Windows installer of Vorn Delay 2, made by scripts/windows-installer.sh
; with makensis. It installs the 64-bit plug-in into one VST folder, the
; 32-bit plug-in (for 32-bit hosts) into another, both folders chosen on
; their own page, and vornhost.exe with the licence notices into the
; installation folder, and registers an uninstaller.
;
; With the CLAP builds staged (VORN_CLAP), the 64-bit VornDelay2.clap goes
; into a CLAP folder (default: Common Files\CLAP) and the 32-bit one into
; another (default: the 32-bit Common Files\CLAP), each on its own page too.
;
; The files come from a staging folder (STAGE): vst64\, vst32\, app\ and,
; with CLAP, clap64\ and clap32\.
; scripts/windows-installer.sh fills it and writes files.nsh, the lines that
; install each staged file and record it, so whatever is staged (presets,
; too) is installed and uninstalled without this script changing.
;
; What was installed is recorded in install.ini in the installation folder,
; beside the uninstaller: one section per part ([vst64], [vst32], [app]) with
; its folder (Dir) and the files and subfolders installed there, relative to
; it. The uninstaller removes exactly those files, and only from a folder
; the record names; a part whose folder is missing from the record is
; skipped with a message. Nothing else is ever deleted, and a folder goes
; only when it is empty. An installation over an earlier one removes the
; earlier record's files first, so moving to other folders leaves nothing
; behind.
;
; Both plug-ins are named VornDelay2.dll (and VornDelay2.clap), the names
; hosts and users know; the two VST folders (and the two CLAP folders) must
; therefore differ, and the installer refuses the same folder for both (on
; the page, and with exit status 2 when silent).
;
; Silent use: installer.exe /S [/VST64=<folder>] [/VST32=<folder>] [/D=C:\folder]
;   [/CLAP64=<folder>] [/CLAP32=<folder>]  (/D last, as NSIS wants it);
;   uninstall.exe /S
; Messages of a silent run go to its standard error.
Unicode true
; A 64-bit installer (wine64 runs it too); the plug-in it installs first is
; the 64-bit one, so no 32-bit Windows is served.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!ifndef STAGE
  !error "makensis -DSTAGE=<staging folder> -DVERSION=<version> -DOUTFILE=<installer.exe>"
!endif

!define PRODUCT "Vorn Delay 2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VornDelay2"
!define SETTINGS_KEY "Software\Fenmoor\Vorn Delay 2"
!define RECORD "install.ini"
; The status of a silent install refused for its arguments.
!define REFUSED_STATUS 2

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vorn Delay 2"
; A reinstall without /D goes where the last one went.
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallDir"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

; Lines made from the staging folder: InstallStagedFiles, STAGED_SIZE_KB,
; VORN_CLAP where the CLAP builds are staged.
!include "${STAGE}\files.nsh"

Var Vst64Dir
Var Vst32Dir
!ifdef VORN_CLAP
  Var Clap64Dir
  Var Clap32Dir
!endif
; The installation folder of an earlier installation, if any.
Var EarlierDir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "VST folder for 64-bit hosts"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit host looks for VST 2.4 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "The 64-bit VornDelay2.dll goes into this folder. Choose the folder your 64-bit host scans for VST plug-ins."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst64Dir
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "VST folder for 32-bit hosts"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 32-bit host looks for VST 2.4 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "The 32-bit VornDelay2.dll goes into this folder, which must not be the 64-bit one. Choose the folder your 32-bit host scans for VST plug-ins."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst32Dir
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE Vst32PageLeave
!insertmacro MUI_PAGE_DIRECTORY
!ifdef VORN_CLAP
  !define MUI_PAGE_HEADER_TEXT "CLAP folder for 64-bit hosts"
  !define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit host looks for CLAP plug-ins."
  !define MUI_DIRECTORYPAGE_TEXT_TOP "The 64-bit VornDelay2.clap goes into this folder. Common Files\CLAP is where CLAP hosts look first."
  !define MUI_DIRECTORYPAGE_VARIABLE $Clap64Dir
  !insertmacro MUI_PAGE_DIRECTORY
  !define MUI_PAGE_HEADER_TEXT "CLAP folder for 32-bit hosts"
  !define MUI_PAGE_HEADER_SUBTEXT "Where your 32-bit host looks for CLAP plug-ins."
  !define MUI_DIRECTORYPAGE_TEXT_TOP "The 32-bit VornDelay2.clap goes into this folder, which must not be the 64-bit one. The 32-bit Common Files\CLAP is where 32-bit CLAP hosts look first."
  !define MUI_DIRECTORYPAGE_VARIABLE $Clap32Dir
  !define MUI_PAGE_CUSTOMFUNCTION_LEAVE Clap32PageLeave
  !insertmacro MUI_PAGE_DIRECTORY
!endif
!define MUI_PAGE_HEADER_TEXT "Installation folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where vornhost.exe, the command-line host, and the uninstaller go."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Fenmoor"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright 2026 Fenmoor, MIT licence"

; Say: a line in the details list and, in a silent run, on standard error
; (a silent run has no window to show it in).
!macro SayFunction un
Function ${un}Say
  Exch $0
  Push $1
  Push $2
  DetailPrint "$0"
  ${If} ${Silent}
    System::Call 'kernel32::GetStdHandle(i -12) p .r1'
    ${If} $1 P<> 0
      StrLen $2 "$0$\r$\n"
      System::Call 'kernel32::WriteFile(p r1, m "$0$\r$\n", i r2, *i 0, p 0)'
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro SayFunction ""
!insertmacro SayFunction "un."
!macro Say text
  Push "${text}"
  Call Say
!macroend
!macro un.Say text
  Push "${text}"
  Call un.Say
!macroend

; Trims the trailing backslashes of the folder on the stack (C:\VST\ is C:\VST).
Function TrimFolder
  Exch $0
  Push $1
  ${Do}
    StrCpy $1 $0 1 -1
    ${If} $1 != "\"
    ${OrIf} $0 == ""
      ${Break}
    ${EndIf}
    StrCpy $0 $0 -1
  ${Loop}
  Pop $1
  Exch $0
FunctionEnd

; SameFolder: 1 on the stack when the folders $R8 and $R9 are one (compared
; without case and trailing backslashes, and by their full paths where they
; exist), else 0.
Function SameFolder
  Push $0
  Push $1
  Push $R8
  Call TrimFolder
  Pop $0
  Push $R9
  Call TrimFolder
  Pop $1
  ${If} $0 == $1
    StrCpy $0 1
  ${Else}
    GetFullPathName /SHORT $0 $0
    GetFullPathName /SHORT $1 $1
    ${If} $0 != ""
    ${AndIf} $0 == $1
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd

!define SAME_FOLDER_TEXT "The 64-bit and the 32-bit VornDelay2.dll cannot share one folder: the second would replace the first. Choose two different VST folders."
!define SAME_CLAP_FOLDER_TEXT "The 64-bit and the 32-bit VornDelay2.clap cannot share one folder: the second would replace the first. Choose two different CLAP folders."

Function Vst32PageLeave
  StrCpy $R8 $Vst64Dir
  StrCpy $R9 $Vst32Dir
  Call SameFolder
  Pop $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "${SAME_FOLDER_TEXT}"
    Abort
  ${EndIf}
FunctionEnd

!ifdef VORN_CLAP
Function Clap32PageLeave
  StrCpy $R8 $Clap64Dir
  StrCpy $R9 $Clap32Dir
  Call SameFolder
  Pop $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "${SAME_CLAP_FOLDER_TEXT}"
    Abort
  ${EndIf}
FunctionEnd
!endif

; RefuseSharedFolders: 1 on the stack, after saying why, when either pair
; of folders is one; else 0.
Function RefuseSharedFolders
  StrCpy $R8 $Vst64Dir
  StrCpy $R9 $Vst32Dir
  Call SameFolder
  Pop $0
  ${If} $0 == 1
    !insertmacro Say "${SAME_FOLDER_TEXT} (/VST64=$Vst64Dir /VST32=$Vst32Dir)"
    Push 1
    Return
  ${EndIf}
  !ifdef VORN_CLAP
    StrCpy $R8 $Clap64Dir
    StrCpy $R9 $Clap32Dir
    Call SameFolder
    Pop $0
    ${If} $0 == 1
      !insertmacro Say "${SAME_CLAP_FOLDER_TEXT} (/CLAP64=$Clap64Dir /CLAP32=$Clap32Dir)"
      Push 1
      Return
    ${EndIf}
  !endif
  Push 0
FunctionEnd

Function .onInit
  SetRegView 64
  StrCpy $Vst64Dir "$PROGRAMFILES64\VstPlugins"
  ; A 64-bit installer's $PROGRAMFILES32 may name the 64-bit folder; the
  ; environment names the 32-bit programs' folder on every 64-bit Windows.
  ReadEnvStr $0 "ProgramFiles(x86)"
  ${If} $0 == ""
    StrCpy $0 "$PROGRAMFILES32"
  ${EndIf}
  StrCpy $Vst32Dir "$0\VstPlugins"
  !ifdef VORN_CLAP
    StrCpy $Clap64Dir "$COMMONFILES64\CLAP"
    ReadEnvStr $0 "CommonProgramFiles(x86)"
    ${If} $0 == ""
      StrCpy $0 "$COMMONFILES32"
    ${EndIf}
    StrCpy $Clap32Dir "$0\CLAP"
  !endif
  ; The folders of an earlier installation, then those of the command line.
  ReadRegStr $EarlierDir HKLM "${SETTINGS_KEY}" "InstallDir"
  ${If} $EarlierDir == ""
    ReadRegStr $EarlierDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Vst64Dir"
  ${If} $0 != ""
    StrCpy $Vst64Dir $0
  ${EndIf}
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Vst32Dir"
  ${If} $0 != ""
    StrCpy $Vst32Dir $0
  ${EndIf}
  !ifdef VORN_CLAP
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Clap64Dir"
    ${If} $0 != ""
      StrCpy $Clap64Dir $0
    ${EndIf}
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Clap32Dir"
    ${If} $0 != ""
      StrCpy $Clap32Dir $0
    ${EndIf}
  !endif
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/VST64=" $0
  ${IfNot} ${Errors}
    StrCpy $Vst64Dir $0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/VST32=" $0
  ${IfNot} ${Errors}
    StrCpy $Vst32Dir $0
  ${EndIf}
  !ifdef VORN_CLAP
    ClearErrors
    ${GetOptions} $R0 "/CLAP64=" $0
    ${IfNot} ${Errors}
      StrCpy $Clap64Dir $0
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/CLAP32=" $0
    ${IfNot} ${Errors}
      StrCpy $Clap32Dir $0
    ${EndIf}
  !endif
  ${If} ${Silent}
    Call RefuseSharedFolders
    Pop $0
    ${If} $0 == 1
      SetErrorLevel ${REFUSED_STATUS}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; RemoveRecordedPart: removes the files and then the empty subfolders that
; the record $R0 lists for the part $R1 (described as $R2), from the folder
; the record names for it; skips the part, saying so, where it names none.
!macro RemoveRecordedFunction un
Function ${un}RemoveRecordedPart
  Push $3
  Push $4
  Push $5
  Push $6
  ReadINIStr $3 $R0 $R1 "Dir"
  ; Only an absolute folder (C:\... or \\server\...) is one we installed into.
  StrCpy $4 $3 2 1
  StrCpy $5 $3 2
  ${If} $4 != ":\"
  ${AndIf} $5 != "\\"
    !insertmacro ${un}Say "Skipped the $R2: the record names no folder for it, so nothing there was removed."
    Goto done
  ${EndIf}
  ReadINIStr $4 $R0 $R1 "Files"
  StrCpy $5 1
  ${DoWhile} $5 <= $4
    ReadINIStr $6 $R0 $R1 "File$5"
    ${If} $6 != ""
      Delete "$3\$6"
    ${EndIf}
    IntOp $5 $5 + 1
  ${Loop}
  ; Subfolders were recorded parents first; the deepest go first.
  ReadINIStr $5 $R0 $R1 "Folders"
  ${DoWhile} $5 > 0
    ReadINIStr $6 $R0 $R1 "Folder$5"
    ${If} $6 != ""
      RMDir "$3\$6"
    ${EndIf}
    IntOp $5 $5 - 1
  ${Loop}
  RMDir "$3"
done:
  Pop $6
  Pop $5
  Pop $4
  Pop $3
FunctionEnd

; RemoveRecorded: every part of the record $R0.
Function ${un}RemoveRecorded
  Push $R1
  Push $R2
  !insertmacro ForEachPart ${un}RemoveRecordedPart
  Pop $R2
  Pop $R1
FunctionEnd
!macroend
!insertmacro RemoveRecordedFunction ""
!insertmacro RemoveRecordedFunction "un."

; An earlier installation's files, removed before this one installs: in
; the same folders they are replaced anyway, in others they would stay.
Function RemoveEarlier
  Push $R0
  ${If} $EarlierDir != ""
  ${AndIf} ${FileExists} "$EarlierDir\${RECORD}"
    StrCpy $R0 "$EarlierDir\${RECORD}"
    Call RemoveRecorded
    Delete "$R0"
    ${If} $EarlierDir != $INSTDIR
      Delete "$EarlierDir\uninstall.exe"
      RMDir "$EarlierDir"
    ${EndIf}
  ${EndIf}
  ; A record in the chosen folder whose registry entries are gone.
  ${If} ${FileExists} "$INSTDIR\${RECORD}"
    StrCpy $R0 "$INSTDIR\${RECORD}"
    Call RemoveRecorded
    Delete "$R0"
  ${EndIf}
  Pop $R0
FunctionEnd

Section "Vorn Delay 2"
  SetRegView 64
  Call RefuseSharedFolders
  Pop $0
  ${If} $0 == 1
    SetErrorLevel ${REFUSED_STATUS}
    Abort
  ${EndIf}
  Call RemoveEarlier

  CreateDirectory "$INSTDIR"
  !insertmacro InstallStagedFiles

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${SETTINGS_KEY}" "Vst64Dir" "$Vst64Dir"
  WriteRegStr HKLM "${SETTINGS_KEY}" "Vst32Dir" "$Vst32Dir"
  !ifdef VORN_CLAP
    WriteRegStr HKLM "${SETTINGS_KEY}" "Clap64Dir" "$Clap64Dir"
    WriteRegStr HKLM "${SETTINGS_KEY}" "Clap32Dir" "$Clap32Dir"
  !endif
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Fenmoor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; Every installed file in KiB: the staged ones, wherever they went, and
  ; the uninstaller with the record.
  ${GetSize} "$INSTDIR" "/M=uninstall.exe /S=0K /G=0" $0 $1 $2
  ${GetSize} "$INSTDIR" "/M=${RECORD} /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  IntOp $0 $0 + ${STAGED_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetRegView 64
  StrCpy $R0 "$INSTDIR\${RECORD}"
  ${If} ${FileExists} $R0
    Call un.RemoveRecorded
    Delete $R0
  ${Else}
    !insertmacro un.Say "No record of the installed files in $INSTDIR (${RECORD}), so no plug-in was removed."
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The registry entries, where they are this installation's (or gone).
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "InstallDir"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Fenmoor"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd

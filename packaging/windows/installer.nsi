; The Windows installer of Vorn Delay 2, made by scripts/windows-installer.sh
; with makensis. It installs the 64-bit plug-in into one VST folder, the
; 32-bit plug-in (for 32-bit hosts) into another, both folders chosen on
; their own page, and vornhost.exe into the installation folder, and
; registers an uninstaller that removes exactly what was installed.
;
; The files come from a staging folder (STAGE): vst64\, vst32\ and app\.
; scripts/windows-installer.sh fills it and writes files.nsh, the lines that
; install and remove each staged file, so whatever is staged (presets, too)
; is installed and uninstalled without this script changing.
;
; Silent use: installer.exe /S [/D=C:\folder]  (/D last, as NSIS wants it)
;   with /VST64=<folder> and /VST32=<folder> for other VST folders;
;   uninstall.exe /S
Unicode true
; A 64-bit installer (wine64 runs it too); the plug-in it installs first is
; the 64-bit one, so no 32-bit Windows is served.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!ifndef STAGE
  !error "makensis -DSTAGE=<staging folder> -DVERSION=<version> -DOUTFILE=<installer.exe>"
!endif

!define PRODUCT "Vorn Delay 2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VornDelay2"
!define SETTINGS_KEY "Software\Fenmoor\Vorn Delay 2"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vorn Delay 2"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

Var Vst64Dir
Var Vst32Dir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_TEXT "VST folder for 64-bit hosts"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit host looks for VST 2.4 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "The 64-bit VornDelay2.dll goes into this folder. Choose the folder your 64-bit host scans for VST plug-ins."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst64Dir
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "VST folder for 32-bit hosts"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 32-bit host looks for VST 2.4 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "The 32-bit VornDelay2.dll goes into this folder. Choose the folder your 32-bit host scans for VST plug-ins."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst32Dir
!insertmacro MUI_PAGE_DIRECTORY
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
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Fenmoor"

Function .onInit
  SetRegView 64
  StrCpy $Vst64Dir "$PROGRAMFILES64\VstPlugins"
  ; A 64-bit installer's $PROGRAMFILES32 may name the 64-bit folder; the
  ; environment names the 32-bit programs' folder on every 64-bit Windows.
  ReadEnvStr $0 "ProgramFiles(x86)"
  StrCmp $0 "" 0 +2
  StrCpy $0 "$PROGRAMFILES32"
  StrCpy $Vst32Dir "$0\VstPlugins"
  ; The folders of an earlier installation, then those of the command line.
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Vst64Dir"
  StrCmp $0 "" +2
  StrCpy $Vst64Dir $0
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "Vst32Dir"
  StrCmp $0 "" +2
  StrCpy $Vst32Dir $0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/VST64=" $0
  IfErrors +2
  StrCpy $Vst64Dir $0
  ClearErrors
  ${GetOptions} $R0 "/VST32=" $0
  IfErrors +2
  StrCpy $Vst32Dir $0
FunctionEnd

Section "Vorn Delay 2"
  SetRegView 64
  ; Lines made from the staging folder: SetOutPath and File for each file.
  !include "${STAGE}\files.nsh"
  !insertmacro InstallStagedFiles

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${SETTINGS_KEY}" "Vst64Dir" "$Vst64Dir"
  WriteRegStr HKLM "${SETTINGS_KEY}" "Vst32Dir" "$Vst32Dir"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Fenmoor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetRegView 64
  ReadRegStr $Vst64Dir HKLM "${SETTINGS_KEY}" "Vst64Dir"
  ReadRegStr $Vst32Dir HKLM "${SETTINGS_KEY}" "Vst32Dir"
  ; Each installed file, then each folder that is empty now (a VST folder
  ; with other plug-ins in it stays).
  !insertmacro RemoveStagedFiles
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Fenmoor"
SectionEnd

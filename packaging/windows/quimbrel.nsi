; Quimbrel's Windows setup program, built by makensis from packaging/windows/CMakeLists.txt,
; which passes with -D:
;   VERSION      the project's version, four dotted numbers, as in the programs' version resources
;   PUBLISHER    the company name of the programs' version resource
;   PROGRAM      quimbrel.exe, the window program
;   TOOL         quimbrel-measure.exe, the command-line tool
;   ICON         the program's icon (.ico), for the setup program and its uninstaller
;   OUTFILE      the setup program to write, quimbrel-VERSION-setup.exe
;
; It installs both programs into Program Files\Quimbrel (the 64-bit one), a
; Start-menu shortcut for all users and an entry in Apps & features. The
; uninstaller takes away exactly that: the files and the registry key it wrote,
; and the folders it made, those that nothing else is left in.
; Silent: /S; another folder: /D=C:\Other Place\Q (last on the line, unquoted).

; A 64-bit setup program for 64-bit programs: it runs where they run, sees
; the 64-bit Program Files and registry as its own, and needs no 32-bit
; subsystem (Wine without its 32-bit part runs it too).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define NAME "Quimbrel"
; Apps & features lists what this key holds.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quimbrel"
!define SHORTCUT "$SMPROGRAMS\Quimbrel.lnk"
!define UNINSTALLER "uninstall.exe"

Name "${NAME}"
OutFile "${OUTFILE}"
BrandingText "${NAME} ${VERSION}"
; No InstallDir: .onInit chooses the folder, so that /D= and an earlier
; installation's folder both win over the default.

; The setup program's own version resource, as the programs carry it.
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\quimbrel.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${NAME} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright © ${PUBLISHER}"

Function .onInit
  ; Apps & features looks for 64-bit programs in the 64-bit registry view:
  ; this program's own, named all the same.
  SetRegView 64
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$PROGRAMFILES64\${NAME}"
  ${EndIf}
FunctionEnd

Var CreatedFolder

; The outermost of the folders that installing into $INSTDIR makes
; (C:\Other Place for C:\Other Place\Q when neither exists), or nothing when
; $INSTDIR is there already, so that an earlier installation's record stands.
Function FindCreatedFolder
  ${IfThen} ${FileExists} "$INSTDIR\*" ${|} Return ${|}
  StrCpy $CreatedFolder "$INSTDIR"
  ${Do}
    ${GetParent} "$CreatedFolder" $0
    ${If} $0 == ""
    ${OrIf} ${FileExists} "$0\*"
      ${ExitDo}
    ${EndIf}
    StrCpy $CreatedFolder $0
  ${Loop}
FunctionEnd

Section "Quimbrel"
  SetShellVarContext all
  Call FindCreatedFolder
  SetOutPath "$INSTDIR"
  File "/oname=quimbrel.exe" "${PROGRAM}"
  File "/oname=quimbrel-measure.exe" "${TOOL}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\quimbrel.exe" "" "$INSTDIR\quimbrel.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quimbrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} $CreatedFolder != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedFolder" "$CreatedFolder"
  ${EndIf}
  ; In KiB, as Apps & features reads it.
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\quimbrel.exe"
  Delete "$INSTDIR\quimbrel-measure.exe"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files of the user's own in the folder stay, and so does
  ; the folder; so do the folders above it that the setup program did not make.
  RMDir "$INSTDIR"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "CreatedFolder"
  StrLen $2 "$0\"
  StrCpy $1 "$INSTDIR\" $2
  ${If} $0 != ""
  ${AndIf} $1 == "$0\"
    StrCpy $1 "$INSTDIR"
    ${DoUntil} $1 == $0
      ${un.GetParent} "$1" $1
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      RMDir "$1"
    ${Loop}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

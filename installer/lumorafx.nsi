; LumoraFX-Setup.exe: installs LMX_GUI.DLL, the engine LMX.DLL, the host program, lmxlib
; and the sample library, registers the installation, and writes an uninstaller. On 64-bit
; Windows it installs the 64-bit build as well, in a folder of its own (the engine is
; LIBS\LMX.DLL under each build's "Path"), registered in the 64-bit registry view, with its
; own uninstaller and uninstall entry; the 32-bit build goes where it goes on 32-bit Windows.
;
; The build passes, with /D on makensis's command line:
;   LMX_VERSION      the version shown in the list of programs ("2.0.0")
;   LMX_OUTFILE      the installer to write
;   LMX_GUI_DLL, LMX_ENGINE_DLL, LMX_HOST_EXE, LMX_LIB_EXE   the built 32-bit binaries
;   LMX_GUI_DLL64, LMX_ENGINE_DLL64, LMX_HOST_EXE64, LMX_LIB_EXE64   the 64-bit ones
;                    (optional: without them the installer has the 32-bit build only)
;   LMX_FILE_LIST    the sample installation's file list (list_files.cmake)
;
; Use: LumoraFX-Setup.exe [/S] [/D=C:\path\without\quotes]  (/D last on the line)
; Exit codes: 0 installed; 1 cancelled by the user; 2 the installation failed (the reason
; in a message box, and in silent mode on the standard error handle when there is one).
; The uninstaller's: 0 removed; 2 nothing removed, because a program file is in use (or,
; should one stay after all, the installation stays registered for a second run).

!pragma warning error all
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"
!addincludedir "${__FILEDIR__}"
!include "report.nsh"
!include "library_files.nsh"
!include "${LMX_FILE_LIST}"

!define LMX_KEY "Software\Corvane\LumoraFX\CurrentVersion"
!define LMX_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\LumoraFX"
!define LMX_STARTMENU "$SMPROGRAMS\Lumora FX"
!define LMX_UNINSTALLER "Uninstall.exe"
!define LMX_DIR64 "$PROGRAMFILES64\Corvane\Lumora FX"
; The module builds LIBS\LMX.DLL, ORGS\<name>.ORG and EFFECTS\<name>.LMI or .BMP under
; "Path" in 128-byte buffers: "\EFFECTS\" + 8 characters + ".LMI" and the zero leave
; 128 - 22 = 106 characters for the folder itself.
!define LMX_MAX_DIR_LENGTH 106

; The preview defaults of a new installation (the same as scripts/register-install).
!define LMX_DEFAULT_ORGFILE "DEFAULT"
!define LMX_DEFAULT_PREV_FRAMES 20
!define LMX_DEFAULT_PREV_SPEED 10
!define LMX_DEFAULT_PREV_QUALITY 1
!define LMX_DEFAULT_PREV_RENDER 1

Name "Lumora FX"
OutFile "${LMX_OUTFILE}"
InstallDir "$PROGRAMFILES\Corvane\Lumora FX"
; An upgrade goes where the installation already is (unless /D says otherwise).
InstallDirRegKey HKLM "${LMX_KEY}" "Path"
BrandingText "Lumora FX ${LMX_VERSION}"

VIProductVersion "${LMX_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Lumora FX"
VIAddVersionKey /LANG=1033 "CompanyName" "Corvane"
VIAddVersionKey /LANG=1033 "FileDescription" "Lumora FX Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${LMX_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${LMX_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Corvane"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The program files, each with the file the build packs for it: the uninstaller removes
; them before anything else, and only when none is in use.
!macro LMX_PROGRAM_FILES DO
  !insertmacro ${DO} "LMX_GUI.DLL" "${LMX_GUI_DLL}"
  !insertmacro ${DO} "lmxhost.exe" "${LMX_HOST_EXE}"
  !insertmacro ${DO} "lmxlib.exe" "${LMX_LIB_EXE}"
  !insertmacro ${DO} "LIBS\LMX.DLL" "${LMX_ENGINE_DLL}"
!macroend
!ifdef LMX_GUI_DLL64
!macro LMX_PROGRAM_FILES64 DO  ; the same files of the 64-bit build
  !insertmacro ${DO} "LMX_GUI.DLL" "${LMX_GUI_DLL64}"
  !insertmacro ${DO} "lmxhost.exe" "${LMX_HOST_EXE64}"
  !insertmacro ${DO} "lmxlib.exe" "${LMX_LIB_EXE64}"
  !insertmacro ${DO} "LIBS\LMX.DLL" "${LMX_ENGINE_DLL64}"
!macroend
!endif
!macro LMX_INSTALL_PROGRAM NAME SOURCE
  File "/oname=$INSTDIR\${NAME}" "${SOURCE}"
!macroend
!macro LMX_DELETE_PROGRAM NAME SOURCE
  Delete "$INSTDIR\${NAME}"
!macroend
; Adds NAME to $R5 when it is there and cannot be opened for writing: a program has it
; loaded (Windows then refuses to delete it as well).
!macro LMX_NOTE_IF_IN_USE NAME SOURCE
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${NAME}" a
    ${If} ${Errors}
      StrCpy $R5 "$R5 ${NAME}"
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
!macroend
!macro LMX_NOTE_IF_PRESENT NAME SOURCE
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $R5 "$R5 ${NAME}"
  ${EndIf}
!macroend

; The 32-bit registry view and the all-users shell folders, for the installer and the
; uninstaller alike. A 32-bit installer on 64-bit Windows writes HKLM\Software\WOW6432Node,
; which is where the 32-bit LMX_GUI.DLL reads. Stated here so nobody "fixes" it to the
; 64-bit view.
!macro LMX_CONTEXT
  SetRegView 32
  SetShellVarContext all
!macroend

; ---------------------------------------------------------------------------------------
!insertmacro LMX_REPORT_FUNCTIONS "" "LumoraFX-Setup"
!insertmacro LMX_REPORT_FUNCTIONS "un." "Uninstall"

; True (in $0, "1") when the key holds a value of that name, whatever its type.
Function ValueExists
  Exch $R0  ; the value's name
  Push $1
  Push $2
  StrCpy $0 0
  StrCpy $1 0
  ${Do}
    ClearErrors
    EnumRegValue $2 HKLM "${LMX_KEY}" $1
    ${If} ${Errors}
    ${OrIf} $2 == ""
      ${Break}
    ${EndIf}
    ${If} $2 == $R0
      StrCpy $0 1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $2
  Pop $1
  Pop $R0
FunctionEnd

!macro LMX_DEFAULT_DWORD NAME VALUE
  Push "${NAME}"
  Call ValueExists
  ${If} $0 == 0
    WriteRegDWORD HKLM "${LMX_KEY}" "${NAME}" ${VALUE}
  ${EndIf}
!macroend

!macro LMX_DEFAULT_STRING NAME VALUE
  Push "${NAME}"
  Call ValueExists
  ${If} $0 == 0
    WriteRegStr HKLM "${LMX_KEY}" "${NAME}" "${VALUE}"
  ${EndIf}
!macroend

; Removes a value only while it still holds what the installer wrote.
!macro LMX_REMOVE_DWORD_IF NAME VALUE
  ClearErrors
  ReadRegDWORD $0 HKLM "${LMX_KEY}" "${NAME}"
  ${IfNot} ${Errors}
  ${AndIf} $0 = ${VALUE}
    DeleteRegValue HKLM "${LMX_KEY}" "${NAME}"
  ${EndIf}
!macroend

!macro LMX_REMOVE_STRING_IF NAME VALUE
  ClearErrors
  ReadRegStr $0 HKLM "${LMX_KEY}" "${NAME}"
  ${IfNot} ${Errors}
  ${AndIf} $0 == "${VALUE}"
    DeleteRegValue HKLM "${LMX_KEY}" "${NAME}"
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------------------
; Installer

!ifdef LMX_GUI_DLL64
Var Dir32  ; the 32-bit build's folder, while $INSTDIR names the 64-bit one
Var Dir64  ; the 64-bit build's folder: where it is installed, or else the default
!endif

Function .onInit
  !insertmacro LMX_CONTEXT
  Call CheckRequestedDir
!ifdef LMX_GUI_DLL64
  ; The 64-bit build upgrades where its own view's "Path" names; /D is the 32-bit build's.
  ${If} ${RunningX64}
    SetRegView 64
    ReadRegStr $Dir64 HKLM "${LMX_KEY}" "Path"
    SetRegView 32
    ${If} $Dir64 == ""
      StrCpy $Dir64 "${LMX_DIR64}"
    ${EndIf}
  ${EndIf}
!endif
FunctionEnd

; A /D= folder that NSIS finds unusable (a file in its way, a drive that does not exist)
; is silently replaced by the registered or the default folder before .onInit runs, and
; $CMDLINE no longer holds it; a quoted /D= is not taken at all. The process's own command
; line still holds either: refuse then.
Function CheckRequestedDir
  System::Call 'kernel32::GetCommandLine() t .r0'
  StrLen $1 $0
  StrCpy $2 -1
  StrCpy $3 0
  ${DoWhile} $3 < $1
    StrCpy $4 $0 4 $3
    ${If} $4 S== " /D="
      StrCpy $2 $3
    ${ElseIf} $4 S== '"/D='
      !insertmacro LMX_FAIL "Give /D= without quotes, as the last argument, even when the folder has blanks: /D=C:\Some Folder"
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
  ${If} $2 < 0
    Return
  ${EndIf}
  IntOp $2 $2 + 4
  StrCpy $5 $0 "" $2
  StrCpy $6 $5 1 -1
  ${If} $6 == "\"
    StrCpy $5 $5 -1
  ${EndIf}
  StrCpy $7 $INSTDIR
  StrCpy $6 $7 1 -1
  ${If} $6 == "\"
    StrCpy $7 $7 -1
  ${EndIf}
  ${If} $5 != $7
    !insertmacro LMX_FAIL "Cannot write to the installation folder $5: it is a drive's root, a file is in its way, or its drive does not exist."
  ${EndIf}
FunctionEnd

Function .onVerifyInstDir
  StrLen $0 $INSTDIR
  ${If} $0 > ${LMX_MAX_DIR_LENGTH}
    Abort  ; keeps Next disabled on the directory page
  ${EndIf}
FunctionEnd

; Refuses a folder the module could not use, or one that cannot be written, before
; anything is installed. $R8 becomes 1 when the folder was already an installation.
Function CheckTarget
  ; "Path" has no trailing separator.
  StrCpy $0 $INSTDIR 1 -1
  ${If} $0 == "\"
    StrCpy $INSTDIR $INSTDIR -1
  ${EndIf}
  StrLen $0 $INSTDIR
  ${If} $0 > ${LMX_MAX_DIR_LENGTH}
    !insertmacro LMX_FAIL "The installation folder's path is $0 characters long; Lumora FX needs one of at most ${LMX_MAX_DIR_LENGTH} characters: $INSTDIR"
  ${EndIf}
  StrCpy $R8 0
  ${If} ${FileExists} "$INSTDIR\${LMX_UNINSTALLER}"
    StrCpy $R8 1
  ${EndIf}
  ; Which of the folder and its parents exist now, to undo exactly what this creates.
  StrCpy $R7 ""
  StrCpy $1 $INSTDIR
  ${DoUntil} ${FileExists} "$1\*.*"
    StrCpy $R7 "$R7$1|"
    ${GetParent} $1 $1
    ${If} $1 == ""
      ${Break}
    ${EndIf}
  ${Loop}
  ClearErrors
  CreateDirectory $INSTDIR
  ${IfNot} ${Errors}
    FileOpen $2 "$INSTDIR\lmx-setup-write-test.tmp" w
  ${EndIf}
  ${If} ${Errors}
    Call RemoveCreatedFolders
    !insertmacro LMX_FAIL "Cannot write to the installation folder $INSTDIR. Choose a folder you may write to, or run the installer as an administrator."
  ${EndIf}
  FileClose $2
  Delete "$INSTDIR\lmx-setup-write-test.tmp"
FunctionEnd

; Removes the folders CheckTarget created ($R7: "folder|parent|..."), innermost first;
; only empty ones go.
Function RemoveCreatedFolders
  ${Do}
    ${If} $R7 == ""
      ${Break}
    ${EndIf}
    StrCpy $1 0
    ${Do}  ; the first entry ends at the first "|"
      StrCpy $2 $R7 1 $1
      ${If} $2 == "|"
      ${OrIf} $2 == ""
        ${Break}
      ${EndIf}
      IntOp $1 $1 + 1
    ${Loop}
    StrCpy $3 $R7 $1
    IntOp $1 $1 + 1
    StrCpy $R7 $R7 "" $1
    RMDir $3
  ${Loop}
FunctionEnd

; One build into $INSTDIR: its program files (PROGRAMS: LMX_PROGRAM_FILES or
; LMX_PROGRAM_FILES64), the sample library and the uninstaller. A file that cannot be
; written fails the installation; a first installation is undone then.
!macro LMX_INSTALL_BUILD PROGRAMS
  ClearErrors
  SetOutPath "$INSTDIR"
  CreateDirectory "$INSTDIR\LIBS"
  !insertmacro ${PROGRAMS} LMX_INSTALL_PROGRAM
  !insertmacro LMX_INSTALL_SAMPLE
  WriteUninstaller "$INSTDIR\${LMX_UNINSTALLER}"
  ${If} ${Errors}
    ; A file could not be written (silent mode ignores such errors and goes on).
    ${If} $R8 == 0
      Call RemoveInstalledFiles
      Call RemoveCreatedFolders
    ${EndIf}
    !insertmacro LMX_FAIL "Could not write every file to $INSTDIR; nothing was registered."
  ${EndIf}
!macroend

; The installation in $INSTDIR, in the current registry view: its shortcut, "Path", the
; defaults and its uninstall entry.
!macro LMX_REGISTER_BUILD DISPLAY_NAME SHORTCUT
  CreateDirectory "${LMX_STARTMENU}"
  CreateShortCut "${LMX_STARTMENU}\${SHORTCUT}" "$INSTDIR\lmxhost.exe" "" "$INSTDIR\lmxhost.exe" 0

  ; "Path" always names this installation; every other value is written only when the
  ; key does not hold it yet, so a user's settings survive an upgrade.
  WriteRegStr HKLM "${LMX_KEY}" "Path" "$INSTDIR"
  !insertmacro LMX_DEFAULT_STRING "OrgFile" "${LMX_DEFAULT_ORGFILE}"
  !insertmacro LMX_DEFAULT_DWORD "Prev_Frames" ${LMX_DEFAULT_PREV_FRAMES}
  !insertmacro LMX_DEFAULT_DWORD "Prev_Speed" ${LMX_DEFAULT_PREV_SPEED}
  !insertmacro LMX_DEFAULT_DWORD "Prev_Quality" ${LMX_DEFAULT_PREV_QUALITY}
  !insertmacro LMX_DEFAULT_DWORD "Prev_Render" ${LMX_DEFAULT_PREV_RENDER}

  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "DisplayVersion" "${LMX_VERSION}"
  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "Publisher" "Corvane"
  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lmxhost.exe"
  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${LMX_UNINSTALLER}"'
  WriteRegStr HKLM "${LMX_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${LMX_UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${LMX_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${LMX_UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKLM "${LMX_UNINSTALL_KEY}" "EstimatedSize" $0
!macroend

Section "Lumora FX" SecMain
  SectionIn RO
!ifdef LMX_GUI_DLL64
  ; Both folders are checked before anything is written to either; CheckTarget's notes on
  ; the 64-bit folder ($R8, $R7) are kept in $R6 and $R5 meanwhile.
  ${If} ${RunningX64}
    StrCpy $Dir32 $INSTDIR 1 -1
    ${If} $Dir32 == "\"
      StrCpy $INSTDIR $INSTDIR -1
    ${EndIf}
    ${If} $INSTDIR == $Dir64
      !insertmacro LMX_FAIL "The 32-bit and the 64-bit build need folders of their own, and $INSTDIR is the 64-bit build's."
    ${EndIf}
    StrCpy $Dir32 $INSTDIR
    StrCpy $INSTDIR $Dir64
    Call CheckTarget
    StrCpy $Dir64 $INSTDIR
    StrCpy $R6 $R8
    StrCpy $R5 $R7
    StrCpy $INSTDIR $Dir32
  ${EndIf}
!endif
  Call CheckTarget
  StrCpy $LmxKeptCount 0
  !insertmacro LMX_INSTALL_BUILD LMX_PROGRAM_FILES
!ifdef LMX_GUI_DLL64
  ${If} ${RunningX64}
    StrCpy $Dir32 $INSTDIR
    StrCpy $INSTDIR $Dir64
    StrCpy $R8 $R6
    StrCpy $R7 $R5
    !insertmacro LMX_INSTALL_BUILD LMX_PROGRAM_FILES64
    SetRegView 64
    !insertmacro LMX_REGISTER_BUILD "Lumora FX (64-bit)" "Lumora FX Host (64-bit).lnk"
    SetRegView 32
    StrCpy $INSTDIR $Dir32
  ${EndIf}
!endif
  !insertmacro LMX_REGISTER_BUILD "Lumora FX" "Lumora FX Host.lnk"

  ${If} $LmxKeptCount > 0
    MessageBox MB_OK|MB_ICONINFORMATION "$LmxKeptCount library files were changed since they were installed and are kept as they are. The new ones were installed beside them, named like the file with .new added (listed in the details)." /SD IDOK
  ${EndIf}
SectionEnd

; Every file the installer puts in place, then the folders it made that are empty now.
!macro LMX_REMOVE_INSTALLED UN
  !insertmacro LMX_PROGRAM_FILES LMX_DELETE_PROGRAM
  Call ${UN}RemoveLibraryFiles
  !insertmacro LMX_REMOVE_SAMPLE_FOLDERS
  Delete "$INSTDIR\${LMX_UNINSTALLER}"
  RMDir "$INSTDIR\LIBS"
  RMDir "$INSTDIR"
!macroend

; Undoes a first installation that could not write every file.
Function RemoveInstalledFiles
  !insertmacro LMX_REMOVE_INSTALLED ""
FunctionEnd

; ---------------------------------------------------------------------------------------
; Uninstaller: removes every file it installed and, when they name this installation, the
; uninstall entry, the shortcut and "Path". It keeps what the user made: Work\Defaults.LRI
; (and any other file it did not install, with the folders holding them), every library
; file changed since it was installed (listed in Uninstall-kept.txt), and every registry
; value that no longer holds what the installer wrote.

; Each installation's uninstaller removes that installation alone. It is the 64-bit
; build's when the 64-bit view's uninstall entry names its folder, and works in that view.
Var UninstallShortcut

Function un.onInit
  !insertmacro LMX_CONTEXT
  StrCpy $UninstallShortcut "Lumora FX Host.lnk"
  ${If} ${RunningX64}
    SetRegView 64
    ReadRegStr $0 HKLM "${LMX_UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
      StrCpy $UninstallShortcut "Lumora FX Host (64-bit).lnk"
      Return
    ${EndIf}
    SetRegView 32
  ${EndIf}
FunctionEnd

; Returns once no program file is in use; otherwise asks to close the program and retry,
; and stops the uninstall, with nothing removed, when the answer is Cancel (the only one in
; silent mode).
Function un.WaitForProgramFiles
  again:
  StrCpy $R5 ""
  !insertmacro LMX_PROGRAM_FILES LMX_NOTE_IF_IN_USE
  StrCmp $R5 "" 0 +2
    Return
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "A running program has these files of $INSTDIR loaded:$R5.$\r$\nClose it (a video editor using Lumora FX, say), then choose Retry." /SD IDCANCEL IDRETRY again
  Push "Nothing was removed: a running program has these files loaded:$R5. Close it and uninstall again."
  Call un.Report
  SetErrorLevel 2
  Quit
FunctionEnd

; $0 <- the program the shortcut named on the stack starts, or "" when it cannot be read.
Function un.ShortcutTarget
  Exch $R0
  Push $1
  Push $2
  Push $3
  StrCpy $0 ""
  System::Call 'ole32::CoInitialize(p 0)'
  ; CLSID_ShellLink, IID_IShellLinkW; then IPersistFile::Load and IShellLinkW::GetPath.
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .r1) i .r3'
  ${If} $3 = 0
    System::Call '$1->0(g "{0000010b-0000-0000-C000-000000000046}", *p .r2) i .r3'
    ${If} $3 = 0
      System::Call '$2->5(w R0, i 0) i .r3'
      ${If} $3 = 0
        System::Call '$1->3(w .r0, i ${NSIS_MAX_STRLEN}, p 0, i 0) i .r3'
        ${If} $3 <> 0
          StrCpy $0 ""
        ${EndIf}
      ${EndIf}
      System::Call '$2->2()'
    ${EndIf}
    System::Call '$1->2()'
  ${EndIf}
  System::Call 'ole32::CoUninitialize()'
  Pop $3
  Pop $2
  Pop $1
  Pop $R0
FunctionEnd

Section "Uninstall"
  Call un.WaitForProgramFiles
  !insertmacro LMX_PROGRAM_FILES LMX_DELETE_PROGRAM
  ; One loaded in the meantime stays: so do the uninstaller, the record and the entry.
  StrCpy $R5 ""
  !insertmacro LMX_PROGRAM_FILES LMX_NOTE_IF_PRESENT
  ${If} $R5 != ""
    !insertmacro LMX_UN_FAIL "These files could not be removed:$R5. A running program has them loaded: close it and uninstall again."
  ${EndIf}
  !insertmacro LMX_REMOVE_INSTALLED "un."
  ; The default folder's parent, when nothing else lives there.
  ${un.GetParent} $INSTDIR $1
  ${If} $1 == "$PROGRAMFILES\Corvane"
  ${OrIf} $1 == "$PROGRAMFILES64\Corvane"
    RMDir $1
  ${EndIf}

  ; The shortcut and the uninstall entry (last of all) go only when they name this
  ; installation: another one installed later has taken them over.
  Push "${LMX_STARTMENU}\$UninstallShortcut"
  Call un.ShortcutTarget
  ${If} $0 == "$INSTDIR\lmxhost.exe"
    Delete "${LMX_STARTMENU}\$UninstallShortcut"
    RMDir "${LMX_STARTMENU}"
  ${EndIf}

  ; While "Path" names another installation, every value serves that one. Otherwise "Path"
  ; goes, and the defaults go while unchanged.
  ClearErrors
  ReadRegStr $0 HKLM "${LMX_KEY}" "Path"
  ${If} ${Errors}
  ${OrIf} $0 == $INSTDIR
    DeleteRegValue HKLM "${LMX_KEY}" "Path"
    !insertmacro LMX_REMOVE_STRING_IF "OrgFile" "${LMX_DEFAULT_ORGFILE}"
    !insertmacro LMX_REMOVE_DWORD_IF "Prev_Frames" ${LMX_DEFAULT_PREV_FRAMES}
    !insertmacro LMX_REMOVE_DWORD_IF "Prev_Speed" ${LMX_DEFAULT_PREV_SPEED}
    !insertmacro LMX_REMOVE_DWORD_IF "Prev_Quality" ${LMX_DEFAULT_PREV_QUALITY}
    !insertmacro LMX_REMOVE_DWORD_IF "Prev_Render" ${LMX_DEFAULT_PREV_RENDER}
    DeleteRegKey /ifempty HKLM "${LMX_KEY}"
    DeleteRegKey /ifempty HKLM "Software\Corvane\LumoraFX"
    DeleteRegKey /ifempty HKLM "Software\Corvane"
  ${EndIf}

  ${If} $LmxKeptCount > 0
    MessageBox MB_OK|MB_ICONINFORMATION "$LmxKeptCount library files were changed since they were installed and are kept in $INSTDIR; their names are in ${LMX_KEPT_LIST}." /SD IDOK
  ${EndIf}
  ReadRegStr $0 HKLM "${LMX_UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    DeleteRegKey HKLM "${LMX_UNINSTALL_KEY}"
  ${EndIf}
SectionEnd

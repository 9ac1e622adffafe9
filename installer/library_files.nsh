; The library files (the sample installation's EFFECTS, ORGS, TEXTURES, HELP, LIBS\LMX_ENG.LST
; and the two bitmaps) belong to the installer only while they hold what it wrote: a file
; with other content is the user's, as a registry value with another value is.
;
; The record: Uninstall.ini in the installation folder, section [Files], one line a file,
; its path relative to the folder = the SHA-1 of what the installer wrote there, or of what
; it would have written where it kept the user's file (the build computes each SHA-1,
; list_files.cmake). A file "holds what the installer wrote" when its SHA-1 is the recorded
; one, or the one of the file this installer carries for that name (so an installation
; whose record is missing or damaged still knows the unchanged files).
; - Install: a missing file, or one that holds what the installer wrote, gets the new one.
;   One that does not is kept; the new one goes beside it as NAME.new (the same rule
;   applies to NAME.new: one the user changed is kept too, and the new file is skipped).
; - Uninstall: removes every recorded file that still holds what was recorded; lists the
;   others in Uninstall-kept.txt and keeps them.
; Needs LogicLib and report.nsh (Report, un.Report).

!define LMX_RECORD "$INSTDIR\Uninstall.ini"
!define LMX_KEPT_LIST "$INSTDIR\Uninstall-kept.txt"

; How many files this run kept because they were the user's.
Var LmxKeptCount
; CryptoAPI's provider, acquired at the first hash (it costs tens of milliseconds under
; Wine) and kept until the process ends.
Var LmxCryptProvider

!macro LMX_SHA1_FUNCTION UN
; $0 <- the SHA-1 of the file named on the stack, as 40 lower-case hexadecimal digits; ""
; when it cannot be read. CryptoAPI's SHA-1, 64 KB at a time.
Function ${UN}FileSha1
  Exch $R0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $0 ""
  ${If} $LmxCryptProvider == ""
    System::Call 'advapi32::CryptAcquireContextW(*p .r1, p 0, p 0, i 1, i 0xF0000000) i .r2'  ; PROV_RSA_FULL, CRYPT_VERIFYCONTEXT
    ${If} $2 <> 0
      StrCpy $LmxCryptProvider $1
    ${EndIf}
  ${EndIf}
  ${If} $LmxCryptProvider != ""
    System::Call 'advapi32::CryptCreateHash(p $LmxCryptProvider, i 0x8004, p 0, i 0, *p .r3) i .r2'  ; CALG_SHA1
    ${If} $2 <> 0
      ClearErrors
      FileOpen $4 $R0 r
      ${IfNot} ${Errors}
        System::Alloc 65536
        Pop $5
        ${Do}
          System::Call 'kernel32::ReadFile(p r4, p r5, i 65536, *i .r6, p 0) i .r2'
          ${If} $2 = 0
          ${OrIf} $6 = 0
            ${Break}
          ${EndIf}
          System::Call 'advapi32::CryptHashData(p r3, p r5, i r6, i 0) i .r2'
        ${Loop}
        FileClose $4
        ${If} $2 <> 0  ; the whole file was read
          System::Call 'advapi32::CryptGetHashParam(p r3, i 2, p r5, *i 20, i 0) i .r2'  ; HP_HASHVAL
          ${If} $2 <> 0  ; CRYPT_STRING_HEXRAW | CRYPT_STRING_NOCRLF: lower-case digits
            System::Call 'crypt32::CryptBinaryToStringW(p r5, i 20, i 0x4000000c, w .r0, *i 41) i .r2'
            ${If} $2 = 0
              StrCpy $0 ""
            ${EndIf}
          ${EndIf}
        ${EndIf}
        System::Free $5
      ${EndIf}
      System::Call 'advapi32::CryptDestroyHash(p r3)'
    ${EndIf}
  ${EndIf}
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $R0
FunctionEnd
!macroend
!insertmacro LMX_SHA1_FUNCTION ""
!insertmacro LMX_SHA1_FUNCTION "un."

; $0 <- 1 when the file NAME (relative to the installation folder; below the stack top) may
; be written: it is missing, or holds what the installer wrote there, or already holds the
; new content, whose SHA-1 is the stack top. 0 when it is the user's.
Function MayReplace
  Exch $R1  ; the new content's SHA-1
  Exch
  Exch $R0  ; the name
  Push $R2
  StrCpy $0 1
  ${If} ${FileExists} "$INSTDIR\$R0"
    Push "$INSTDIR\$R0"
    Call FileSha1
    ReadINIStr $R2 "${LMX_RECORD}" "Files" "$R0"
    ${If} $0 == ""
      StrCpy $0 0
    ${ElseIf} $0 == $R1
    ${OrIf} $0 == $R2
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $R2
  Pop $R0
  Pop $R1
FunctionEnd

; Where the library file NAME (below the stack top) goes, given the new content's SHA-1
; (the stack top): $1 <- the name to write and record, or "" to write nothing.
Function LibraryTarget
  Exch $R1
  Exch
  Exch $R0
  Push $0
  Push $R0
  Push $R1
  Call MayReplace
  ${If} $0 = 1
    StrCpy $1 $R0
    ; A NAME.new left from an earlier upgrade goes, unless the user changed it.
    ${If} ${FileExists} "$INSTDIR\$R0.new"
      Push "$R0.new"
      Push $R1
      Call MayReplace
      ${If} $0 = 1
        Delete "$INSTDIR\$R0.new"
        DeleteINIStr "${LMX_RECORD}" "Files" "$R0.new"
      ${EndIf}
    ${EndIf}
  ${Else}
    ; Recorded with the content the installer has for it: so the uninstaller lists it as
    ; kept, and once the user puts NAME.new in its place, it is the installer's again.
    WriteINIStr "${LMX_RECORD}" "Files" "$R0" $R1
    IntOp $LmxKeptCount $LmxKeptCount + 1
    Push "$R0.new"
    Push $R1
    Call MayReplace
    ${If} $0 = 1
      StrCpy $1 "$R0.new"
      Push "Kept $R0: it was changed since it was installed. The new one is $R0.new."
    ${Else}
      StrCpy $1 ""
      Push "Kept $R0 and $R0.new: both were changed since they were installed. The new one was not installed."
    ${EndIf}
    Call Report
  ${EndIf}
  Pop $0
  Pop $R0
  Pop $R1
FunctionEnd

; One library file: NAME relative to the installation folder, SOURCE on the build machine,
; SHA1 of SOURCE. The generated list (list_files.cmake) holds one of these a file.
!macro LMX_LIBRARY_FILE NAME SOURCE SHA1
  Push "${NAME}"
  Push "${SHA1}"
  Call LibraryTarget
  ${If} $1 != ""
    File "/oname=$INSTDIR\$1" "${SOURCE}"
    WriteINIStr "${LMX_RECORD}" "Files" "$1" "${SHA1}"
  ${EndIf}
!macroend

!macro LMX_REMOVE_LIBRARY_FUNCTION UN
; Removes every recorded file that still holds what was recorded, and the record; writes
; the names of the others to Uninstall-kept.txt and reports each. $LmxKeptCount <- how many
; were kept.
Function ${UN}RemoveLibraryFiles
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $LmxKeptCount 0
  Delete "${LMX_KEPT_LIST}"
  ClearErrors
  FileOpen $2 "${LMX_RECORD}" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $2 $1
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${Do}  ; without its line end
        StrCpy $3 $1 1 -1
        ${If} $3 != "$\r"
        ${AndIf} $3 != "$\n"
          ${Break}
        ${EndIf}
        StrCpy $1 $1 -1
      ${Loop}
      ; "NAME=" and 40 hexadecimal digits; anything else (the section line) is passed over.
      StrLen $0 $1
      StrCpy $3 $1 1 -41
      ${If} $0 < 42
      ${OrIf} $3 != "="
        ${Continue}
      ${EndIf}
      StrCpy $3 $1 "" -40
      StrCpy $1 $1 -41
      ${IfNot} ${FileExists} "$INSTDIR\$1"
        ${Continue}
      ${EndIf}
      Push "$INSTDIR\$1"
      Call ${UN}FileSha1
      ${If} $0 == $3
        Delete "$INSTDIR\$1"
      ${Else}
        ${If} $LmxKeptCount = 0
          FileOpen $4 "${LMX_KEPT_LIST}" w
        ${EndIf}
        FileWrite $4 "$1$\r$\n"
        IntOp $LmxKeptCount $LmxKeptCount + 1
        Push "Kept $1: it was changed since it was installed."
        Call ${UN}Report
      ${EndIf}
    ${Loop}
    FileClose $2
    ${If} $LmxKeptCount > 0
      FileClose $4
    ${EndIf}
  ${EndIf}
  Delete "${LMX_RECORD}"
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro LMX_REMOVE_LIBRARY_FUNCTION ""
!insertmacro LMX_REMOVE_LIBRARY_FUNCTION "un."

; What the installer and the uninstaller tell: a line for the details list, which in silent
; mode also goes to the standard error handle the caller gave (a console or a
; redirection), and failing with exit code 2. Needs LogicLib.
;
;   !insertmacro LMX_REPORT_FUNCTIONS "" "LumoraFX-Setup"   ; Report and Fail
;   !insertmacro LMX_REPORT_FUNCTIONS "un." "Uninstall"     ; un.Report and un.Fail

!macro LMX_REPORT_FUNCTIONS UN SENDER
; The line on the stack to the details list and, when silent, to the standard error handle.
Function ${UN}Report
  Exch $R9
  Push $0
  Push $1
  Push $2
  DetailPrint "$R9"
  ${If} ${Silent}
    System::Call 'kernel32::GetStdHandle(i -12) p .r0'
    ${If} $0 P= 0
    ${OrIf} $0 P= -1
      System::Call 'kernel32::AttachConsole(i -1) i .r1'
      System::Call 'kernel32::GetStdHandle(i -12) p .r0'
    ${EndIf}
    ${If} $0 P<> 0
    ${AndIf} $0 P<> -1
      StrCpy $R9 "${SENDER}: $R9$\r$\n"
      StrLen $1 $R9
      System::Call 'kernel32::WriteFile(p r0, m R9, i r1, *i .r2, p 0) i .r2'
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
  Pop $R9
FunctionEnd

; The message on the stack in a box for a person (reported as above in silent mode), then
; exit code 2.
Function ${UN}Fail
  Exch $R9
  MessageBox MB_OK|MB_ICONSTOP "$R9" /SD IDOK
  Push $R9
  Call ${UN}Report
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend

!macro LMX_FAIL MESSAGE
  Push "${MESSAGE}"
  Call Fail
!macroend
!macro LMX_UN_FAIL MESSAGE
  Push "${MESSAGE}"
  Call un.Fail
!macroend

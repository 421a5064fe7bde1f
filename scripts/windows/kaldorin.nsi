; The Windows installer of kaldorin, made by scripts/package-windows.sh:
;   makensis -DSTAGE=DIR -DOUT=FILE -DTARGET=x86-unicode -DLISTS=DIR kaldorin.nsi
; STAGE is the package's tree, laid out as drive C: expects it (the same
; tree the zip holds); LISTS holds uninstall.nsh, the removal of every file
; the tree brings, written by the package script.
;
; Installs into the family's folders (C:\ferlan, C:\zelquora), makes
; C:\zelquora\temp, puts Talven.ini into the Windows folder only when none
; is there (never over the user's), and adds Start-menu shortcuts. The
; uninstaller removes only the files it installed: the user's settings
; (Talven.ini, wherever it is) and scripts stay, and a folder goes only
; when nothing else is left in it. /S installs and uninstalls silently.
; The pages are Portuguese (Modern UI), as are the shortcuts and the
; documents they open: the user's guide and the language's reference.
Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
Name "kaldorin"
OutFile "${OUT}"
RequestExecutionLevel admin
InstallDir "C:\ferlan"
ShowInstDetails show
ShowUninstDetails show

!define PROGRAM_DIR "C:\ferlan\kaldorin"
!define MENU "$SMPROGRAMS\Kaldorin"
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kaldorin"
!define MBROLA_KEY "SOFTWARE\TCTS\Mbrola\databases"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "${PROGRAM_DIR}\kaldorinw.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--window"
!define MUI_FINISHPAGE_RUN_TEXT "Abrir a pesquisa de rádios"
!define MUI_FINISHPAGE_SHOWREADME "${PROGRAM_DIR}\guia.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Ler o guia do kaldorin"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

Section "kaldorin"
  SetShellVarContext all
  ; The registry as a 32-bit program sees it, as kaldorin.exe reads it.
  SetRegView 32
  SetOutPath "C:\ferlan"
  File /r "${STAGE}/ferlan/*"
  SetOutPath "C:\zelquora"
  File /r "${STAGE}/zelquora/*"
  ; The radio search keeps its pages and report here.
  CreateDirectory "C:\zelquora\temp"

  ; The user's settings are never replaced.
  IfFileExists "$WINDIR\Talven.ini" settings_kept
  SetOutPath "$WINDIR"
  File "${STAGE}/Talven.ini"
  DetailPrint "Talven.ini instalado em $WINDIR"
  Goto settings_done
settings_kept:
  DetailPrint "$WINDIR\Talven.ini já existe: mantido como está"
settings_done:

  ; The br3 voice is registered where MBROLA's own installation registers
  ; its voices, unless one is there.
  ReadRegStr $0 HKLM "${MBROLA_KEY}\br3" ""
  StrCmp $0 "" 0 voice_done
  WriteRegStr HKLM "${MBROLA_KEY}\br3" "" "C:\ferlan\orvantts\br3\br3"
voice_done:
  ; MBROLA itself comes apart: the program says where to get it on its
  ; first run without it (after a silent install too), in its own words.

  SetOutPath "${PROGRAM_DIR}"
  WriteUninstaller "${PROGRAM_DIR}\desinstalar.exe"
  ; What older packages brought under other names.
  Delete "${MENU}\Leia-me.lnk"
  Delete "${PROGRAM_DIR}\LEIAME.txt"
  Delete "${PROGRAM_DIR}\manual.txt"
  CreateDirectory "${MENU}"
  CreateShortcut "${MENU}\Pesquisa de rádios.lnk" "${PROGRAM_DIR}\kaldorinw.exe" "--window" \
      "${PROGRAM_DIR}\kaldorinw.exe" 0 SW_SHOWNORMAL "" "A pesquisa de rádios do Zelquora, numa janela"
  CreateShortcut "${MENU}\Guia do kaldorin.lnk" "${PROGRAM_DIR}\guia.txt"
  CreateShortcut "${MENU}\Manual da linguagem.lnk" "${PROGRAM_DIR}\referencia.txt"
  CreateShortcut "${MENU}\Desinstalar.lnk" "${PROGRAM_DIR}\desinstalar.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "kaldorin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${PROGRAM_DIR}\desinstalar.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${PROGRAM_DIR}\desinstalar.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "C:\ferlan"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 32
  Delete "${MENU}\Pesquisa de rádios.lnk"
  Delete "${MENU}\Manual da linguagem.lnk"
  Delete "${MENU}\Guia do kaldorin.lnk"
  Delete "${MENU}\Desinstalar.lnk"
  RMDir "${MENU}"
  !include "${LISTS}/uninstall.nsh"
  Delete "${PROGRAM_DIR}\desinstalar.exe"
  RMDir "C:\zelquora\temp"
  RMDir "${PROGRAM_DIR}"
  RMDir "C:\zelquora"
  RMDir "C:\ferlan"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The voice's registration goes only when it still names the voice removed.
  ReadRegStr $0 HKLM "${MBROLA_KEY}\br3" ""
  StrCmp $0 "C:\ferlan\orvantts\br3\br3" 0 +2
  DeleteRegKey HKLM "${MBROLA_KEY}\br3"
SectionEnd

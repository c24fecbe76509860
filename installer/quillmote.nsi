; Quillmote's Windows installer (64-bit, Unicode, modern UI).
;
; The build passes its inputs with /D; the defaults below suit a manual run from the repository:
;   PROGRAMS   folder holding the stripped Ollendock.exe and Ollenset.cpl
;   RESOURCES  the repository's resources folder (images, help, icons)
;   QMTRUST    the installer's access checks, qmtrust.exe (packed, never installed)
;   OUTFILE    the installer to write
;   VERSION    product version, four numbers (a.b.c.d)
;
; Installs Ollendock.exe, its pictures and help page below the chosen folder, Ollenset.cpl into
; the system folder, the program key with the About texts and any missing default setting, the
; start-with-Windows entry and an Add/Remove Programs entry. /S runs installer and uninstaller
; without any window or box.
;
; The program key under HKEY_LOCAL_MACHINE is the administrators': it names the program to start
; and holds the defaults. Each user's own settings live in that user's key under
; HKEY_CURRENT_USER, which the program writes itself.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef VERSION
  !define VERSION "1.0.0.1"
!endif
!ifndef PROGRAMS
  !define PROGRAMS "${__FILEDIR__}/../build/win64/installer/stage"
!endif
!ifndef RESOURCES
  !define RESOURCES "${__FILEDIR__}/../resources"
!endif
!ifndef QMTRUST
  !define QMTRUST "${__FILEDIR__}/../build/win64/tools/qmtrust/qmtrust.exe"
!endif
!ifndef OUTFILE
  !define OUTFILE "${__FILEDIR__}/../build/QuillmoteSetup.exe"
!endif

!define PRODUCT "Quillmote"
!define PUBLISHER "Morvane"
; The names the program, its applet and the tools share, read from their one header: the
; program's key (without the leading backslash and the C++ doubling of backslashes), the window's
; class and title, and the lock a running Quillmote holds until its process has ended, which
; carries the class's name in the session's namespace.
!define NAMES_HEADER "${__FILEDIR__}/../tray/program_names.h"
!searchparse /file "${NAMES_HEADER}" `kProgramKey[] = u"\\` PROGRAM_KEY_SPELLED `";`
!searchreplace PROGRAM_KEY "${PROGRAM_KEY_SPELLED}" "\\" "\"
!searchparse /file "${NAMES_HEADER}" `kMainWindowClass[] = u"` WINDOW_CLASS `";`
!searchparse /file "${NAMES_HEADER}" `kMainWindowTitle[] = u"` WINDOW_TITLE `";`
!define INSTANCE_LOCK "Local\${WINDOW_CLASS}"
; The maker's address on the About page (only web addresses are opened there).
!define MAKER_LINK "https://www.morvane.com"
!define MAKER_KEY "Software\Morvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmote"
; How long the running program gets to end after WM_CLOSE: 50 polls of 200 ms.
!define CLOSE_WAIT_MS 10000
!define CLOSE_POLLS 50
!define CLOSE_POLL_MS 200

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; A reinstall offers the folder of the installed copy, as .onInit finds it: never a folder named
; by a value a user could have written.
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${RESOURCES}/icons/quillmote.ico"
!define MUI_UNICON "${RESOURCES}/icons/quillmote.ico"
!define MUI_ABORTWARNING
; The pages' own texts in the user's language (below, after the languages).
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The user's interface language picks the installer's and the uninstaller's, English for any other.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "Russian"

LangString WelcomeText ${LANG_ENGLISH} "Setup will install ${PRODUCT} ${VERSION}, the companion of the ${PRODUCT} Bluetooth keyboard and mouse driver.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup closes it before copying its files.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_GERMAN} "Dieser Assistent installiert ${PRODUCT} ${VERSION}, das Begleitprogramm des ${PRODUCT}-Treibers für Bluetooth-Tastatur und -Maus.$\r$\n$\r$\nLäuft ${PRODUCT}, wird es vor dem Kopieren seiner Dateien beendet.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_FRENCH} "Cet assistant va installer ${PRODUCT} ${VERSION}, le compagnon du pilote ${PRODUCT} pour clavier et souris Bluetooth.$\r$\n$\r$\nSi ${PRODUCT} est en cours d'exécution, l'assistant le ferme avant de copier ses fichiers.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_SPANISH} "Este asistente instalará ${PRODUCT} ${VERSION}, el complemento del controlador ${PRODUCT} para teclado y ratón Bluetooth.$\r$\n$\r$\nSi ${PRODUCT} se está ejecutando, el asistente lo cierra antes de copiar sus archivos.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_ITALIAN} "Questa procedura installerà ${PRODUCT} ${VERSION}, il programma del driver ${PRODUCT} per tastiera e mouse Bluetooth.$\r$\n$\r$\nSe ${PRODUCT} è in esecuzione, verrà chiuso prima di copiarne i file.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_RUSSIAN} "Программа установит ${PRODUCT} ${VERSION}, спутник драйвера ${PRODUCT} для Bluetooth-клавиатуры и мыши.$\r$\n$\r$\nЕсли ${PRODUCT} запущен, программа установки закроет его перед копированием файлов.$\r$\n$\r$\n$_CLICK"
LangString FinishText ${LANG_ENGLISH} "${PRODUCT} has been installed on your computer. It starts with Windows; you can also start it from its applet in the Control Panel.$\r$\n$\r$\nClick Finish to close Setup."
LangString FinishText ${LANG_GERMAN} "${PRODUCT} wurde auf Ihrem Computer installiert. Es startet mit Windows; Sie können es auch über sein Applet in der Systemsteuerung starten.$\r$\n$\r$\nKlicken Sie auf Fertig stellen, um den Assistenten zu schließen."
LangString FinishText ${LANG_FRENCH} "${PRODUCT} a été installé sur votre ordinateur. Il démarre avec Windows ; vous pouvez aussi le lancer depuis son applet du Panneau de configuration.$\r$\n$\r$\nCliquez sur Fermer pour quitter l'assistant."
LangString FinishText ${LANG_SPANISH} "${PRODUCT} se ha instalado en el equipo. Se inicia con Windows; también puede iniciarlo desde su applet del Panel de control.$\r$\n$\r$\nHaga clic en Terminar para cerrar el asistente."
LangString FinishText ${LANG_ITALIAN} "${PRODUCT} è stato installato nel computer. Si avvia con Windows; è possibile avviarlo anche dal suo applet nel Pannello di controllo.$\r$\n$\r$\nFare clic su Fine per chiudere l'installazione."
LangString FinishText ${LANG_RUSSIAN} "${PRODUCT} установлен на компьютер. Он запускается вместе с Windows; его также можно запустить из его элемента панели управления.$\r$\n$\r$\nНажмите «Готово», чтобы закрыть программу установки."
; What Setup and the uninstaller report on the way.
LangString ClosingText ${LANG_ENGLISH} "Closing ${PRODUCT}..."
LangString ClosingText ${LANG_GERMAN} "${PRODUCT} wird beendet..."
LangString ClosingText ${LANG_FRENCH} "Fermeture de ${PRODUCT}..."
LangString ClosingText ${LANG_SPANISH} "Cerrando ${PRODUCT}..."
LangString ClosingText ${LANG_ITALIAN} "Chiusura di ${PRODUCT}..."
LangString ClosingText ${LANG_RUSSIAN} "Закрытие ${PRODUCT}..."
LangString StillRunningText ${LANG_ENGLISH} "${PRODUCT} is still running. Close it, then click Retry."
LangString StillRunningText ${LANG_GERMAN} "${PRODUCT} läuft noch. Beenden Sie es, und klicken Sie dann auf Wiederholen."
LangString StillRunningText ${LANG_FRENCH} "${PRODUCT} est toujours en cours d'exécution. Fermez-le, puis cliquez sur Réessayer."
LangString StillRunningText ${LANG_SPANISH} "${PRODUCT} todavía se está ejecutando. Ciérrelo y haga clic en Reintentar."
LangString StillRunningText ${LANG_ITALIAN} "${PRODUCT} è ancora in esecuzione. Chiuderlo, quindi fare clic su Riprova."
LangString StillRunningText ${LANG_RUSSIAN} "${PRODUCT} всё ещё работает. Закройте его и нажмите «Повтор»."
LangString NotClosedText ${LANG_ENGLISH} "${PRODUCT} is still running."
LangString NotClosedText ${LANG_GERMAN} "${PRODUCT} läuft noch."
LangString NotClosedText ${LANG_FRENCH} "${PRODUCT} est toujours en cours d'exécution."
LangString NotClosedText ${LANG_SPANISH} "${PRODUCT} todavía se está ejecutando."
LangString NotClosedText ${LANG_ITALIAN} "${PRODUCT} è ancora in esecuzione."
LangString NotClosedText ${LANG_RUSSIAN} "${PRODUCT} всё ещё работает."
LangString AccessText ${LANG_ENGLISH} "Access to $R8: $R9"
LangString AccessText ${LANG_GERMAN} "Zugriff auf $R8: $R9"
LangString AccessText ${LANG_FRENCH} "Accès à $R8 : $R9"
LangString AccessText ${LANG_SPANISH} "Acceso a $R8: $R9"
LangString AccessText ${LANG_ITALIAN} "Accesso a $R8: $R9"
LangString AccessText ${LANG_RUSSIAN} "Доступ к $R8: $R9"
LangString RemovingEarlierText ${LANG_ENGLISH} "Removing the earlier copy in $1"
LangString RemovingEarlierText ${LANG_GERMAN} "Die frühere Kopie in $1 wird entfernt"
LangString RemovingEarlierText ${LANG_FRENCH} "Suppression de la copie précédente dans $1"
LangString RemovingEarlierText ${LANG_SPANISH} "Quitando la copia anterior de $1"
LangString RemovingEarlierText ${LANG_ITALIAN} "Rimozione della copia precedente in $1"
LangString RemovingEarlierText ${LANG_RUSSIAN} "Удаление прежней копии из $1"
LangString EarlierNotTrustedText ${LANG_ENGLISH} "The earlier copy's folder $1 is not the administrators' alone: left as it is"
LangString EarlierNotTrustedText ${LANG_GERMAN} "Der Ordner $1 der früheren Kopie gehört nicht allein den Administratoren: Er bleibt unverändert"
LangString EarlierNotTrustedText ${LANG_FRENCH} "Le dossier $1 de la copie précédente n'appartient pas aux seuls administrateurs : il reste tel quel"
LangString EarlierNotTrustedText ${LANG_SPANISH} "La carpeta $1 de la copia anterior no es solo de los administradores: se deja como está"
LangString EarlierNotTrustedText ${LANG_ITALIAN} "La cartella $1 della copia precedente non è dei soli amministratori: viene lasciata com'è"
LangString EarlierNotTrustedText ${LANG_RUSSIAN} "Папка $1 прежней копии принадлежит не только администраторам: она оставлена как есть"
LangString FolderNotTrustedText ${LANG_ENGLISH} "$INSTDIR is not the administrators' alone: its files are left as they are"
LangString FolderNotTrustedText ${LANG_GERMAN} "$INSTDIR gehört nicht allein den Administratoren: Seine Dateien bleiben unverändert"
LangString FolderNotTrustedText ${LANG_FRENCH} "$INSTDIR n'appartient pas aux seuls administrateurs : ses fichiers restent tels quels"
LangString FolderNotTrustedText ${LANG_SPANISH} "$INSTDIR no es solo de los administradores: sus archivos se dejan como están"
LangString FolderNotTrustedText ${LANG_ITALIAN} "$INSTDIR non è dei soli amministratori: i suoi file vengono lasciati come sono"
LangString FolderNotTrustedText ${LANG_RUSSIAN} "$INSTDIR принадлежит не только администраторам: его файлы оставлены как есть"

; The pictures of the install folder's "images" folder; morvane.jpg and iton.jpg are also
; rewritten by the program at every start.
!macro ForEachPicture MACRO DIR
  !insertmacro ${MACRO} "${DIR}" "t0s1_f12.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0s2_f12.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0ms_f1.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0ms_f2.jpg"
  !insertmacro ${MACRO} "${DIR}" "cursors_f1.jpg"
  !insertmacro ${MACRO} "${DIR}" "cursors_f2.jpg"
  !insertmacro ${MACRO} "${DIR}" "tva_f1.jpg"
  !insertmacro ${MACRO} "${DIR}" "tva_f2.jpg"
  !insertmacro ${MACRO} "${DIR}" "tvf_f1.jpg"
  !insertmacro ${MACRO} "${DIR}" "tvf_f2.jpg"
  !insertmacro ${MACRO} "${DIR}" "morvane.jpg"
  !insertmacro ${MACRO} "${DIR}" "iton.jpg"
  ; Drawn for a desk at 150 % and 200 %.
  !insertmacro ${MACRO} "${DIR}" "t0s1_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0s2_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0ms_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "cursors_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "tva_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "tvf_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "morvane_f3.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0s1_f4.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0s2_f4.jpg"
  !insertmacro ${MACRO} "${DIR}" "t0ms_f4.jpg"
  !insertmacro ${MACRO} "${DIR}" "cursors_f4.jpg"
  !insertmacro ${MACRO} "${DIR}" "tva_f4.jpg"
  !insertmacro ${MACRO} "${DIR}" "tvf_f4.jpg"
  !insertmacro ${MACRO} "${DIR}" "morvane_f4.jpg"
!macroend

!macro InstallPicture DIR NAME
  File "${DIR}/${NAME}"
!macroend

; The translations: each language's texts beside the program, and its help page.
!macro ForEachLanguage MACRO ARG
  !insertmacro ${MACRO} "${ARG}" 0407 de
  !insertmacro ${MACRO} "${ARG}" 040C fr
  !insertmacro ${MACRO} "${ARG}" 0C0A es
  !insertmacro ${MACRO} "${ARG}" 0410 it
  !insertmacro ${MACRO} "${ARG}" 0419 ru
!macroend

!macro InstallTranslation UNUSED LANGID TAG
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}/Ollendock.exe.${LANGID}.mui"
  SetOutPath "$INSTDIR\help"
  File "${RESOURCES}/help/help_${TAG}.html"
!macroend

!macro DeleteTranslation DIR LANGID TAG
  Delete "${DIR}\Ollendock.exe.${LANGID}.mui"
  Delete "${DIR}\help\help_${TAG}.html"
!macroend

!macro DeletePicture DIR NAME
  Delete "${DIR}\${NAME}"
!macroend

; Removes what an install put into DIR, then the folders that are empty after that. Never a
; recursive delete: the folder may be one the user already had, with files of their own.
!macro RemoveInstalledFiles DIR
  Delete "${DIR}\Ollendock.exe"
  !insertmacro ForEachPicture DeletePicture "${DIR}\images"
  Delete "${DIR}\help\help.html"
  !insertmacro ForEachLanguage DeleteTranslation "${DIR}"
  Delete "${DIR}\uninstall.exe"
  RMDir "${DIR}\images"
  RMDir "${DIR}\help"
  RMDir "${DIR}"
!macroend

; Closes a running Quillmote so that none of its files is in use: WM_CLOSE makes it save its
; settings and quit. Waits up to CLOSE_POLLS * CLOSE_POLL_MS for the window to go; if it stays,
; the user may retry or cancel. A silent run cancels (the exit code tells), so no box is shown.
!macro CloseQuillmoteFunction PREFIX
Function ${PREFIX}CloseQuillmote
  Push $0
  Push $1
  retry:
    FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
    ${If} $0 == 0
      Goto done
    ${EndIf}
    DetailPrint "$(ClosingText)"
    ; A timeout, so that a program that does not answer cannot hold Setup up.
    SendMessage $0 ${WM_CLOSE} 0 0 $1 /TIMEOUT=5000
    StrCpy $1 0
    ${Do}
      Sleep ${CLOSE_POLL_MS}
      FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
      ${If} $0 == 0
        Goto done
      ${EndIf}
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= ${CLOSE_POLLS}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunningText)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "$(NotClosedText)"
  done:
  ; The window goes before the process ends (its last log lines are still to be written, its
  ; files still in use): wait for the instance lock, which the program holds until it has ended.
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_LOCK}") p.r1'
  ${If} $1 != 0
    System::Call 'kernel32::WaitForSingleObject(p r1, i ${CLOSE_WAIT_MS}) i.r0'
    ; Taken (0) or left by a process that died (0x80): given back at once.
    ${If} $0 == 0
    ${OrIf} $0 == 128
      System::Call 'kernel32::ReleaseMutex(p r1)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CloseQuillmoteFunction ""
!insertmacro CloseQuillmoteFunction "un."

; Writes a default setting only where the program could not read one (the value is missing, or
; of another type, which the program ignores): a user's settings survive a reinstall.
!macro DefaultDword NAME VALUE
  ClearErrors
  ReadRegDWORD $0 HKLM "${PROGRAM_KEY}" "${NAME}"
  ${If} ${Errors}
    WriteRegDWORD HKLM "${PROGRAM_KEY}" "${NAME}" ${VALUE}
  ${EndIf}
!macroend

; Sets $R9 to 1 when the folder DIR is the administrators' alone (its owner is Administrators,
; SYSTEM, TrustedInstaller or the installing administrator, and no other account may write it),
; else 0. Only such a folder is installed into, or deleted from, on the registry's word.
!macro FolderTrusted DIR
  nsExec::Exec '"$PLUGINSDIR\qmtrust.exe" trusted "${DIR}"'
  Pop $R9
  ${If} $R9 == 0
    StrCpy $R9 1
  ${Else}
    StrCpy $R9 0
  ${EndIf}
!macroend

; Gives a registry key ("key", as "MACHINE\...") or a folder ("folder") a protected access list,
; SYSTEM and Administrators full control and Users read (and execute), with Administrators as
; owner: nothing inherited, nothing an earlier installation granted, stays.
!macro Protect KIND OBJECT
  nsExec::Exec '"$PLUGINSDIR\qmtrust.exe" protect ${KIND} "${OBJECT}"'
  Pop $R9
  StrCpy $R8 "${OBJECT}"
  DetailPrint "$(AccessText)"
!macroend

Function .onInit
  SetRegView 64
  SetShellVarContext all
  InitPluginsDir
  File "/oname=$PLUGINSDIR\qmtrust.exe" "${QMTRUST}"
  ; Before any value of the program key is read: an earlier installation let users write it.
  !insertmacro Protect key "MACHINE\${PROGRAM_KEY}"
  ; Without /D a reinstall goes where the earlier copy is, as its Add/Remove Programs entry names
  ; it (a key only administrators could ever write), when that folder is the administrators'
  ; alone; else into the default folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $1 != ""
      !insertmacro FolderTrusted "$1"
      ${If} $R9 == 1
        StrCpy $INSTDIR $1
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  InitPluginsDir
  File "/oname=$PLUGINSDIR\qmtrust.exe" "${QMTRUST}"
FunctionEnd

Section "Quillmote" SecMain
  SectionIn RO
  Call CloseQuillmote

  ; A reinstall into another folder leaves nothing of the earlier copy behind: the folder its
  ; Add/Remove Programs entry names, and only when it is the administrators' alone.
  ClearErrors
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${Errors}
  ${AndIf} $1 != ""
  ${AndIf} $1 != $INSTDIR
  ${AndIf} ${FileExists} "$1\uninstall.exe"
    !insertmacro FolderTrusted "$1"
    ${If} $R9 == 1
      DetailPrint "$(RemovingEarlierText)"
      !insertmacro RemoveInstalledFiles "$1"
    ${Else}
      DetailPrint "$(EarlierNotTrustedText)"
    ${EndIf}
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${PROGRAMS}/Ollendock.exe"
  SetOutPath "$INSTDIR\images"
  !insertmacro ForEachPicture InstallPicture "${RESOURCES}/images"
  SetOutPath "$INSTDIR\help"
  File "${RESOURCES}/help/help.html"
  !insertmacro ForEachLanguage InstallTranslation ""
  ; The control panel finds its applets in the system folder (System32: this installer is 64-bit).
  SetOutPath "$SYSDIR"
  File "${PROGRAMS}/Ollenset.cpl"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The folder names the program every user starts: only administrators may change it.
  !insertmacro Protect folder "$INSTDIR"

  WriteRegStr HKLM "${PROGRAM_KEY}" "InstallPath" "$INSTDIR"
  WriteRegStr HKLM "${PROGRAM_KEY}" "AboutWebName" "${PUBLISHER}"
  WriteRegStr HKLM "${PROGRAM_KEY}" "AboutWebLink" "${MAKER_LINK}"
  WriteRegStr HKLM "${PROGRAM_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${PROGRAM_KEY}" "Description" "Bluetooth keyboard support"
  !insertmacro DefaultDword "Enable_Tray" 1
  !insertmacro DefaultDword "Enable_Autostart" 1
  !insertmacro DefaultDword "Enable_KB" 1
  !insertmacro DefaultDword "Enable_Mouse" 0
  !insertmacro DefaultDword "Speed" 3
  !insertmacro DefaultDword "Cursor" 0
  !insertmacro DefaultDword "KBSounds" 0
  ; Each button's natural action: left, middle and right click, scroll up and down.
  !insertmacro DefaultDword "Left_Button_Action" 0
  !insertmacro DefaultDword "Middle_Button_Action" 1
  !insertmacro DefaultDword "Right_Button_Action" 2
  !insertmacro DefaultDword "Wheel_Up_Action" 4
  !insertmacro DefaultDword "Wheel_Down_Action" 5

  ; A key made here may inherit what its parent grants: the system and administrators write,
  ; users read, and nothing else.
  !insertmacro Protect key "MACHINE\${PROGRAM_KEY}"

  ; Started without arguments, the program itself decides from "Enable_Autostart" whether to run.
  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Ollendock.exe"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Ollendock.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The size of what this section copies, in KiB (not the folder's: it may hold other files).
  SectionGetSize ${SecMain} $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.CloseQuillmote

  ; Files are deleted only from a folder that is the administrators' alone.
  !insertmacro FolderTrusted "$INSTDIR"
  ${If} $R9 == 1
    !insertmacro RemoveInstalledFiles "$INSTDIR"
  ${Else}
    DetailPrint "$(FolderNotTrustedText)"
  ${EndIf}
  ; An open Control Panel may still hold the applet: then it goes at the next restart.
  Delete /REBOOTOK "$SYSDIR\Ollenset.cpl"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKLM "${MAKER_KEY}"
  ; The settings and the debug trace of the user who uninstalls; other users' own keys and folders
  ; are theirs.
  DeleteRegKey HKCU "${PROGRAM_KEY}"
  DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
  SetShellVarContext current
  Delete "$LOCALAPPDATA\${PRODUCT}\qm.tray.dbg"
  Delete "$LOCALAPPDATA\${PRODUCT}\qm.tray.old.dbg"
  RMDir "$LOCALAPPDATA\${PRODUCT}"
  SetShellVarContext all

  ; An older version kept its trace, "\qm.tray.dbg", in the root of the system drive.
  ReadEnvStr $0 "SystemDrive"
  ${If} $0 == ""
    StrCpy $0 $WINDIR 2
  ${EndIf}
  Delete "$0\qm.tray.dbg"
SectionEnd

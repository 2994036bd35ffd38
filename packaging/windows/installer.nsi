; The Windows installer, vorbelzoz-setup.exe: one learner's program, in
; %LOCALAPPDATA%\Programs\Vorbelzoz, without administrator rights.
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DLIST_DIR=<folder of
;     installed_files.nsh> -DICON=<vorbelzoz.ico> [-DSIDE_BITMAP=<164x314 .bmp>]
;     -DOUTFILE=<setup.exe> installer.nsi
;
; The program folder is also the learner's folder: banks, mp3\, 日志\ and
; 学习记录.db live beside the program. So the installer records each file it
; installs, with its SHA-256, in install-record.ini there, and an update or
; the uninstaller only touches what that record lists:
; * the programs, the guide, the sound effects, the service data and the
;   licences are the program's own: always replaced, always removed;
; * a bundled bank is written where none is, or over the copy an earlier
;   install left unchanged (its hash is still the recorded one). A bank that
;   differs is the learner's and stays untouched; one the learner removed
;   stays removed;
; * a file an earlier version installed that this one no longer bundles
;   (a bank moved to another folder) is removed, unless the learner changed
;   it; its folder goes too once empty;
; * anything the record does not list (the learner's banks, mp3\, 日志\,
;   学习记录.db, vorbelzoz.ini) is never touched.

Unicode true
; The 64-bit stub: the 32-bit one does not run under a 64-bit-only Wine.
Target amd64-unicode
; The dictionary is most of the size; one solid LZMA stream packs it best.
SetCompressor /SOLID lzma
SetCompressorDictSize 32
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!ifndef VERSION | LIST_DIR | ICON | OUTFILE
  !error "VERSION, LIST_DIR, ICON and OUTFILE must be defined (-D)"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorbelzoz"
!define SETTINGS_KEY "Software\Vorbelzoz"
!define RECORD "install-record.ini"
!define PUBLISHER "The Vorbelzoz developers"
; Far above any bank; a larger file is not one the installer put there.
!define LARGEST_HASHED 16777216

; One name per language, the Start menu's: 英语听写 on Chinese pages.
Name "$(VZ_SHORTCUT)"
BrandingText "$(VZ_SHORTCUT) ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Vorbelzoz"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh

Var NewRecord
Var OldRecord

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!ifdef SIDE_BITMAP
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_BITMAP}"
!endif
!define MUI_FINISHPAGE_RUN "$INSTDIR\vorbelzoz.exe"
; The program's own words instead of the stock ones about system files and
; rebooting, which do not apply to a program installed for one learner.
!define MUI_WELCOMEPAGE_TEXT "$(VZ_WELCOME)"
!define MUI_FINISHPAGE_TEXT "$(VZ_FINISHED)"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(VZ_UNINSTALL_KEEPS)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the system's language without asking: a language
; dialog would itself be in one language only. The first is the one for
; systems in neither language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

; The Start-menu entry is named as the Linux menu entry is
; (packaging/vorbelzoz.desktop: Name, Name[zh_CN] and Comment).
LangString VZ_SHORTCUT ${LANG_ENGLISH} "Vorbelzoz"
LangString VZ_SHORTCUT ${LANG_SIMPCHINESE} "英语听写"
LangString VZ_COMMENT ${LANG_ENGLISH} "Hear English words, type their spelling and see what went wrong"
LangString VZ_COMMENT ${LANG_SIMPCHINESE} "听单词发音，拼写单词，查看错误报告"
LangString VZ_WELCOME ${LANG_ENGLISH} "This installs Vorbelzoz ${VERSION}, an English dictation trainer, for you alone: no administrator rights are needed.$\r$\n$\r$\nIf Vorbelzoz is open, close it before you go on. Your own banks, pronunciations, reports and learning record are kept.$\r$\n$\r$\nClick Next to continue."
LangString VZ_WELCOME ${LANG_SIMPCHINESE} "将为当前用户安装英语听写 ${VERSION}（英语单词听写练习程序），不需要管理员权限。$\r$\n$\r$\n如果英语听写正在运行，请先关闭它。你自己的词库、发音缓存、练习报告和学习记录都会保留。$\r$\n$\r$\n点击“下一步”继续。"
LangString VZ_FINISHED ${LANG_ENGLISH} "Vorbelzoz is installed. Start it from the Start menu: choose a word bank, listen and type each word.$\r$\n$\r$\nClick Finish to close this wizard."
LangString VZ_FINISHED ${LANG_SIMPCHINESE} "英语听写已安装完成。可以从开始菜单启动它：选择词库，听发音，拼写单词。$\r$\n$\r$\n点击“完成”关闭安装向导。"
LangString VZ_UNINSTALL_KEEPS ${LANG_ENGLISH} "Vorbelzoz will be removed from the folder below. Your own files stay there: the banks you made or changed in 单词表\, the pronunciations in mp3\, the reports in 日志\ and the learning record 学习记录.db."
LangString VZ_UNINSTALL_KEEPS ${LANG_SIMPCHINESE} "将从下面的文件夹卸载英语听写。你自己的文件会保留在该文件夹中：单词表\ 中你新建或改过的词库、mp3\ 中的发音缓存、日志\ 中的练习报告，以及学习记录 学习记录.db。"
LangString VZ_CLOSE_PROGRAM ${LANG_ENGLISH} "Vorbelzoz is running from $INSTDIR.$\r$\nClose it, then choose Retry."
LangString VZ_CLOSE_PROGRAM ${LANG_SIMPCHINESE} "英语听写正在运行（$INSTDIR）。$\r$\n请先关闭它，再点“重试”。"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Vorbelzoz"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Vorbelzoz English dictation trainer setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 the Vorbelzoz developers"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "英语听写"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "英语听写安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "Vorbelzoz 开发者"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "版权所有 (C) 2026 Vorbelzoz 开发者"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"

; ---------------------------------------------------------------------------
; Functions both the installer and the uninstaller use ("un." for the latter).

; $0 in: a file's path; $0 out: its SHA-256 in hex, or "" when it cannot be
; read or is too large to be a bank.
!macro VZ_FILE_HASH un
Function ${un}FileHash
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $6 ""
  System::Call 'kernel32::CreateFileW(w r0, i 0x80000000, i 1, p 0, i 3, i 0, p 0) p .r1'
  ${If} $1 P<> -1
    System::Call 'kernel32::GetFileSize(p r1, *i 0 r3) i .r2'
    ${If} $3 = 0
    ${AndIf} $2 >= 0
    ${AndIf} $2 <= ${LARGEST_HASHED}
      IntOp $3 $2 + 1
      System::Alloc $3
      Pop $3
      System::Call 'kernel32::ReadFile(p r1, p r3, i r2, *i 0 r4, p 0) i .r0'
      ${If} $0 <> 0
      ${AndIf} $4 = $2
        ; PROV_RSA_AES (24), CRYPT_VERIFYCONTEXT: no key container needed.
        System::Call 'advapi32::CryptAcquireContextW(*p 0 r4, p 0, p 0, i 24, i 0xF0000000) i .r0'
        ${If} $0 <> 0
          ; CALG_SHA_256
          System::Call 'advapi32::CryptCreateHash(p r4, i 0x800C, p 0, i 0, *p 0 r5) i .r0'
          ${If} $0 <> 0
            System::Call 'advapi32::CryptHashData(p r5, p r3, i r2, i 0) i .r0'
            System::Alloc 32
            Pop $2
            ; HP_HASHVAL, then the digest as bare hex (CRYPT_STRING_HEXRAW | NOCRLF)
            System::Call 'advapi32::CryptGetHashParam(p r5, i 2, p r2, *i 32, i 0) i .r0'
            ${If} $0 <> 0
              System::Call 'crypt32::CryptBinaryToStringW(p r2, i 32, i 0x4000000C, w .r6, *i ${NSIS_MAX_STRLEN}) i .r0'
              ${If} $0 = 0
                StrCpy $6 ""
              ${EndIf}
            ${EndIf}
            System::Free $2
            System::Call 'advapi32::CryptDestroyHash(p r5)'
          ${EndIf}
          System::Call 'advapi32::CryptReleaseContext(p r4, i 0)'
        ${EndIf}
      ${EndIf}
      System::Free $3
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 $6
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd
!macroend

; Removes the empty folders above a removed file ($R7, relative to $INSTDIR),
; from the innermost out; stops at the first that is not empty.
!macro VZ_REMOVE_EMPTY_FOLDERS un
Function ${un}RemoveEmptyFolders
  Push $R7
  ${Do}
    ${GetParent} $R7 $R7
    ${If} $R7 == ""
      ${Break}
    ${EndIf}
    ClearErrors
    RMDir "$INSTDIR\$R7"
    ${If} ${Errors}
      ${Break}
    ${EndIf}
  ${Loop}
  Pop $R7
FunctionEnd
!macroend

; $0 is 1 when the record's path $R7 names a file below $INSTDIR: not
; empty, not absolute, no "..". A damaged record removes nothing elsewhere.
!macro VZ_INSIDE_INSTALL_FOLDER un
Function ${un}InsideInstallFolder
  Push $1
  Push $2
  StrCpy $0 0
  StrCpy $1 $R7 1
  StrCpy $2 $R7 1 1
  ${If} $R7 == ""
  ${OrIf} $1 == "\"
  ${OrIf} $1 == "/"
  ${OrIf} $2 == ":"
    Goto done
  ${EndIf}
  StrLen $2 $R7
  ${ForEach} $1 0 $2 + 1
    StrCpy $0 $R7 2 $1
    ${If} $0 == ".."
      StrCpy $0 0
      Goto done
    ${EndIf}
  ${Next}
  StrCpy $0 1
  done:
  Pop $2
  Pop $1
FunctionEnd
!macroend

; Removes what the record $R4 lists, except what the record $R3 lists as
; installed now ($R3 is "" when uninstalling): the program's files at once,
; a bank only while it is as the installer left it. A record line is
; "path=sha256" under [program] or [banks].
!macro VZ_REMOVE_RECORDED un
Function ${un}RemoveRecorded
  ClearErrors
  FileOpen $R5 $R4 r
  ${If} ${Errors}
    Return
  ${EndIf}
  StrCpy $R6 ""
  ${Do}
    ClearErrors
    FileReadUTF16LE $R5 $R7
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    ${TrimNewLines} $R7 $R7
    StrCpy $R8 $R7 1
    ${If} $R8 == "["
      StrCpy $R6 $R7 -1 1
      ${Continue}
    ${EndIf}
    ${If} $R6 != "program"
    ${AndIf} $R6 != "banks"
      ${Continue}
    ${EndIf}
    StrCpy $R8 $R7 "" -64
    StrCpy $R7 $R7 -65
    Call ${un}InsideInstallFolder
    ${If} $0 != 1
      ${Continue}
    ${EndIf}
    ${If} $R3 != ""
      ReadINIStr $0 $R3 $R6 $R7
      ${If} $0 != ""
        ${Continue}
      ${EndIf}
    ${EndIf}
    ${If} $R6 == "banks"
      StrCpy $0 "$INSTDIR\$R7"
      Call ${un}FileHash
      ${If} $0 != $R8
        ${Continue}
      ${EndIf}
    ${EndIf}
    Delete "$INSTDIR\$R7"
    Call ${un}RemoveEmptyFolders
  ${Loop}
  FileClose $R5
FunctionEnd
!macroend

; Windows keeps a running program's file open: asks the learner to close
; the program (and its service) before files are replaced or removed.
!macro VZ_CLOSE_PROGRAM_FIRST un
Function ${un}CloseProgramFirst
  ${ForEach} $1 0 1 + 1
    ${If} $1 = 0
      StrCpy $2 "$INSTDIR\vorbelzoz.exe"
    ${Else}
      StrCpy $2 "$INSTDIR\vorbelzoz_service.exe"
    ${EndIf}
    ${Do}
      ${IfNot} ${FileExists} $2
        ${Break}
      ${EndIf}
      ClearErrors
      FileOpen $0 $2 a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VZ_CLOSE_PROGRAM)" /SD IDCANCEL IDRETRY +2
      Abort
    ${Loop}
  ${Next}
FunctionEnd
!macroend

!insertmacro VZ_FILE_HASH ""
!insertmacro VZ_FILE_HASH "un."
!insertmacro VZ_REMOVE_EMPTY_FOLDERS ""
!insertmacro VZ_REMOVE_EMPTY_FOLDERS "un."
!insertmacro VZ_INSIDE_INSTALL_FOLDER ""
!insertmacro VZ_INSIDE_INSTALL_FOLDER "un."
!insertmacro VZ_REMOVE_RECORDED ""
!insertmacro VZ_REMOVE_RECORDED "un."
!insertmacro VZ_CLOSE_PROGRAM_FIRST ""
!insertmacro VZ_CLOSE_PROGRAM_FIRST "un."

; ---------------------------------------------------------------------------
; Installing

; Whether the bundled bank $R1 (hash $R2) is to be written: $R0 is 1 when
; it is new or the earlier install's copy is unchanged, 0 when the file
; there is already this one, is the learner's, or was installed before and
; removed by the learner. Records it as installed unless it is the
; learner's; a removed one stays recorded, so later updates leave it out too.
Function BankWanted
  StrCpy $R0 0
  ReadINIStr $1 $OldRecord banks $R1
  ${If} ${FileExists} "$INSTDIR\$R1"
    StrCpy $0 "$INSTDIR\$R1"
    Call FileHash
    ${If} $0 != $R2
      ${If} $1 == ""
      ${OrIf} $0 != $1
        Return
      ${EndIf}
      StrCpy $R0 1
    ${EndIf}
  ${ElseIf} $1 == ""
    StrCpy $R0 1
  ${EndIf}
  WriteINIStr $NewRecord banks $R1 $R2
FunctionEnd

; The lines of the generated list (tools/make_installer_list.py):
; path below $INSTDIR, SHA-256, its folder, its name, the file on the build machine.
!macro VZ_PROGRAM_FILE path hash folder name source
  !if "${folder}" == ""
    SetOutPath "$INSTDIR"
  !else
    SetOutPath "$INSTDIR\${folder}"
  !endif
  File "/oname=${name}" "${source}"
  WriteINIStr $NewRecord program "${path}" "${hash}"
!macroend

; A bank is unpacked beside its place and moved there in one step, so an
; install cut off midway leaves no half bank that would later pass for one
; the learner changed; the temporary name is one the program neither lists
; nor keeps.
!macro VZ_BANK_FILE path hash folder name source
  StrCpy $R1 "${path}"
  StrCpy $R2 "${hash}"
  Call BankWanted
  ${If} $R0 = 1
    SetOutPath "$INSTDIR\${folder}"
    File "/oname=${name}~1.tmp" "${source}"
    StrCpy $0 "$INSTDIR\${path}"
    Call MoveIntoPlace
  ${EndIf}
!macroend

; Moves "$0~1.tmp" to $0, replacing what is there; stops the install if it cannot.
Function MoveIntoPlace
  System::Call 'kernel32::MoveFileExW(w "$0~1.tmp", w r0, i 1) i .r1'
  ${If} $1 = 0
    Delete "$0~1.tmp"
    Abort "$(^ErrorCreating)$0"
  ${EndIf}
FunctionEnd

!include "${LIST_DIR}/installed_files.nsh"

Section "Vorbelzoz"
  SectionIn RO
  SetShellVarContext current
  Call CloseProgramFirst
  InitPluginsDir
  StrCpy $OldRecord "$PLUGINSDIR\old-record.ini"
  StrCpy $NewRecord "$PLUGINSDIR\new-record.ini"
  ${If} ${FileExists} "$INSTDIR\${RECORD}"
    CopyFiles /SILENT "$INSTDIR\${RECORD}" $OldRecord
  ${EndIf}
  ; Written as UTF-16 (the byte-order mark tells Windows to keep it so):
  ; the paths are Chinese, whatever the system's code page.
  FileOpen $0 $NewRecord w
  FileWriteUTF16LE /BOM $0 "; What the Vorbelzoz installer installed here, with SHA-256.$\r$\n"
  FileClose $0

  !insertmacro VZ_INSTALL_PROGRAM
  !insertmacro VZ_INSTALL_BANKS
  CreateDirectory "$INSTDIR\mp3"
  CreateDirectory "$INSTDIR\日志"
  FlushINI $NewRecord
  StrCpy $R4 $OldRecord
  StrCpy $R3 $NewRecord
  Call RemoveRecorded

  SetOutPath "$INSTDIR"
  StrCpy $1 "$SMPROGRAMS\$(VZ_SHORTCUT).lnk"
  CreateShortcut $1 "$INSTDIR\vorbelzoz.exe" "" "$INSTDIR\vorbelzoz.exe" 0 SW_SHOWNORMAL "" "$(VZ_COMMENT)"
  ; An earlier install in the other language named its entry otherwise.
  ReadINIStr $0 $OldRecord "start menu" shortcut
  ${If} $0 != ""
  ${AndIf} $0 != $1
    Delete $0
  ${EndIf}
  WriteINIStr $NewRecord "start menu" shortcut $1

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "$(VZ_SHORTCUT)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vorbelzoz.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${VZ_INSTALLED_KB}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; The record last, and in one step: until everything is in place, the
  ; earlier one stands.
  FlushINI $NewRecord
  SetFileAttributes "$INSTDIR\${RECORD}" NORMAL
  CopyFiles /SILENT $NewRecord "$INSTDIR\${RECORD}~1.tmp"
  StrCpy $0 "$INSTDIR\${RECORD}"
  Call MoveIntoPlace
  SetFileAttributes "$INSTDIR\${RECORD}" HIDDEN
SectionEnd

; ---------------------------------------------------------------------------
; Uninstalling

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseProgramFirst
  StrCpy $R4 "$INSTDIR\${RECORD}"
  StrCpy $R3 ""
  Call un.RemoveRecorded
  ReadINIStr $0 "$INSTDIR\${RECORD}" "start menu" shortcut
  ${If} $0 != ""
    Delete $0
  ${EndIf}
  SetFileAttributes "$INSTDIR\${RECORD}" NORMAL
  Delete "$INSTDIR\${RECORD}"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: the learner's banks, mp3\, 日志\ and the record stay,
  ; and so does the folder that holds them.
  RMDir "$INSTDIR\单词表"
  RMDir "$INSTDIR\mp3"
  RMDir "$INSTDIR\日志"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Earlier installers kept the language chosen in their dialog there.
  DeleteRegValue HKCU "${SETTINGS_KEY}" "Installer Language"
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
SectionEnd

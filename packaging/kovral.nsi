; Installer of the Windows program, built by scripts/make_dist.sh from the
; assembled installation folder:
;   makensis -DDIST=<folder> -DSKIN_LIST=<skins.nsh> -DVERSION=1.0.0 -DBUILD_ID=<commit>
;            -DOUTFILE=<Kovral-setup.exe> packaging/kovral.nsi
; SKIN_LIST defines the macros KovralInstallSkins and KovralRemoveSkins with one
; line per bundled picture, so the uninstaller removes exactly the pictures it
; brought and leaves skins the user added.
;
; The installation is per user, in a folder the user owns: the program writes
; config.bin, str.ini and record.ini beside its executable, so it must never
; land in a folder that needs administrator rights.
;
; Switches: /S silent; /NORUN leaves out "Start Kovral when Windows starts".
; Uninstall.exe: /S silent, keeps the settings; /S /REMOVESETTINGS deletes them.
; The settings are config.bin, str.ini, record.ini and the profiles the
; program keeps in the Profiles folder beside it: an upgrade never touches
; that folder, and the uninstaller's question covers it.
; Both end with exit code 2 and change nothing when the program is running
; and the user cannot be asked to exit it (silent mode).

Unicode true
; 64-bit like the program, which needs an x64 Windows anyway; a 32-bit
; installer would also need Wine's 32-bit half to be tested.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!ifndef DIST
  !error "define DIST, the assembled installation folder"
!endif
!ifndef SKIN_LIST
  !error "define SKIN_LIST, the generated list of bundled skin pictures"
!endif
!ifndef OUTFILE
  !define OUTFILE "Kovral-setup.exe"
!endif
!ifndef VERSION
  !define VERSION "1.0.0"
!endif
!ifdef BUILD_ID
  !define DISPLAY_VERSION "${VERSION} (${BUILD_ID})"
!else
  !define DISPLAY_VERSION "${VERSION}"
!endif

!define EXE "KALVORIN_DRX_Driver.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovral"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Kovral"
; The program's single-instance mutex: it exists while the program runs.
!define MUTEX "KV-305Mutex"
!define SYNCHRONIZE 0x00100000
; Where the program writes config.bin before moving it over the old one
; (config.bin.tmp<process id>); a killed program can leave one behind.
!define CONFIG_TEMP "config.bin.tmp*"

!include "${SKIN_LIST}"

Name "Kovral"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kovral"
; An upgrade goes where the registered installation is.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel user
BrandingText "Kovral ${DISPLAY_VERSION}"

!define MUI_ICON "${__FILEDIR__}\..\src\app\kovral.ico"
!define MUI_UNICON "${__FILEDIR__}\..\src\app\kovral.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the system's is none of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString SecProgramName ${LANG_ENGLISH} "Kovral"
LangString SecProgramName ${LANG_SIMPCHINESE} "Kovral"
LangString SecProgramName ${LANG_TRADCHINESE} "Kovral"
LangString SecProgramDesc ${LANG_ENGLISH} "The program and its skins (required). Settings you already have (config.bin, str.ini, record.ini) are kept."
LangString SecProgramDesc ${LANG_SIMPCHINESE} "程序及其皮肤（必需）。已有的设置（config.bin、str.ini、record.ini）保持不变。"
LangString SecProgramDesc ${LANG_TRADCHINESE} "程式及其外觀（必要）。現有的設定（config.bin、str.ini、record.ini）保持不變。"
LangString SecRunName ${LANG_ENGLISH} "Start Kovral when Windows starts"
LangString SecRunName ${LANG_SIMPCHINESE} "Windows 启动时启动 Kovral"
LangString SecRunName ${LANG_TRADCHINESE} "Windows 啟動時啟動 Kovral"
LangString SecRunDesc ${LANG_ENGLISH} "Kovral starts in the notification area when you sign in to Windows. Its menu item $\"Start with Windows$\" turns this on and off later."
LangString SecRunDesc ${LANG_SIMPCHINESE} "登录 Windows 时，Kovral 在通知区域启动。以后可用其菜单项“开机时启动”打开或关闭。"
LangString SecRunDesc ${LANG_TRADCHINESE} "登入 Windows 時，Kovral 在通知區域啟動。日後可用其功能表項目「開機時啟動」開啟或關閉。"
LangString MsgRunning ${LANG_ENGLISH} "Kovral is running. Exit it first: right-click its icon in the notification area and choose $\"Exit$\". Then click Retry."
LangString MsgRunning ${LANG_SIMPCHINESE} "Kovral 正在运行。请先退出：右键单击通知区域中的 Kovral 图标，选择“退出”，然后单击“重试”。"
LangString MsgRunning ${LANG_TRADCHINESE} "Kovral 正在執行。請先結束：在通知區域中以滑鼠右鍵按一下 Kovral 圖示，選擇「退出」，然後按一下「重試」。"
LangString MsgKeep ${LANG_ENGLISH} "Keep your settings (config.bin, record.ini, str.ini and the profiles in Profiles)?$\r$\n$\r$\nYes leaves them in $INSTDIR, so that a later installation uses them again. No deletes them."
LangString MsgKeep ${LANG_SIMPCHINESE} "保留您的设置（config.bin、record.ini、str.ini 和 Profiles 中的配置文件）吗？$\r$\n$\r$\n“是”将它们留在 $INSTDIR 中，以后重新安装时会继续使用。“否”将删除它们。"
LangString MsgKeep ${LANG_TRADCHINESE} "保留您的設定（config.bin、record.ini、str.ini 和 Profiles 中的設定檔）嗎？$\r$\n$\r$\n「是」將它們留在 $INSTDIR 中，日後重新安裝時會繼續使用。「否」將刪除它們。"
LangString MsgNotWritable ${LANG_ENGLISH} "Kovral cannot write to $INSTDIR. The program keeps its settings beside itself, so it needs a folder you can write to."
LangString MsgNotWritable ${LANG_SIMPCHINESE} "无法写入 $INSTDIR。Kovral 将设置保存在程序旁边，因此需要一个您可以写入的文件夹。"
LangString MsgNotWritable ${LANG_TRADCHINESE} "無法寫入 $INSTDIR。Kovral 會將設定儲存在程式旁邊，因此需要一個您可以寫入的資料夾。"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Kovral"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "Kovral"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Kovral Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${DISPLAY_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Kovral"

; ---------------------------------------------------------------------------
; Functions both the installer and the uninstaller use; PREFIX is "" or "un.".

!macro KovralFunctions PREFIX
; Returns once the program is not running. While it is, asks the user to exit
; it (Retry/Cancel); Cancel, and silent mode, end the run with exit code 2
; before anything was changed.
Function ${PREFIX}WaitUntilNotRunning
  Push $0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${MUTEX}") p .r0'
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(MsgRunning)" /SD IDCANCEL IDRETRY retry
    Pop $0
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
  Pop $0
FunctionEnd

; Removes the Run value when it starts this installation's executable, the way
; the program itself reads it: the command's program part (quoted, or up to
; the first blank) equals the path without regard to case. A value naming
; another copy of the program belongs to that copy and stays.
Function ${PREFIX}RemoveOwnRunValue
  Push $0
  Push $1
  Push $2
  Push $3
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${IfNot} ${Errors}
    ${Do}
      StrCpy $1 $0 1
      ${IfThen} $1 != " " ${|} ${ExitDo} ${|}
      StrCpy $0 $0 "" 1
    ${Loop}
    StrCpy $2 " "
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
      StrCpy $2 '"'
    ${EndIf}
    ; $1: the program part, up to the first $2 (a closing quote must be there).
    StrCpy $1 0
    ${Do}
      StrCpy $3 $0 1 $1
      ${If} $3 == ""
        ${IfThen} $2 == '"' ${|} StrCpy $1 -1 ${|}
        ${ExitDo}
      ${EndIf}
      ${IfThen} $3 == $2 ${|} ${ExitDo} ${|}
      IntOp $1 $1 + 1
    ${Loop}
    ${If} $1 > 0
      StrCpy $0 $0 $1
      ${If} $0 == "$INSTDIR\${EXE}"
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend

!insertmacro KovralFunctions ""
!insertmacro KovralFunctions "un."

; ---------------------------------------------------------------------------

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  ; Asked again: the program may have been started while the pages were up.
  Call WaitUntilNotRunning

  CreateDirectory "$INSTDIR"
  ClearErrors
  FileOpen $0 "$INSTDIR\kovral-write-check.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(MsgNotWritable)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\kovral-write-check.tmp"

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${DIST}\${EXE}"
  !insertmacro KovralInstallSkins
  ; The user's settings: the bundled ones only where there are none yet.
  SetOutPath "$INSTDIR"
  SetOverwrite off
  File "${DIST}\config.bin"
  File "${DIST}\str.ini"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\Kovral.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Kovral"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${DISPLAY_VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Kovral"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SecRunName)" SecRun
  ; The form the program's own menu item writes and recognises.
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}"'
SectionEnd

Section "-RunOff"
  ${IfNot} ${SectionIsSelected} ${SecRun}
    Call RemoveOwnRunValue
  ${EndIf}
SectionEnd

; After the sections: it names one of them.
Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NORUN" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecRun}
  ${EndIf}
  Call WaitUntilNotRunning
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SecProgramDesc)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecRun} "$(SecRunDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---------------------------------------------------------------------------

Function un.onInit
  Call un.WaitUntilNotRunning
FunctionEnd

Section "Uninstall"
  SetAutoClose true
  Call un.WaitUntilNotRunning

  ; Silent mode keeps the settings unless /REMOVESETTINGS says otherwise.
  StrCpy $R0 keep
  ${If} ${Silent}
    ${un.GetParameters} $R1
    ClearErrors
    ${un.GetOptions} $R1 "/REMOVESETTINGS" $R2
    ${IfNot} ${Errors}
      StrCpy $R0 remove
    ${EndIf}
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION "$(MsgKeep)" IDYES keep_settings
    StrCpy $R0 remove
    keep_settings:
  ${EndIf}

  Delete "$INSTDIR\${EXE}"
  !insertmacro KovralRemoveSkins
  ; Never read by the program: a leftover of one that was killed while saving.
  Delete "$INSTDIR\${CONFIG_TEMP}"
  ; The copy of a shown profile's macros lives for one run of the program.
  Delete "$INSTDIR\profile-record.ini"
  ${If} $R0 == remove
    Delete "$INSTDIR\config.bin"
    Delete "$INSTDIR\str.ini"
    Delete "$INSTDIR\record.ini"
    ; What the mouse was last sent, for the next start; gone with the settings.
    Delete "$INSTDIR\mouse-profile.txt"
    ; The profiles and what a killed save of one left; the folder goes only
    ; when nothing else of the user's is in it.
    Delete "$INSTDIR\Profiles\*.kvprofile"
    Delete "$INSTDIR\Profiles\*.kvprofile.tmp*"
    RMDir "$INSTDIR\Profiles"
  ${EndIf}

  Call un.RemoveOwnRunValue
  ; The shortcut and the key belong to the registered installation: when that
  ; is another folder (installed there later), they stay.
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
    SetShellVarContext current
    Delete "$SMPROGRAMS\Kovral.lnk"
    DeleteRegKey HKCU "${UNINST_KEY}"
  ${EndIf}

  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: skins and files the user added stay where they were.
  RMDir "$INSTDIR"
SectionEnd

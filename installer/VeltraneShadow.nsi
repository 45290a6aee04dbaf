; Setup of the Veltrane shadow-system settings program (32-bit, per machine).
;
; Built by the win32 build (installer/CMakeLists.txt), which passes:
;   VERSION      the product version, three parts (1.5.0)
;   PROGRAM_EXE  the built VeltraneShadow.exe
;   CTL_EXE      the built veltrane-ctl.exe, the console program for scripted deployment
;   EVAL_DLL     the built simulated ZELK.dll
;   ICON         the program's icon
;   OUTFILE      the setup file to write
;
; Switches: /S silent, /EVAL also installs the simulated driver library, /D=DIR install folder
; (last on the line). The uninstaller takes /S.

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!macro RequireDefine NAME
  !ifndef ${NAME}
    !error "${NAME} must be given on the makensis command line (/D${NAME}=...)"
  !endif
!macroend
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine PROGRAM_EXE
!insertmacro RequireDefine EVAL_DLL
!insertmacro RequireDefine ICON
!insertmacro RequireDefine OUTFILE

; The setup's version and the program's version record must agree.
!getdllversion "${PROGRAM_EXE}" PROGRAM_VERSION_
!if "${PROGRAM_VERSION_1}.${PROGRAM_VERSION_2}.${PROGRAM_VERSION_3}" != "${VERSION}"
  !error "VeltraneShadow.exe has file version ${PROGRAM_VERSION_1}.${PROGRAM_VERSION_2}.${PROGRAM_VERSION_3}, the build says ${VERSION}"
!endif

!define PRODUCT_NAME "Veltrane影子系统"
!define PUBLISHER "Veltrane 软件工作室"
!define PROGRAM "VeltraneShadow.exe"
!define CTL "veltrane-ctl.exe"
!define DRIVER_LIBRARY "ZELK.dll"
; The simulated library keeps its state in this file beside itself.
!define EVAL_STATE "ZELK.ini"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VeltraneShadow"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "VeltraneShadow"
; Set to 1 in the uninstall entry when this setup put the simulated library in place.
!define EVAL_MARK "EvalDriverLibrary"
; The program's presence markers (local and global namespace).
!define PRESENCE_MUTEX "QDN_RUNNINGRADIX"
!define SYNCHRONIZE 0x00100000
!define LANG_ENGLISH 1033
!define LANG_SIMPCHINESE 2052

Name "$(ProductName)"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES32\Veltrane"
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT_NAME} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT_NAME} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "(C) ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: it is what a system in any language other than those listed gets.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString ProductName ${LANG_ENGLISH} "Veltrane Shadow System"
LangString ProductName ${LANG_SIMPCHINESE} "${PRODUCT_NAME}"
LangString WelcomeText ${LANG_ENGLISH} "This wizard installs the settings program of the Veltrane Shadow System ${VERSION}. It sits in the notification area and sets the protected partitions, the work mode and the administrator password.$\r$\n$\r$\nIt starts right after the installation and at every logon of every user. The protection driver comes with its own setup.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_SIMPCHINESE} "此向导将在本机安装 ${PRODUCT_NAME} ${VERSION} 的设置程序。它常驻通知区域，用于选择受保护的分区、切换工作模式和修改管理员密码。$\r$\n$\r$\n安装完成后它会立即启动，并在每个用户登录时自动启动。保护驱动由其自身的安装程序安装。$\r$\n$\r$\n点击 [下一步(N)] 继续。"
LangString SecProgramName ${LANG_ENGLISH} "Settings program"
LangString SecProgramName ${LANG_SIMPCHINESE} "设置程序"
LangString SecProgramText ${LANG_ENGLISH} "The tray program that configures the protection driver. It starts at every logon."
LangString SecProgramText ${LANG_SIMPCHINESE} "配置保护驱动的托盘程序，每次登录时自动启动。"
LangString SecEvalName ${LANG_ENGLISH} "Simulated driver library (evaluation without the driver)"
LangString SecEvalName ${LANG_SIMPCHINESE} "模拟驱动库（无驱动评估）"
LangString SecEvalText ${LANG_ENGLISH} "Only for trying the program on a machine without the driver. Never installed where a driver library is present."
LangString SecEvalText ${LANG_SIMPCHINESE} "仅用于在未安装驱动的计算机上试用本程序。已有驱动库时不会安装。"
LangString EvalSkipped ${LANG_ENGLISH} "A driver library is already present; the simulated one is not installed."
LangString EvalSkipped ${LANG_SIMPCHINESE} "已存在驱动库，未安装模拟驱动库。"
LangString NeedsAdmin ${LANG_ENGLISH} "Installing ${PRODUCT_NAME} needs an administrator."
LangString NeedsAdmin ${LANG_SIMPCHINESE} "安装${PRODUCT_NAME}需要管理员权限。"
LangString Running ${LANG_ENGLISH} "${PRODUCT_NAME} is running.$\r$\n$\r$\nQuit it first: right-click its icon in the notification area, choose $\"退出程序$\" (Quit) and give the password. Then click Retry."
LangString Running ${LANG_SIMPCHINESE} "${PRODUCT_NAME}正在运行。$\r$\n$\r$\n请先退出：右键单击通知区域中的图标，选择“退出程序”并输入密码，然后单击“重试”。"

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetRegView 32
  SetOutPath "$INSTDIR"

  ; A running copy (an update during a silent install) is replaced at the next restart.
  SetOverwrite try
  ClearErrors
  File "/oname=${PROGRAM}" "${PROGRAM_EXE}"
  ${If} ${Errors}
    SetOverwrite on
    File "/oname=${PROGRAM}.new" "${PROGRAM_EXE}"
    Rename /REBOOTOK "$INSTDIR\${PROGRAM}.new" "$INSTDIR\${PROGRAM}"
  ${EndIf}
  SetOverwrite on
  File "/oname=${CTL}" "${CTL_EXE}"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${PROGRAM}"'
SectionEnd

Section /o "$(SecEvalName)" SecEval
  SetRegView 32
  ; The driver's library may sit beside the program or on the system path; a simulated one here
  ; would be loaded in its place, so it is installed only where there is none at all.
  ${If} ${FileExists} "$INSTDIR\${DRIVER_LIBRARY}"
  ${OrIf} ${FileExists} "$SYSDIR\${DRIVER_LIBRARY}"
    DetailPrint "$(EvalSkipped)"
  ${Else}
    SetOutPath "$INSTDIR"
    File "/oname=${DRIVER_LIBRARY}" "${EVAL_DLL}"
    WriteRegDWORD HKLM "${UNINST_KEY}" "${EVAL_MARK}" 1
    ; The library writes its state file on first use; the program usually runs without the rights to
    ; write here, so it is made now, once, while the setup may.
    ReadEnvStr $R0 ZELK_SIM_STATE
    System::Call 'kernel32::SetEnvironmentVariableW(w "ZELK_SIM_STATE", p 0)'
    System::Call '"$INSTDIR\${DRIVER_LIBRARY}"::fcGetProtection() i ?u'
    ${If} $R0 != ""
      System::Call 'kernel32::SetEnvironmentVariableW(w "ZELK_SIM_STATE", w R0)'
    ${EndIf}
  ${EndIf}
SectionEnd

Section "-Uninstall entry and first start"
  SetRegView 32
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0

  ; Started here rather than from a finish-page check box, so that a silent install starts it too.
  ; A copy that already runs makes this one end at once.
  Exec '"$INSTDIR\${PROGRAM}"'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(SecProgramText)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecEval} "$(SecEvalText)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Chinese for a Chinese user interface (any region), English for every other.
!macro ChooseLanguage
  System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 0x04
    StrCpy $LANGUAGE ${LANG_SIMPCHINESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

; Sets $0 to 1 while a copy of the program runs in any session, else 0. Both names are tried: a
; copy started without the right to create global objects has only the local one.
!macro TestMutex NAME
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${NAME}") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $0 1
  ${EndIf}
!macroend
!macro ProgramRunning
  StrCpy $0 0
  !insertmacro TestMutex "Global\${PRESENCE_MUTEX}"
  !insertmacro TestMutex "${PRESENCE_MUTEX}"
!macroend

; Interactively, waits until the user has quit the program (Retry) or gives up (Cancel: quits).
; Silently it goes on: files in use are replaced or removed at the next restart.
!macro AskToQuitProgram
  ${IfNot} ${Silent}
    ${Do}
      !insertmacro ProgramRunning
      ${If} $0 = 0
        ${Break}
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(Running)" IDRETRY +2
      Quit
    ${Loop}
  ${EndIf}
!macroend

Function .onInit
  SetRegView 32
  !insertmacro ChooseLanguage
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/EVAL" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecEval}
  ${EndIf}
  !insertmacro AskToQuitProgram
FunctionEnd

Function un.onInit
  SetRegView 32
  !insertmacro ChooseLanguage
  !insertmacro AskToQuitProgram
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 32

  ReadRegDWORD $0 HKLM "${UNINST_KEY}" "${EVAL_MARK}"
  ${If} $0 = 1
    Delete /REBOOTOK "$INSTDIR\${DRIVER_LIBRARY}"
    Delete "$INSTDIR\${EVAL_STATE}"
  ${EndIf}
  Delete /REBOOTOK "$INSTDIR\${PROGRAM}"
  Delete "$INSTDIR\${PROGRAM}.new"
  Delete /REBOOTOK "$INSTDIR\${CTL}"
  Delete "${SHORTCUT}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINST_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a driver library the setup did not install stays, and so does its folder.
  ${If} ${RebootFlag}
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd

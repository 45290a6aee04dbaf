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
; (last on the line), /ANYDIR accepts a folder outside Program Files. The uninstaller takes /S.
;
; TARGET_AMD64 makes a 64-bit setup of the same script, for the tests on machines that run no 32-bit
; Windows programs; the product's setup is the 32-bit one.

!ifdef TARGET_AMD64
  Target amd64-unicode
!endif
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
!insertmacro RequireDefine CTL_EXE
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
; What the simulated library's version record says, and no other ZELK.dll.
!define SIMULATED_NAME "VeltraneSimulatedDriverLibrary"
; An installed evaluation keeps its state in a folder every user may write (under ProgramData);
; the record beside the library names the file. Earlier setups kept it beside the library.
!define EVAL_STATE "ZELK.ini"
!define EVAL_RECORD "ZELK.install.ini"
!define EVAL_STATE_DIR "$APPDATA\Veltrane"
; SYSTEM and Administrators: everything. Users: list the folder and add files in it (no folders,
; no deleting or renaming it), change and replace the files in it.
!define EVAL_STATE_DACL "D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200ab;;;BU)(A;OIIO;0x1301bf;;;BU)"
; Owned by Administrators, so that a later setup knows no other user made it.
!define EVAL_STATE_SD "O:BA${EVAL_STATE_DACL}"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VeltraneShadow"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "VeltraneShadow"
; Set to 1 in the uninstall entry when this setup put the simulated library in place, and when it
; made the evaluation's state folder.
!define EVAL_MARK "EvalDriverLibrary"
!define EVAL_STATE_DIR_MARK "EvalStateFolder"
; The program's presence markers (local and global namespace).
!define PRESENCE_MUTEX "QDN_RUNNINGRADIX"
!define SYNCHRONIZE 0x00100000
!define LANG_ENGLISH 1033
!define LANG_SIMPCHINESE 2052
; Exit codes beside NSIS's own.
!define ERROR_ELEVATION_REQUIRED 740
!define ERROR_BAD_PATHNAME 161
!define ERROR_ALREADY_EXISTS 183

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
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
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
LangString EvalRemoved ${LANG_ENGLISH} "The simulated driver library of an earlier evaluation is removed."
LangString EvalRemoved ${LANG_SIMPCHINESE} "已删除先前评估时安装的模拟驱动库。"
LangString NotStarted ${LANG_ENGLISH} "The program starts at the next logon."
LangString NotStarted ${LANG_SIMPCHINESE} "程序将在下次登录时启动。"
LangString NeedsAdmin ${LANG_ENGLISH} "Installing ${PRODUCT_NAME} needs an administrator."
LangString NeedsAdmin ${LANG_SIMPCHINESE} "安装${PRODUCT_NAME}需要管理员权限。"
LangString UnNeedsAdmin ${LANG_ENGLISH} "Uninstalling ${PRODUCT_NAME} needs an administrator."
LangString UnNeedsAdmin ${LANG_SIMPCHINESE} "卸载${PRODUCT_NAME}需要管理员权限。"
LangString OutsideProgramFiles ${LANG_ENGLISH} "$INSTDIR is outside the Program Files folder. It keeps its own permissions, which may let other users replace the program that starts at every logon of every user.$\r$\n$\r$\nInstall there anyway?"
LangString OutsideProgramFiles ${LANG_SIMPCHINESE} "$INSTDIR 不在 Program Files 文件夹中。它保留自身的权限，其他用户可能借此替换每个用户登录时都会启动的程序。$\r$\n$\r$\n仍然安装到这里吗？"
LangString StateFolderRefused ${LANG_ENGLISH} "The simulated driver library is not installed, and nothing else is: the folder ${EVAL_STATE_DIR}, where it would keep its state, is already there and $R8$\r$\n$\r$\nRemove the folder, or give it to the Administrators group if an administrator made it, then run the setup again."
LangString StateFolderRefused ${LANG_SIMPCHINESE} "未安装模拟驱动库，也未安装其他任何内容：用于保存其状态的文件夹 ${EVAL_STATE_DIR} 已经存在，而且$R8$\r$\n$\r$\n请删除该文件夹（如果它是管理员创建的，也可以将其所有者改为 Administrators 组），然后重新运行安装程序。"
LangString StateFolderIsLink ${LANG_ENGLISH} "is a link (a junction or a symbolic link) or a file, not a plain folder."
LangString StateFolderIsLink ${LANG_SIMPCHINESE} "它是一个链接（交接点或符号链接）或文件，不是普通文件夹。"
LangString StateFolderOtherOwner ${LANG_ENGLISH} "belongs to an account other than Administrators or SYSTEM: another user may have made it and could change what the library reads and writes there."
LangString StateFolderOtherOwner ${LANG_SIMPCHINESE} "它的所有者不是 Administrators 或 SYSTEM：它可能是其他用户创建的，该用户可以更改驱动库在其中读写的内容。"
LangString StateFolderUnchecked ${LANG_ENGLISH} "cannot be checked or its permissions cannot be set."
LangString StateFolderUnchecked ${LANG_SIMPCHINESE} "无法检查它，或无法设置它的权限。"
LangString Running ${LANG_ENGLISH} "${PRODUCT_NAME} is running.$\r$\n$\r$\nQuit it first: right-click its icon in the notification area, choose $\"退出程序$\" (Quit) and give the password. Then click Retry."
LangString Running ${LANG_SIMPCHINESE} "${PRODUCT_NAME}正在运行。$\r$\n$\r$\n请先退出：右键单击通知区域中的图标，选择“退出程序”并输入密码，然后单击“重试”。"

; Whether the evaluation goes in is settled before anything is installed: its state folder may stop
; the setup.
Section "-Evaluation state folder"
  Call PrepareEvaluation
SectionEnd

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

; 1 once the simulated library is in place in this install; 1 when it is to be put in place.
Var EvalPlaced
Var EvalToPlace

Section /o "$(SecEvalName)" SecEval
  SetShellVarContext all
  SetRegView 32
  ${If} $EvalToPlace = 1
    Call PlaceEvaluation
  ${Else}
    DetailPrint "$(EvalSkipped)"
  ${EndIf}
SectionEnd

; With the evaluation chosen, whether it goes in; then its state folder, or the setup stops saying why.
Function PrepareEvaluation
  StrCpy $EvalToPlace 0
  ${IfNot} ${SectionIsSelected} ${SecEval}
    Return
  ${EndIf}
  SetShellVarContext all
  SetRegView 32
  ; A copy beside the program is loaded before the driver's library wherever that sits, so the
  ; simulated one goes only where there is none: neither beside the program (but for an earlier
  ; evaluation's own) nor in any folder the loader searches after it.
  StrCpy $R9 "$INSTDIR\${DRIVER_LIBRARY}"
  StrCpy $R7 1
  ${If} ${FileExists} $R9
    Call IsSimulatedLibrary
    ReadRegDWORD $0 HKLM "${UNINST_KEY}" "${EVAL_MARK}"
    ${If} $R8 != 1
    ${OrIf} $0 != 1
      StrCpy $R7 0
    ${EndIf}
  ${EndIf}
  Call FindDriverLibraryElsewhere
  ${If} $R8 != ""
    StrCpy $R7 0
  ${EndIf}
  ${If} $R7 = 1
    Call MakeStateFolder
    ${If} $R8 != ""
      MessageBox MB_OK|MB_ICONSTOP "$(StateFolderRefused)" /SD IDOK
      SetErrorLevel ${ERROR_ALREADY_EXISTS}
      Abort
    ${EndIf}
  ${EndIf}
  StrCpy $EvalToPlace $R7
FunctionEnd

Function PlaceEvaluation
  SetOutPath "$INSTDIR"
  ; An earlier evaluation's library in use (a silent update) is replaced at the next restart.
  StrCpy $R6 "$INSTDIR\${DRIVER_LIBRARY}"
  SetOverwrite try
  ClearErrors
  File "/oname=${DRIVER_LIBRARY}" "${EVAL_DLL}"
  ${If} ${Errors}
    SetOverwrite on
    File "/oname=${DRIVER_LIBRARY}.new" "${EVAL_DLL}"
    Rename /REBOOTOK "$INSTDIR\${DRIVER_LIBRARY}.new" "$INSTDIR\${DRIVER_LIBRARY}"
    StrCpy $R6 "$INSTDIR\${DRIVER_LIBRARY}.new"
  ${EndIf}
  SetOverwrite on
  WriteRegDWORD HKLM "${UNINST_KEY}" "${EVAL_MARK}" 1
  StrCpy $EvalPlaced 1

  Delete "$INSTDIR\${EVAL_STATE}"
  ; UTF-16, so that any folder name survives.
  Delete "$INSTDIR\${EVAL_RECORD}"
  FileOpen $0 "$INSTDIR\${EVAL_RECORD}" w
  FileWriteWord $0 0xFEFF
  FileClose $0
  WriteINIStr "$INSTDIR\${EVAL_RECORD}" "state" "file" "${EVAL_STATE_DIR}\${EVAL_STATE}"

  ; The first call makes the state file with the demo state; the setup's own ZELK_SIM_STATE, if
  ; any, must not take it elsewhere.
  ReadEnvStr $R0 ZELK_SIM_STATE
  System::Call 'kernel32::SetEnvironmentVariableW(w "ZELK_SIM_STATE", p 0)'
  System::Call '"$R6"::fcGetProtection() i ?u'
  ${If} $R0 != ""
    System::Call 'kernel32::SetEnvironmentVariableW(w "ZELK_SIM_STATE", w R0)'
  ${EndIf}
FunctionEnd

; The state folder: made here, or one already there that no other user can have made: a folder, not a
; link, owned by Administrators or SYSTEM, or by this setup's account where an earlier install marked
; it as its own. Its owner and permissions are set here in both cases; marked when made here.
; $R8 := "" when it may be used, else why not.
Function MakeStateFolder
  StrCpy $R8 "$(StateFolderUnchecked)"
  StrCpy $R5 0
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${EVAL_STATE_SD}", i 1, *p .r1, p 0) i .r0'
  ${If} $0 = 0
    Return
  ${EndIf}
  !if ${NSIS_PTR_SIZE} > 4
    System::Call '*(i 24, i 0, p r1, i 0, i 0) p .r2'
  !else
    System::Call '*(i 12, p r1, i 0) p .r2'
  !endif
  System::Call 'kernel32::CreateDirectoryW(w "${EVAL_STATE_DIR}", p r2) i .r0'
  System::Free $2
  ${If} $0 <> 0
    StrCpy $R5 1
  ${EndIf}
  ; The name itself, never where a link leads: READ_CONTROL | WRITE_DAC | WRITE_OWNER,
  ; FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT.
  System::Call 'kernel32::CreateFileW(w "${EVAL_STATE_DIR}", i 0x000E0000, i 7, p 0, i 3, i 0x02200000, p 0) p .r3'
  ${If} $3 P<> -1
    System::Call '*(&i52) p .r4' ; BY_HANDLE_FILE_INFORMATION
    System::Call 'kernel32::GetFileInformationByHandle(p r3, p r4) i .r0'
    System::Call '*$4(i .r5)'
    System::Free $4
    IntOp $6 $5 & 0x410 ; FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY
    ${If} $0 = 0
      StrCpy $R8 "$(StateFolderUnchecked)"
    ${ElseIf} $6 <> 0x10
      StrCpy $R8 "$(StateFolderIsLink)"
    ${ElseIf} $R5 = 1
      StrCpy $R8 ""
    ${Else}
      Call StateFolderOwnerTrusted
    ${EndIf}
    ${If} $R8 == ""
      System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r6, *i .r0)'
      System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r0, *p .r7, *i .r0)'
      ; OWNER | DACL | PROTECTED_DACL: nothing inherited from the folder above.
      System::Call 'advapi32::SetSecurityInfo(p r3, i 1, i 0x80000005, p r6, p 0, p r7, p 0) i .r0'
      ${If} $0 <> 0
        StrCpy $R8 "$(StateFolderUnchecked)"
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r3)'
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r1)'
  ${If} $R5 = 1
    ${If} $R8 == ""
      WriteRegDWORD HKLM "${UNINST_KEY}" "${EVAL_STATE_DIR_MARK}" 1
    ${Else}
      RMDir "${EVAL_STATE_DIR}"
    ${EndIf}
  ${EndIf}
FunctionEnd

; $R8 := "" when the folder open as handle $3 is owned by Administrators or SYSTEM, or by the account
; this setup runs as while an earlier install's mark says it made the folder; else why not.
Function StateFolderOwnerTrusted
  StrCpy $R8 "$(StateFolderOtherOwner)"
  System::Call 'advapi32::GetSecurityInfo(p r3, i 1, i 1, *p .r6, p 0, p 0, p 0, *p .r7) i .r0' ; OWNER
  ${If} $0 <> 0
    StrCpy $R8 "$(StateFolderUnchecked)"
    Return
  ${EndIf}
  System::Call 'advapi32::IsWellKnownSid(p r6, i 26) i .r0' ; WinBuiltinAdministratorsSid
  System::Call 'advapi32::IsWellKnownSid(p r6, i 22) i .r4' ; WinLocalSystemSid
  ${If} $0 <> 0
  ${OrIf} $4 <> 0
    StrCpy $R8 ""
  ${Else}
    ReadRegDWORD $0 HKLM "${UNINST_KEY}" "${EVAL_STATE_DIR_MARK}"
    ${If} $0 = 1
      System::Call 'kernel32::GetCurrentProcess() p .r0'
      System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r4) i .r0' ; TOKEN_QUERY
      ${If} $0 <> 0
        System::Call '*(&i256) p .r8'
        System::Call 'advapi32::GetTokenInformation(p r4, i 1, p r8, i 256, *i .r0) i .r0' ; TokenUser
        ${If} $0 <> 0
          System::Call '*$8(p .r9)'
          System::Call 'advapi32::EqualSid(p r6, p r9) i .r0'
          ${If} $0 <> 0
            StrCpy $R8 ""
          ${EndIf}
        ${EndIf}
        System::Free $8
        System::Call 'kernel32::CloseHandle(p r4)'
      ${EndIf}
    ${EndIf}
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r7)'
FunctionEnd

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

  ; An install without the evaluation takes away what an earlier one left.
  ${If} $EvalPlaced != 1
    ReadRegDWORD $0 HKLM "${UNINST_KEY}" "${EVAL_MARK}"
    ${If} $0 = 1
      Call RemoveEvaluation
      DetailPrint "$(EvalRemoved)"
    ${EndIf}
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0

  ; Started here rather than from a finish-page check box, so that a silent install starts it too.
  ; A copy that already runs makes this one end at once.
  Call StartProgramAsUser
SectionEnd

; Not for SYSTEM or session 0 (a deployment tool, a service): nobody there could see the program or
; quit it. Otherwise the desktop's shell starts it, as the logged-on user and without this setup's
; elevation, as if the user had opened it. The Run value starts it at the next logon in any case.
Function StartProgramAsUser
  System::Call 'kernel32::GetCurrentProcessId() i .r0'
  System::Call 'kernel32::ProcessIdToSessionId(i r0, *i .r1) i .r2'
  Call IsLocalSystem
  ${If} $2 = 0
  ${OrIf} $1 = 0
  ${OrIf} $R8 = 1
    DetailPrint "$(NotStarted)"
    Return
  ${EndIf}
  Call ShellStartProgram
  ${If} $R8 != 1
    DetailPrint "$(NotStarted)"
  ${EndIf}
FunctionEnd

; $R8 := 1 when this process runs as LocalSystem.
Function IsLocalSystem
  StrCpy $R8 0
  System::Call 'kernel32::GetCurrentProcess() p .r3'
  System::Call 'advapi32::OpenProcessToken(p r3, i 8, *p .r4) i .r5' ; TOKEN_QUERY
  ${If} $5 = 0
    Return
  ${EndIf}
  System::Call '*(&i256) p .r6'
  System::Call 'advapi32::GetTokenInformation(p r4, i 1, p r6, i 256, *i .r7) i .r5' ; TokenUser
  ${If} $5 <> 0
    System::Call '*$6(p .r7)'
    System::Call 'advapi32::IsWellKnownSid(p r7, i 22) i .r5' ; WinLocalSystemSid
    ${If} $5 <> 0
      StrCpy $R8 1
    ${EndIf}
  ${EndIf}
  System::Free $6
  System::Call 'kernel32::CloseHandle(p r4)'
FunctionEnd

; $R8 := 1 when the desktop's shell took the request. The way there: the shell windows' desktop
; entry, its top-level browser, the active view's background object, and from it the shell's
; automation object, whose ShellExecute runs in the shell's process.
!define CLSID_ShellWindows "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}"
!define IID_IShellWindows "{85CB6900-4D95-11CF-960C-0080C7F4EE85}"
!define IID_IServiceProvider "{6D5140C1-7436-11CE-8034-00AA006009FA}"
!define SID_STopLevelBrowser "{4C96BE40-915C-11CF-99D3-00AA004AE837}"
!define IID_IShellBrowser "{000214E2-0000-0000-C000-000000000046}"
!define IID_IDispatch "{00020400-0000-0000-C000-000000000046}"
!define IID_IShellFolderViewDual "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}"
!define IID_IShellDispatch2 "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}"
!macro ComRelease VAR
  ${If} ${VAR} P<> 0
    System::Call '${VAR}->2()'
  ${EndIf}
!macroend
Function ShellStartProgram
  StrCpy $R8 0
  StrCpy $1 0
  StrCpy $2 0
  StrCpy $3 0
  StrCpy $4 0
  StrCpy $5 0
  StrCpy $6 0
  StrCpy $7 0
  StrCpy $8 0
  System::Call 'ole32::CoInitialize(p 0) i .r9'
  System::Call '*(&i16) p .r0' ; an empty VARIANT
  System::Call 'ole32::CoCreateInstance(g "${CLSID_ShellWindows}", p 0, i 4, g "${IID_IShellWindows}", *p .r1) i .R0' ; CLSCTX_LOCAL_SERVER
  ${If} $R0 = 0
    ; FindWindowSW(SWC_DESKTOP, SWFO_NEEDDISPATCH)
    System::Call '$1->15(p r0, p r0, i 8, *i .R1, i 1, *p .r2) i .R0'
  ${EndIf}
  ${If} $R0 = 0
  ${AndIf} $2 P<> 0
    System::Call '$2->0(g "${IID_IServiceProvider}", *p .r3) i .R0'
  ${Else}
    StrCpy $R0 1
  ${EndIf}
  ${If} $R0 = 0
    System::Call '$3->3(g "${SID_STopLevelBrowser}", g "${IID_IShellBrowser}", *p .r4) i .R0'
  ${EndIf}
  ${If} $R0 = 0
    System::Call '$4->15(*p .r5) i .R0' ; QueryActiveShellView
  ${EndIf}
  ${If} $R0 = 0
    System::Call '$5->15(i 0, g "${IID_IDispatch}", *p .r6) i .R0' ; GetItemObject(SVGIO_BACKGROUND)
  ${EndIf}
  ${If} $R0 = 0
    System::Call '$6->0(g "${IID_IShellFolderViewDual}", *p .r7) i .R0'
  ${EndIf}
  ${If} $R0 = 0
    System::Call '$7->7(*p .R2) i .R0' ; get_Application
  ${EndIf}
  ${If} $R0 = 0
    System::Call '$R2->0(g "${IID_IShellDispatch2}", *p .r8) i .R0'
    !insertmacro ComRelease $R2
  ${EndIf}
  ${If} $R0 = 0
    System::Call 'oleaut32::SysAllocString(w "$INSTDIR\${PROGRAM}") p .R3'
    ; ShellExecute(file, arguments, folder, verb, show): four empty VARIANTs, by value.
    !if ${NSIS_PTR_SIZE} > 4
      System::Call '$8->31(p R3, p r0, p r0, p r0, p r0) i .R0'
    !else
      System::Call '$8->31(p R3, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0) i .R0'
    !endif
    System::Call 'oleaut32::SysFreeString(p R3)'
    ${If} $R0 = 0
      StrCpy $R8 1
    ${EndIf}
  ${EndIf}
  !insertmacro ComRelease $8
  !insertmacro ComRelease $7
  !insertmacro ComRelease $6
  !insertmacro ComRelease $5
  !insertmacro ComRelease $4
  !insertmacro ComRelease $3
  !insertmacro ComRelease $2
  !insertmacro ComRelease $1
  System::Free $0
  ${If} $9 >= 0
    System::Call 'ole32::CoUninitialize()'
  ${EndIf}
FunctionEnd

; $R8 := the first ZELK.dll in the folders the program's loader searches after its own: the system
; folders, the Windows folder, then every PATH folder, of this process and as the machine stores it
; (a driver setup may have changed it since this process started). Empty when there is none.
; A PATH folder that is the install folder does not count.
!define PATH_BUFFER_CHARS 32768
!if ${NSIS_PTR_SIZE} > 4
  !define HKEY_LOCAL_MACHINE_HANDLE 0xFFFFFFFF80000002
!else
  !define HKEY_LOCAL_MACHINE_HANDLE 0x80000002
!endif
Function FindDriverLibraryElsewhere
  StrCpy $R8 ""
  System::Call 'kernel32::SearchPathW(w "$SYSDIR;$WINDIR\System;$WINDIR", w "${DRIVER_LIBRARY}", p 0, i ${NSIS_MAX_STRLEN}, w .R8, p 0) i .r0'
  ${If} $0 <> 0
    Return
  ${EndIf}
  StrCpy $R8 ""
  System::Call '*(&w${PATH_BUFFER_CHARS}) p .r1'
  System::Call 'kernel32::GetEnvironmentVariableW(w "PATH", p r1, i ${PATH_BUFFER_CHARS}) i .r0'
  ${If} $0 > 0
  ${AndIf} $0 < ${PATH_BUFFER_CHARS}
    Call LibraryInFolderList
  ${EndIf}
  ${If} $R8 == ""
    IntOp $2 ${PATH_BUFFER_CHARS} * 2
    ; RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ, expanded
    System::Call 'advapi32::RegGetValueW(p ${HKEY_LOCAL_MACHINE_HANDLE}, w "SYSTEM\CurrentControlSet\Control\Session Manager\Environment", w "Path", i 6, p 0, p r1, *i r2) i .r0'
    ${If} $0 = 0
      Call LibraryInFolderList
    ${EndIf}
  ${EndIf}
  System::Free $1
FunctionEnd

; $R8 := the first ZELK.dll in the semicolon-separated folders at address $1, unless it is the one in
; the install folder (then folders after that one are not looked at); else empty.
Function LibraryInFolderList
  StrCpy $R8 ""
  System::Call 'kernel32::SearchPathW(p r1, w "${DRIVER_LIBRARY}", p 0, i ${NSIS_MAX_STRLEN}, w .R8, p 0) i .r0'
  ${If} $0 = 0
    StrCpy $R8 ""
  ${ElseIf} $R8 == "$INSTDIR\${DRIVER_LIBRARY}"
    StrCpy $R8 ""
  ${EndIf}
FunctionEnd

; $R8 := 1 when the file $R9 is the simulated library, by its version record; else 0.
!macro DefineIsSimulatedLibrary UN
Function ${UN}IsSimulatedLibrary
  StrCpy $R8 0
  System::Call 'version::GetFileVersionInfoSizeW(w R9, p 0) i .r0'
  ${If} $0 <= 0
    Return
  ${EndIf}
  System::Alloc $0
  Pop $1
  System::Call 'version::GetFileVersionInfoW(w R9, i 0, i r0, p r1) i .r2'
  ${If} $2 <> 0
    System::Call 'version::VerQueryValueW(p r1, w "\StringFileInfo\080403A8\InternalName", *p .r3, *i .r4) i .r2'
    ${If} $2 <> 0
    ${AndIf} $4 > 0
      System::Call '*$3(&w64 .r5)'
      ${If} $5 S== "${SIMULATED_NAME}"
        StrCpy $R8 1
      ${EndIf}
    ${EndIf}
  ${EndIf}
  System::Free $1
FunctionEnd
!macroend
!insertmacro DefineIsSimulatedLibrary ""
!insertmacro DefineIsSimulatedLibrary "un."

; The state folder, only when this setup made it; only the files the library writes, so that
; nothing another user put there is followed or removed.
!macro DefineRemoveStateFolder UN
Function ${UN}RemoveStateFolder
  ReadRegDWORD $0 HKLM "${UNINST_KEY}" "${EVAL_STATE_DIR_MARK}"
  ${If} $0 = 1
    Delete "${EVAL_STATE_DIR}\${EVAL_STATE}"
    Delete "${EVAL_STATE_DIR}\${EVAL_STATE}.*.tmp"
    RMDir /REBOOTOK "${EVAL_STATE_DIR}"
    DeleteRegValue HKLM "${UNINST_KEY}" "${EVAL_STATE_DIR_MARK}"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DefineRemoveStateFolder ""
!insertmacro DefineRemoveStateFolder "un."

; What an earlier evaluation left; its library only when the file is still the simulated one.
!macro RemoveEvaluationFiles UN
  StrCpy $R9 "$INSTDIR\${DRIVER_LIBRARY}"
  Call ${UN}IsSimulatedLibrary
  ${If} $R8 = 1
    Delete /REBOOTOK "$INSTDIR\${DRIVER_LIBRARY}"
  ${EndIf}
  Delete "$INSTDIR\${EVAL_RECORD}"
  Delete "$INSTDIR\${EVAL_STATE}"
  DeleteRegValue HKLM "${UNINST_KEY}" "${EVAL_MARK}"
  Call ${UN}RemoveStateFolder
!macroend
Function RemoveEvaluation
  !insertmacro RemoveEvaluationFiles ""
FunctionEnd

; $R8 := 1 when the install folder lies in a Program Files folder, whose permissions let only
; administrators change what is in it.
Function IsInProgramFiles
  StrCpy $R8 0
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
  ${If} $1 = 0
    Return
  ${EndIf}
  StrLen $3 "$PROGRAMFILES32\"
  StrCpy $4 $0 $3
  ${If} $4 == "$PROGRAMFILES32\"
    StrCpy $R8 1
  ${EndIf}
  StrLen $3 "$PROGRAMFILES64\"
  StrCpy $4 $0 $3
  ${If} $4 == "$PROGRAMFILES64\"
    StrCpy $R8 1
  ${EndIf}
FunctionEnd

; A folder outside Program Files only when the user insists.
Function DirectoryLeave
  Call IsInProgramFiles
  ${If} $R8 != 1
    MessageBox MB_YESNO|MB_DEFBUTTON2|MB_ICONEXCLAMATION "$(OutsideProgramFiles)" IDYES +2
    Abort
  ${EndIf}
FunctionEnd

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

!macro RequireAdministrator MESSAGE
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
!macroend

Function .onInit
  SetRegView 32
  !insertmacro ChooseLanguage
  !insertmacro RequireAdministrator "$(NeedsAdmin)"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/EVAL" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecEval}
  ${EndIf}
  ; Interactively the directory page asks; silently /ANYDIR is the insisting.
  ${If} ${Silent}
    ClearErrors
    ${GetOptions} $R0 "/ANYDIR" $R1
    ${If} ${Errors}
      Call IsInProgramFiles
      ${If} $R8 != 1
        SetErrorLevel ${ERROR_BAD_PATHNAME}
        Quit
      ${EndIf}
    ${EndIf}
  ${EndIf}
  !insertmacro AskToQuitProgram
FunctionEnd

Function un.onInit
  SetRegView 32
  !insertmacro ChooseLanguage
  !insertmacro RequireAdministrator "$(UnNeedsAdmin)"
  !insertmacro AskToQuitProgram
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 32

  ; A ZELK.dll that is no longer the simulated one (a driver setup replaced it) stays.
  ReadRegDWORD $0 HKLM "${UNINST_KEY}" "${EVAL_MARK}"
  ${If} $0 = 1
    !insertmacro RemoveEvaluationFiles "un."
  ${EndIf}
  Call un.RemoveStateFolder
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

#pragma once
// Every fixed text of the program. Windows set their captions from these when they are created,
// over the placeholder captions of their layouts.

namespace veltrane::texts {

inline constexpr wchar_t kProductTitle[] = L"Veltrane影子系统(多分区版)";
inline constexpr wchar_t kApplicationTitle[] = L"Veltrane Vardelle";

inline constexpr wchar_t kOk[] = L"确定";
inline constexpr wchar_t kCancel[] = L"取消";
inline constexpr wchar_t kAbout[] = L"关于";
inline constexpr wchar_t kPassword[] = L"密码：";
inline constexpr wchar_t kModifyPassword[] = L"修改密码";
inline constexpr wchar_t kQuit[] = L"退出程序";

inline constexpr wchar_t kProtectedPartitions[] = L"保护分区";
inline constexpr wchar_t kWorkState[] = L"工作状态";
inline constexpr wchar_t kRecoverMode[] = L"保护模式";
inline constexpr wchar_t kOpenMode[] = L"非保护模式";

inline constexpr wchar_t kColumnPartition[] = L"分区";
inline constexpr wchar_t kColumnType[] = L"类型";
inline constexpr wchar_t kColumnSize[] = L"大小(Mb.)";

inline constexpr wchar_t kTypeNtfs[] = L"NTFS";
inline constexpr wchar_t kTypeFat32[] = L"FAT32";
inline constexpr wchar_t kTypeUnknown[] = L"Unknow";

inline constexpr wchar_t kDriverUnreachable[] = L"无法和驱动正确连接！";
// The tray icon's tip and one more line of the About dialog while the simulated library is loaded.
inline constexpr wchar_t kSimulatedLibrary[] = L"模拟驱动库（评估用，机器没有受到保护）";

inline constexpr wchar_t kQueryCaption[] = L"Query";
inline constexpr wchar_t kAskRestart[] = L"需要重启机器让修改生效，是否现在重启？";
inline constexpr wchar_t kSetPartitionFailed[] = L"设置保护分区失败";
inline constexpr wchar_t kSetProtectionFailed[] = L"设置保护模式失败";
// Shown for an error that carries no text of its own.
inline constexpr wchar_t kUnknownError[] = L"未知错误";

inline constexpr wchar_t kEnterAdminPassword[] = L"请输入管理员密码";
inline constexpr wchar_t kEnterNewPassword[] = L"请输入管理员密码，最大长度8.";
inline constexpr wchar_t kEnterPasswordAgain[] = L"再输入一次：";

// The standard message box's only button keeps its own caption.
inline constexpr wchar_t kMessageButton[] = L"OK";

// The maker's addresses.
inline constexpr wchar_t kMakerSite[] = L"http://www.veltrane.com.cn/";
inline constexpr wchar_t kProductPage[] = L"http://www.veltrane.com.cn/shadow/index_files/dorezodoroz.htm";
inline constexpr wchar_t kSupportMail[] = L"support@veltrane.com.cn";
inline constexpr wchar_t kSupportMailLink[] = L"mailto:support@veltrane.com.cn";

inline constexpr wchar_t kContactUs[] = L"联系我们";
inline constexpr wchar_t kCopyright[] = L"Copyright (C) 2026 Veltrane 软件工作室";

// veltrane-ctl, the console program for scripted deployment. Command and option names stay English.
inline constexpr wchar_t kCtlUsage[] =
    L"用法：\n"
    L"  veltrane-ctl status [--json]\n"
    L"  veltrane-ctl apply [--protect 盘符,...] [--unprotect 盘符,...] [--mode protected|unprotected]\n"
    L"                     [--restart] [--password-stdin]\n"
    L"  veltrane-ctl passwd [--password-stdin]\n"
    L"  veltrane-ctl --help\n"
    L"\n"
    L"status   列出驱动的分区（盘符、类型、大小、是否保护）和工作模式，不需要密码。\n"
    L"         --json  以 JSON 输出。\n"
    L"apply    验证管理员密码后，按盘符改写保护分区，再写入工作模式。\n"
    L"         --protect C,D      保护这些分区\n"
    L"         --unprotect E      不保护这些分区（未提到的分区保持现状）\n"
    L"         --mode protected|unprotected\n"
    L"                            工作模式：保护模式或非保护模式（不写则保持当前模式）\n"
    L"         --restart          写入后立即强制重启机器（不写则只提示需要重启）\n"
    L"passwd   验证当前密码后修改管理员密码（新密码输入两次）。\n"
    L"\n"
    L"密码从控制台读取，不回显；加 --password-stdin 则从标准输入读取，每行一个\n"
    L"（passwd：当前密码、新密码、新密码）。密码中的字母一律转为小写，最多 8 个字节\n"
    L"（代码页 936，每个汉字占 2 个字节），密码框输入不了的字符不被接受。\n"
    L"\n"
    L"退出码：\n"
    L"  0  完成\n"
    L"  1  用法错误，或密码不被接受\n"
    L"  2  无法和驱动正确连接，或找不到驱动控制库 ZELK.dll\n"
    L"  3  密码错误\n"
    L"  4  驱动写入失败（消息说明是哪一项），或重启请求被拒绝\n"
    L"  5  标准输出写入失败\n";
inline constexpr wchar_t kCtlSeeHelp[] = L"用 veltrane-ctl --help 查看用法。";
inline constexpr wchar_t kCtlUnknownCommand[] = L"未知命令：";
inline constexpr wchar_t kCtlUnknownOption[] = L"未知选项：";
inline constexpr wchar_t kCtlOptionNotForCommand[] = L"此命令不接受选项：";
inline constexpr wchar_t kCtlOptionNeedsValue[] = L"选项缺少值：";
inline constexpr wchar_t kCtlOptionRepeated[] = L"选项重复：";
inline constexpr wchar_t kCtlExtraArgument[] = L"多余的参数：";
inline constexpr wchar_t kCtlNotADriveLetter[] = L"不是盘符：";
inline constexpr wchar_t kCtlBadMode[] = L"工作模式只能是 protected 或 unprotected：";
inline constexpr wchar_t kCtlProtectAndUnprotect[] = L"同一分区不能既保护又不保护：";
inline constexpr wchar_t kCtlUnlistedPartition[] = L"分区列表中没有这些盘符：";

inline constexpr wchar_t kCtlProtectColumn[] = L"保护";
inline constexpr wchar_t kCtlYes[] = L"是";
inline constexpr wchar_t kCtlNo[] = L"否";
inline constexpr wchar_t kCtlWorkStateLabel[] = L"工作状态：";

inline constexpr wchar_t kCtlAdminPasswordPrompt[] = L"管理员密码：";
inline constexpr wchar_t kCtlCurrentPasswordPrompt[] = L"当前密码：";
inline constexpr wchar_t kCtlNewPasswordPrompt[] = L"新密码：";
inline constexpr wchar_t kCtlNoPassword[] =
    L"没有读到密码：没有控制台时请用 --password-stdin 从标准输入提供密码。";
inline constexpr wchar_t kCtlPasswordTooLong[] =
    L"密码太长：密码框最多接受 8 个字节（代码页 936，每个汉字占 2 个字节）。";
inline constexpr wchar_t kCtlPasswordNotInCodePage[] =
    L"密码含有代码页 936 (GBK) 没有的字符，密码框输入不了。";
inline constexpr wchar_t kCtlPasswordControlCharacter[] = L"密码含有控制字符，密码框输入不了。";
inline constexpr wchar_t kCtlWrongPassword[] = L"密码错误。";
inline constexpr wchar_t kCtlPasswordsDiffer[] = L"两次输入的新密码不一致，密码没有修改。";
inline constexpr wchar_t kCtlPasswordNotStored[] = L"修改密码失败：驱动没有接受新密码。";
inline constexpr wchar_t kCtlPasswordChanged[] = L"密码已修改。";
inline constexpr wchar_t kCtlRestartNeeded[] = L"设置已写入，需要重启机器让修改生效。";
inline constexpr wchar_t kCtlRestarting[] = L"设置已写入，正在重启机器。";
inline constexpr wchar_t kCtlRestartRefused[] = L"重启请求被拒绝：";
inline constexpr wchar_t kCtlOutputFailed[] = L"写入标准输出失败，输出不完整。";
inline constexpr wchar_t kCtlLibraryMissing[] = L"找不到驱动控制库：";
inline constexpr wchar_t kCtlLibraryLabel[] = L"驱动库：";
inline constexpr wchar_t kCtlLibraryDriver[] = L"驱动程序的 ZELK.dll";
inline constexpr auto& kCtlLibrarySimulated = kSimulatedLibrary;

} // namespace veltrane::texts

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

inline constexpr wchar_t kQueryCaption[] = L"Query";
inline constexpr wchar_t kAskRestart[] = L"需要重启机器让修改生效，是否现在重启？";
inline constexpr wchar_t kSetPartitionFailed[] = L"设置保护分区失败";
inline constexpr wchar_t kSetProtectionFailed[] = L"设置保护模式失败";
// Shown for an error that carries no text of its own.
inline constexpr wchar_t kUnknownError[] = L"未知错误";

inline constexpr wchar_t kEnterAdminPassword[] = L"请输入管理员密码";
inline constexpr wchar_t kEnterNewPassword[] = L"请输入管理员密码，最大长度32.";
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

} // namespace veltrane::texts

#pragma once

// Every word the program shows, in Simplified Chinese.
#include <string>
#include <vector>

#include "collect/collect.h"
#include "platform/sys_error.h"
#include "shred/shred_files.h"

// Every word the program shows, in one place (UTF-8).
namespace shredder::texts {

inline constexpr char kPublisherUrl[] = "http://www.example.com";
inline constexpr char kAppTitle[] = "霁川文件粉碎机";
// The caption: product title, four spaces, the publisher's address.
inline constexpr char kWindowCaption[] = "霁川文件粉碎机 v1.0    http://www.example.com";

inline constexpr char kAddFiles[] = "添加文件";
inline constexpr char kAddFolder[] = "添加目录";
inline constexpr char kStartShredding[] = "开始粉碎";
inline constexpr char kClearList[] = "清空列表";
inline constexpr char kExit[] = "退出系统";

inline constexpr char kShredCaption[] = "文件粉碎";
inline constexpr char kConfirmShred[] = "执行粉碎后将无法恢复，继续吗？";
inline constexpr char kShredDone[] = "完成文件粉碎！";
inline constexpr char kStopAfterCurrentFile[] = "粉碎尚未完成，要在当前文件粉碎完后停止吗？";
// Shown by the system to a user logging off or shutting down during a run.
inline constexpr char kSessionEndBlocked[] = "正在粉碎文件，请等待当前文件完成";

inline constexpr char kChooseFolder[] = "请选择文件夹：";
inline constexpr char kSkinFileName[] = "/Aero.she";

inline constexpr char kTooManyFiles[] =
    "选择的文件太多，无法一次添加，没有添加任何文件。\n请分几次选择。";
inline constexpr char kFolderUnreadable[] = "无法读取文件夹：";
inline constexpr char kShredFailed[] = "无法粉碎文件：";
inline constexpr char kNothingWritten[] = "没有写入任何内容。";
inline constexpr char kLeftAlone[] = "以下文件没有粉碎，已保留原样：";

// A command that stopped part way; the reason follows on the next line.
inline constexpr char kOperationFailed[] = "操作未能完成：";
inline constexpr char kOutOfMemory[] = "内存不足。";
inline constexpr char kListRefusedEntry[] = "列表无法再添加条目（已满或内存不足），后面的文件没有加入列表。";
inline constexpr char kUnexpectedError[] = "发生了意外的错误。";

// The reason behind a system error, as a Chinese sentence.
std::string DescribeError(const SysError& error);

// The box after a run stopped at a failing step: which file, which step, why.
std::string DescribeShredFailure(const ShredFailure& failure);

// The box at the end of a run that left entries alone: the first few with their reasons, and
// how many in all.
std::string DescribeLeftAlone(const std::vector<LeftAlone>& entries);

// The box after a walk that had to skip folders: the first few, and how many in all.
std::string DescribeUnreadableFolders(const std::vector<UnreadableFolder>& folders);

}  // namespace shredder::texts

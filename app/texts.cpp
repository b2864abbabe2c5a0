// The sentences built from what the engine returns: errors, failed runs, entries left alone,
// unreadable folders.
#include "app/texts.h"

namespace shredder::texts {
namespace {

// Enough to recognise where the trouble is without a box taller than the screen.
constexpr std::size_t kFoldersNamed = 5;

const char* StepName(ShredStep step) {
    switch (step) {
        case ShredStep::ResetAttributes:
            return "重置属性";
        case ShredStep::Open:
            return "打开";
        case ShredStep::ReadLength:
            return "读取长度";
        case ShredStep::Write:
            return "写入";
        case ShredStep::Flush:
            return "写入磁盘";
        case ShredStep::OverwriteStream:
            return "覆盖数据流";
        case ShredStep::RemoveLink:
            return "删除链接";
        case ShredStep::Delete:
            return "删除";
        case ShredStep::Close:
            return "关闭";
    }
    return "";
}

}  // namespace

std::string DescribeError(const SysError& error) {
    switch (error.kind) {
        case ErrorKind::NotFound:
            return "系统找不到指定的文件。";
        case ErrorKind::PathNotFound:
            return "系统找不到指定的路径。";
        case ErrorKind::AccessDenied:
            return "拒绝访问。";
        case ErrorKind::SharingViolation:
            return "另一个程序正在使用此文件，进程无法访问。";
        case ErrorKind::DiskFull:
            return "磁盘空间不足。";
        case ErrorKind::WriteProtected:
            return "介质受写入保护。";
        case ErrorKind::NameTooLong:
            return "文件名或扩展名太长。";
        case ErrorKind::DeviceError:
            return "由于 I/O 设备错误，无法运行此项请求。";
        case ErrorKind::NotARegularFile:
            return "这不是一个普通文件。";
        case ErrorKind::ChangedSinceListed:
            return "文件所在的文件夹在添加到列表后已被更改（例如换成了链接）。";
        case ErrorKind::HasOtherNames:
            return "此文件还有其他名称（硬链接），覆盖它会破坏其他名称下的内容，已保留原样。";
        case ErrorKind::LinkLeftAlone:
            return "这是一个链接，删除它会影响链接的目标，已保留原样。";
        case ErrorKind::ListedByShortName:
            return "列表中的是此文件的短文件名（8.3 格式），已保留原样。请用它的完整文件名重新添加。";
        case ErrorKind::Compressed:
            return "此文件由 NTFS 压缩：写入的零落不到磁盘上原有的数据处，已保留原样。"
                   "可在文件属性的“高级”中取消压缩后再粉碎。";
        case ErrorKind::Encrypted:
            return "此文件由 EFS 加密：写入的零落不到磁盘上原有的数据处，已保留原样。"
                   "可在文件属性的“高级”中取消加密后再粉碎；加密前的内容可能仍在空闲空间中，可用 cipher /w 清除。";
        case ErrorKind::ExternallyBacked:
            return "此文件由系统压缩存放（CompactOS 或 compact /exe）：写入的零落不到原有的数据处，已保留原样。"
                   "可用 compact /u 解压后再粉碎。";
        case ErrorKind::Deduplicated:
            return "此文件的数据由重复数据删除存放在卷的数据块存储中：写入的零落不到那里，已保留原样。"
                   "请管理员先展开此文件（Expand-DedupFile）再粉碎。";
        case ErrorKind::CloudNotHere:
            return "这是内容不在本机上的云文件：写入零会先把整个文件下载下来，已保留原样。"
                   "请在云服务中删除它；云服务会保留自己的副本和历史版本。";
        case ErrorKind::NotDeleted:
            return "系统接受了删除，但文件仍在原处（文件夹可能不允许删除其中的文件）。";
        case ErrorKind::MountPoint:
            return "此位置挂载着另一个文件系统的内容，它不属于列表中的文件夹，已保留原样。";
        case ErrorKind::ChangedDuringRun:
            return "粉碎期间另一个程序改动了此文件，或把另一个文件放到了它的名下，无法确认粉碎完成。";
        case ErrorKind::Other:
            break;
    }
    std::string text = "系统错误 " + std::to_string(error.code);
    if (!error.systemText.empty()) text += "：" + error.systemText;
    return text;
}

namespace {

// Only the steps before the first write can promise that the file is as it was.
std::string WithWhatWasWritten(std::string reason, ShredStep step) {
    if (step == ShredStep::ResetAttributes || step == ShredStep::Open) reason += kNothingWritten;
    return reason;
}

}  // namespace

std::string DescribeShredFailure(const ShredFailure& failure) {
    std::string text = std::string(kShredFailed) + "\n" + failure.path + "\n\n";
    if (!failure.stream.empty()) text += "数据流 " + failure.stream + " ";
    return text + StepName(failure.step) + "失败：" + WithWhatWasWritten(DescribeError(failure.error), failure.step);
}

std::string DescribeLeftAlone(const std::vector<LeftAlone>& entries) {
    std::string text = kLeftAlone;
    for (std::size_t i = 0; i < entries.size() && i < kFoldersNamed; ++i) {
        text += "\n" + entries[i].path + "\n    " + WithWhatWasWritten(DescribeError(entries[i].reason), ShredStep::Open);
    }
    text += "\n\n共有 " + std::to_string(entries.size()) + " 个文件保留原样，仍在列表中；其余文件已粉碎。";
    return text;
}

std::string DescribeUnreadableFolders(const std::vector<UnreadableFolder>& folders) {
    std::string text = kFolderUnreadable;
    for (std::size_t i = 0; i < folders.size() && i < kFoldersNamed; ++i) {
        text += "\n" + folders[i].folder + "\n    " + DescribeError(folders[i].error);
    }
    if (folders.size() > kFoldersNamed) {
        text += "\n\n共有 " + std::to_string(folders.size()) + " 个文件夹无法读取，其中的文件没有添加。";
    }
    return text;
}

}  // namespace shredder::texts

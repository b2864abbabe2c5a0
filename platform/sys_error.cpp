#include "platform/sys_error.h"

namespace shredder {

std::string DescribeInChinese(const SysError& error) {
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
            return "文件所在的文件夹在列入清单后已被更换。";
        case ErrorKind::HasOtherNames:
            return "此文件还有其他名称（硬链接），粉碎会破坏这些名称下的内容。";
        case ErrorKind::LinkLeftAlone:
            return "这是一个链接，无法只删除链接而不触及其目标，已保留。";
        case ErrorKind::Other:
            break;
    }
    std::string text = "系统错误 " + std::to_string(error.code);
    if (!error.systemText.empty()) text += "：" + error.systemText;
    return text;
}

}  // namespace shredder

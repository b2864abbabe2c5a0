#include "bench/collect_sources.h"

#include "app/texts.h"
#include "collect/find_file.h"

namespace shredder::bench {

std::optional<std::string> CollectSources(const BenchArguments& arguments, FileSystem& fs, ListBox& list) {
    for (const Source& source : arguments.sources) {
        if (source.kind == Source::Kind::File) {
            list.append(source.path);
            continue;
        }
        if (const auto failure = Findfile(source.path, fs, list)) {
            return std::string(texts::kFolderUnreadable) + "\n" + failure->folder + "\n\n" +
                   DescribeInChinese(failure->error);
        }
    }
    return std::nullopt;
}

}  // namespace shredder::bench

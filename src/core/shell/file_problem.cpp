#include "core/shell/file_problem.hpp"

#include <cerrno>

#include "core/records/display_width.hpp"

namespace zelvanor {

std::string fileSystemProblem(const std::filesystem::filesystem_error& error) {
    std::string paths;
    for (const auto* p : {&error.path1(), &error.path2()}) {
        if (p->empty()) continue;
        paths += (paths.empty() ? "" : " → ") + withReplacementCharacters(p->string());
    }
    if (paths.empty()) paths = "ファイル";
    switch (error.code().value()) {
        case ENOENT:
            return paths + " がありません。";
        case EACCES:
        case EPERM:
            return paths + " を使う権限がありません。";
        case EROFS:
            return paths + " は書き込めない場所にあります。";
        case ENOSPC:
        case EDQUOT:
            return paths + " を書くための空き容量がありません。";
        case ENOTDIR:
            return paths + " の途中にフォルダでないものがあります。";
        case EEXIST:
            return paths + " は既にあります。";
        case EISDIR:
            return paths + " はフォルダです。";
        default:
            return paths + " を扱えませんでした (エラー番号 " +
                   std::to_string(error.code().value()) + ")。";
    }
}

}  // namespace zelvanor

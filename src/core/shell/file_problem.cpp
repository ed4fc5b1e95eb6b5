#include "core/shell/file_problem.hpp"

#include <algorithm>
#include <cerrno>
#include <new>
#include <system_error>

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

std::string operationProblem(const std::exception& error) {
    if (const auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
        return fileSystemProblem(*fs);
    }
    if (dynamic_cast<const std::bad_alloc*>(&error)) {
        return "メモリが足りないため、処理を続けられませんでした。";
    }
    const std::string text = withReplacementCharacters(error.what());
    if (const auto* system = dynamic_cast<const std::system_error*>(&error)) {
        return "システムのエラーのため、処理を続けられませんでした (エラー番号 " +
               std::to_string(system->code().value()) + ")。\n" + text;
    }
    // The program's own messages for the user are Japanese and name what they concern; what is
    // left is a fault of the program, shown with its text for whoever looks into it.
    const bool forTheUser = std::any_of(text.begin(), text.end(),
                                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (forTheUser) return text;
    return "プログラム内部のエラーのため、処理を続けられませんでした。\n(" + text + ")";
}

}  // namespace zelvanor

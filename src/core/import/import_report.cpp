#include "core/import/import_report.hpp"

namespace zelvanor {

std::string fileReportText(const FileReport& report) {
    std::string text = report.file + ": 読込 " + std::to_string(report.read) + "件 / 登録 " +
                       std::to_string(report.stored) + "件 / 置換 " +
                       std::to_string(report.replaced) + "件 / 除外 " +
                       std::to_string(report.refused) + "件";
    for (const auto& note : report.notes) text += "\n" + note;
    return text;
}

std::string importReportText(const ImportReport& report) {
    std::string text;
    for (const auto& file : report.files) {
        if (!text.empty()) text += "\n";
        text += fileReportText(file);
    }
    for (const auto& member : report.missingMembers) {
        if (!text.empty()) text += "\n";
        text += member + " は圧縮ファイルに含まれていません。";
    }
    return text;
}

}  // namespace zelvanor

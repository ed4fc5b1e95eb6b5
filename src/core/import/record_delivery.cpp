#include "core/import/record_delivery.hpp"

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/import/progress.hpp"

namespace zelvanor {

std::optional<RecordFile> openDelivery(const AppPaths& paths, const RecordLayout& layout,
                                       std::string_view data, WhenMissing missing,
                                       WhenEmpty empty) {
    const std::string fileName(layout.fileName);
    const auto path = paths.extractionFolder() / fileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        if (missing == WhenMissing::NoRecords) return std::nullopt;
        throw ImportError(fileName + " がありません.");
    }
    std::optional<RecordFile> file;
    try {
        file.emplace(path, layout.recordLength);
    } catch (const std::runtime_error&) {
        throw ImportError(fileName + " を読み込めません。");
    }
    if (const std::string problem =
            deliveryProblem(*file, layout, data, empty == WhenEmpty::Refuse);
        !problem.empty()) {
        throw ImportError(problem);
    }
    return file;
}

}  // namespace zelvanor

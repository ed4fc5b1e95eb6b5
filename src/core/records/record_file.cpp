#include "core/records/record_file.hpp"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "core/records/text_check.hpp"

namespace zelvanor {

namespace {

std::runtime_error unreadable(const std::filesystem::path& path) {
    return std::runtime_error(path.string() + " を読み込めません。");
}

}  // namespace

RecordFile::RecordFile(const std::filesystem::path& path, std::size_t recordLength)
    : recordLength_(recordLength), count_(0) {
    if (recordLength == 0) throw std::invalid_argument("record length 0 for " + path.string());

    // Checked first: a directory opens as a stream on some platforms and only fails on reading.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw unreadable(path);
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) throw unreadable(path);

    std::ifstream in(path, std::ios::binary);
    if (!in) throw unreadable(path);
    data_.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(data_.data(), static_cast<std::streamsize>(size))) {
        throw unreadable(path);
    }
    count_ = data_.size() / recordLength_;
}

std::string_view RecordFile::record(std::size_t number) const {
    if (number < 1 || number > count_) {
        throw std::out_of_range("record " + std::to_string(number) + " outside 1.." +
                                std::to_string(count_));
    }
    return std::string_view(data_).substr((number - 1) * recordLength_, recordLength_);
}

std::string deliveryProblem(const RecordFile& file, const RecordLayout& layout,
                            std::string_view data, bool emptyIsBroken) {
    const std::string fileName(layout.fileName);
    const std::string kept = std::string(data) + "は取り込む前のままです。";
    if (file.count() == 0 && emptyIsBroken) {
        return fileName + " にはレコードがありません。" + kept;
    }
    const std::string_view tail = file.tail();
    if (tail.find_first_not_of('\x1A') != std::string_view::npos) {
        return fileName + " は最後のレコードが途中で切れています（" +
               std::to_string(file.recordLength()) + " バイトのレコード " +
               std::to_string(file.count()) + " 件の後に " + std::to_string(tail.size()) +
               " バイト）。ダウンロードが途中で終わった可能性があります。" + kept;
    }
    if (const auto bad = firstUndecodableField(file, layout)) {
        return fileName + " の " + std::to_string(bad->record) + " 件目のレコードは、欄「" +
               bad->field +
               "」に文字として読めないバイト（シフトJIS の文字にならないバイト）があるため取り込め"
               "ません。ファイルが壊れている可能性があります。" +
               kept;
    }
    return {};
}

}  // namespace zelvanor

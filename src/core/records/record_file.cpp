#include "records/record_file.hpp"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <system_error>

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

}  // namespace zelvanor

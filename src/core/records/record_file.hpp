#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace zelvanor {

// A file of fixed-length records, read whole into memory once (record files are at most tens of
// megabytes). Records are numbered 1 … count, count being the file length divided by the record
// length; a tail shorter than one record is ignored.
class RecordFile {
  public:
    // Reads the file. Throws std::runtime_error ("<file> を読み込めません。") when it is missing or
    // cannot be read, and std::invalid_argument for a record length of 0.
    RecordFile(const std::filesystem::path& path, std::size_t recordLength);

    std::size_t count() const { return count_; }
    std::size_t recordLength() const { return recordLength_; }

    // The bytes of record `number` (1-based), line end included. Throws std::out_of_range
    // outside 1 … count. The view lives as long as this object.
    std::string_view record(std::size_t number) const;

  private:
    std::string data_;
    std::size_t recordLength_;
    std::size_t count_;
};

}  // namespace zelvanor

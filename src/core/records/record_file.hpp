#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/records/layout.hpp"

namespace zelvanor {

// A file of fixed-length records, read whole into memory once (record files are at most tens of
// megabytes). Records are numbered 1 … count, count being the file length divided by the record
// length; a tail shorter than one record is not a record (see deliveryProblem).
class RecordFile {
  public:
    // Reads the file. Throws std::runtime_error ("<file> を読み込めません。") when it is missing or
    // cannot be read, and std::invalid_argument for a record length of 0.
    RecordFile(const std::filesystem::path& path, std::size_t recordLength);

    std::size_t count() const { return count_; }
    std::size_t recordLength() const { return recordLength_; }
    std::size_t byteLength() const { return data_.size(); }
    // The bytes after the last whole record.
    std::string_view tail() const { return std::string_view(data_).substr(count_ * recordLength_); }

    // The bytes of record `number` (1-based), line end included. Throws std::out_of_range
    // outside 1 … count. The view lives as long as this object.
    std::string_view record(std::size_t number) const;

  private:
    std::string data_;
    std::size_t recordLength_;
    std::size_t count_;
};

// Why a record file cannot be a whole delivery of the service, as the user is told it before
// anything is imported: "<file> にはレコードがありません。<data>は取り込む前のままです。" when
// it holds no whole record (only where `emptyIsBroken`: the service never ships an empty list of
// jockeys, trainers or horses), or a message that its last record is cut off when it ends in part
// of one (a download cut short). Empty when the file is whole. A tail of end-of-file marks (0x1A)
// alone is not part of a record. A record with a field of bytes that are no text (see
// firstUndecodableField) is told by its number and field. `data` names the contents as the user
// knows them ("騎手データ").
std::string deliveryProblem(const RecordFile& file, const RecordLayout& layout,
                            std::string_view data, bool emptyIsBroken);

}  // namespace zelvanor

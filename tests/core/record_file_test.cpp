#include "core/records/record_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "core/records/cp932.hpp"
#include "core/records/numeric.hpp"

namespace zelvanor {
namespace {

namespace fs = std::filesystem;

class RecordFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zelvanor_record_file_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path dir_;
};

TEST_F(RecordFileTest, NumbersRecordsFromOneAndIgnoresAShortTail) {
    const RecordFile file(write("JRA#TEST.DAT", "AAAA\r\nBBBB\r\nCC"), 6);
    EXPECT_EQ(file.count(), 2u);
    EXPECT_EQ(file.recordLength(), 6u);
    EXPECT_EQ(file.record(1), "AAAA\r\n");
    EXPECT_EQ(file.record(2), "BBBB\r\n");
    EXPECT_THROW(file.record(0), std::out_of_range);
    EXPECT_THROW(file.record(3), std::out_of_range);
}

TEST_F(RecordFileTest, FilesWithoutAWholeRecordHaveNone) {
    for (const std::string bytes : {"", "short"}) {
        const RecordFile file(write("small.dat", bytes), 6);
        EXPECT_EQ(file.count(), 0u) << '"' << bytes << '"';
        EXPECT_THROW(file.record(1), std::out_of_range);
    }
}

TEST_F(RecordFileTest, UnreadableFileThrowsWithItsName) {
    for (const fs::path& path : {dir_ / "JRA#NONE.DAT", dir_}) {
        try {
            RecordFile file(path, 6);
            ADD_FAILURE() << path << " opened";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), path.string() + " を読み込めません。");
        }
    }
}

TEST_F(RecordFileTest, FieldsWrittenIntoRecordsReadBack) {
    // Two 16-byte records: a 4-digit code, a 10-byte name, the line end.
    const FieldSpec code{"code", 0, 4};
    const FieldSpec name{"name", 4, 10};
    std::string bytes;
    const char* names[] = {"ソウル表示", "ｱｲﾙ①"};
    for (int i = 0; i < 2; ++i) {
        std::string record(14, ' ');
        writeNumber(record, code, 7 + i);
        writeField(record, name, names[i]);
        bytes += record + "\r\n";
    }
    const RecordFile file(write("JRA#TEST.DAT", bytes), 16);
    ASSERT_EQ(file.count(), 2u);
    EXPECT_EQ(numericValue(decodeField(file.record(2), code)), 8);
    EXPECT_EQ(decodeField(file.record(1), name), "ソウル表示");
    EXPECT_EQ(decodeField(file.record(2), name), "ｱｲﾙ①     ");
}

}  // namespace
}  // namespace zelvanor

#pragma once

// What an import did with each record file it was given: the figures every import ends with,
// shown after the completion message in the windows, printed by the command line and given to
// programs as JSON.

#include <cstddef>
#include <string>
#include <vector>

namespace zelvanor {

struct FileReport {
    std::string file;            // the record file, e.g. "JRA#KISI.DAT"
    std::string source;          // the file given for it, when not the import's source
    std::size_t read = 0;        // records read from the file
    std::size_t stored = 0;      // records written to the databases (added or replacing a row)
    std::size_t replaced = 0;    // of those stored, records that took the place of an earlier row
                                 // (a row kept from before, or an earlier record of the same code)
    std::size_t refused = 0;     // records read but not stored
    std::vector<std::string> notes;  // what else the user must know, one sentence each
};

// One archive or record file given to an import.
struct ImportReport {
    std::string source;                       // the archive or record file as the user gave it
    std::vector<FileReport> files;            // in the order they were imported
    std::vector<std::string> missingMembers;  // members the flow expects that the archive lacks
};

// "JRA#KISI.DAT: 読込 120件 / 登録 120件 / 置換 0件 / 除外 0件", then the notes, one per line.
std::string fileReportText(const FileReport& report);

// The whole report: a line per file, then a line per missing member
// ("JRA#DEN1.DAT は圧縮ファイルに含まれていません。").
std::string importReportText(const ImportReport& report);

}  // namespace zelvanor

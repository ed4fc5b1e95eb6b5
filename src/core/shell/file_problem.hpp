#pragma once

#include <exception>
#include <filesystem>
#include <string>

namespace zelvanor {

// A file system failure in the user's words, naming the file or folders it concerns ("… が
// ありません。"), for the windows and the command line alike. Bytes of a name that are not UTF-8
// are shown as U+FFFD.
std::string fileSystemProblem(const std::filesystem::filesystem_error& error);

// Any failure that ends an operation, in the user's words: a file system failure as above, the
// store's and the readers' own messages (Japanese, naming the database, table or file) as they
// are, lack of memory, and anything else as an internal error with its text kept for a report.
std::string operationProblem(const std::exception& error);

}  // namespace zelvanor

#pragma once

#include <filesystem>
#include <string>

namespace zelvanor {

// A file system failure in the user's words, naming the file or folders it concerns ("… が
// ありません。"), for the windows and the command line alike. Bytes of a name that are not UTF-8
// are shown as U+FFFD.
std::string fileSystemProblem(const std::filesystem::filesystem_error& error);

}  // namespace zelvanor

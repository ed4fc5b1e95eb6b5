#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/backup.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

namespace {

const char* stateName(Integrity state) {
    switch (state) {
        case Integrity::Missing:
            return "missing";
        case Integrity::Sound:
            return "sound";
        case Integrity::Damaged:
            break;
    }
    return "damaged";
}

}  // namespace

int checkCommand(const AppPaths& paths, bool json) {
    bool damaged = false;
    nlohmann::json all = nlohmann::json::array();
    for (const auto& file : {paths.mastPath(), paths.tranPath()}) {
        const IntegrityCheck check = checkIntegrity(file);
        damaged = damaged || check.state == Integrity::Damaged;
        if (json) {
            all.push_back({{"file", file.filename().string()},
                           {"path", file.string()},
                           {"state", stateName(check.state)},
                           {"findings", check.findings}});
        } else {
            std::cout << withReplacementCharacters(integrityText(file, check)) << "\n";
        }
    }
    if (json) printJson(std::cout, all);
    return damaged ? 1 : 0;
}

int backupCommand(const AppPaths& paths, const std::string& folder, bool json) {
    std::vector<BackedUpFile> copies;
    try {
        copies = backupDatabases(paths, folder, terminalProgress("バックアップ"));
    } catch (const BackupError& e) {
        clearProgress();
        std::cerr << withReplacementCharacters(e.what()) << "\n";
        return 2;
    }
    clearProgress();
    if (json) {
        nlohmann::json files = nlohmann::json::array();
        for (const BackedUpFile& c : copies) {
            files.push_back({{"file", c.file}, {"path", c.path.string()}, {"bytes", c.bytes}});
        }
        printJson(std::cout, {{"folder", std::filesystem::path(folder).string()}, {"files", files}});
    } else {
        std::cout << withReplacementCharacters(backupDoneText(copies)) << "\n";
    }
    return 0;
}

}  // namespace zelvanor::cli

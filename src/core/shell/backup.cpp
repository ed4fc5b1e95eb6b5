#include "core/shell/backup.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

#include "core/records/format.hpp"
#include "core/store/store.hpp"

namespace zelvanor {

namespace {

namespace fs = std::filesystem;

// The temporary name a copy is written under, beside the name it takes when whole.
fs::path partName(const fs::path& copy) {
    return copy.string() + ".part";
}

// Makes the renames in the folder last through a power failure, as the copies' own contents do.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

}  // namespace

std::vector<BackedUpFile> backupDatabases(const AppPaths& paths, const fs::path& folder,
                                          const std::function<void(int)>& progress) {
    if (sameFolder(folder, paths.dataFolder())) {
        throw BackupError("バックアップ先にデータフォルダ（" + paths.dataFolder().string() +
                          "）は選べません。別のフォルダを指定してください。");
    }
    struct Source {
        fs::path from;
        std::uintmax_t size = 0;
    };
    std::vector<Source> sources;
    std::uintmax_t total = 0;
    for (const fs::path& file : {paths.mastPath(), paths.tranPath()}) {
        std::error_code ec;
        if (!fs::exists(file, ec)) continue;
        const std::uintmax_t size = fs::file_size(file);
        sources.push_back({file, size});
        total += size;
    }
    if (sources.empty()) {
        throw BackupError("データフォルダ（" + paths.dataFolder().string() +
                          "）に mast.mdb も tran.mdb もないため、バックアップするものがありません。");
    }
    fs::create_directories(folder);

    std::vector<BackedUpFile> copies;
    // Every part written so far goes if anything fails: the folder keeps what it held.
    struct PartsCleanup {
        std::vector<fs::path> parts;
        bool kept = false;
        ~PartsCleanup() {
            if (kept) return;
            for (const auto& p : parts) {
                std::error_code ignored;
                fs::remove(p, ignored);
                fs::remove(p.string() + "-journal", ignored);
            }
        }
    } cleanup;
    std::uintmax_t before = 0;  // bytes of the files copied already
    for (const Source& source : sources) {
        const fs::path copy = folder / source.from.filename();
        const fs::path part = partName(copy);
        std::error_code ignored;
        fs::remove(part, ignored);  // left by a backup that broke off
        cleanup.parts.push_back(part);
        const auto share = [&](int percent) {
            if (!progress || total == 0) return;
            progress(static_cast<int>(
                (100 * before + static_cast<std::uintmax_t>(percent) * source.size) / total));
        };
        const std::uintmax_t bytes = copyDatabase(source.from, part, share);
        copies.push_back({source.from.filename().string(), copy, bytes});
        before += source.size;
    }
    for (const BackedUpFile& c : copies) {
        // A journal left beside an earlier backup would be rolled back into the new copy when
        // it is opened.
        std::error_code ignored;
        fs::remove(c.path.string() + "-journal", ignored);
        fs::rename(partName(c.path), c.path);
    }
    cleanup.kept = true;
    syncFolder(folder);
    if (progress) progress(100);
    return copies;
}

std::string backupDoneText(const std::vector<BackedUpFile>& files) {
    std::string text;
    for (const BackedUpFile& f : files) {
        if (!text.empty()) text += "\n";
        const double kib = static_cast<double>((f.bytes + 1023) / 1024);
        text += f.file + " を " + f.path.string() + " に保存しました（" +
                formatNumber(kib, "###,###,##0") + " KB）。";
    }
    return text;
}

std::string integrityText(const fs::path& file, const IntegrityCheck& check) {
    const std::string name = file.filename().string();
    switch (check.state) {
        case Integrity::Missing:
            return name + " はまだありません（" + file.string() + "）。";
        case Integrity::Sound:
            return name + " は正常です（" + file.string() + "）。";
        case Integrity::Damaged:
            break;
    }
    std::string text = damagedDatabaseText(file);
    text += "\n検査の結果:";
    for (const std::string& finding : check.findings) text += "\n  " + finding;
    return text;
}

}  // namespace zelvanor

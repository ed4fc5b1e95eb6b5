#include "import/archive_import.hpp"

#include <algorithm>
#include <cctype>

#include "import/archive.hpp"
#include "import/people_import.hpp"
#include "import/race_card_import.hpp"
#include "import/results_import.hpp"
#include "store/store.hpp"

namespace zelvanor {

namespace {

const ArchiveFlow kFlows[] = {
    {ArchiveKind::Horses,
     "！競走馬・出馬表の圧縮されたファイルを指定してください",
     {"JRA#UMAJ.DAT", "JRA#DEN1.DAT"},
     " は、競走馬のファイルではありません。",
     " は、LHA圧縮ファイルではありません。"},
    {ArchiveKind::Results,
     "！成績データの圧縮されたファイルを指定してください",
     {"JRA#SEI1.DAT"},
     " は、成績データファイルではありません。",
     " は、LHA圧縮ファイルじゃないよ！"},
    {ArchiveKind::Jockeys,
     "！騎手データの圧縮されたファイルを指定してください",
     {"JRA#KISI.DAT"},
     " は、騎手のファイルじゃないよ！",
     " は、LHA圧縮ファイルではありません。"},
    {ArchiveKind::Trainers,
     "！調教師データの圧縮されたファイルを指定してください",
     {"JRA#CHOK.DAT"},
     " は、調教師のファイルではありません。",
     " は、LHA圧縮ファイルではありません。"},
};

constexpr const char* kHorsesDone = "出馬表・競走馬データの取込が終了しました。";

std::string upper(std::string_view s) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool hasAnyMember(const ArchiveFlow& flow, const std::filesystem::path& archive) {
    return std::any_of(flow.members.begin(), flow.members.end(),
                       [&](std::string_view m) { return archiveHasMember(archive, m); });
}

// Takes the flow's members out of the archive. Members the archive does not hold are passed
// over; an extraction failure is reported and stops the flow, so no import runs on a file
// that is not the one the user chose.
bool extractMembers(const ArchiveFlow& flow, const std::filesystem::path& archive,
                    const AppPaths& paths, Notifier& notifier) {
    for (std::string_view member : flow.members)
        removeEarlierCopies(paths.extractionFolder(), member);
    for (std::string_view member : flow.members) {
        if (!archiveHasMember(archive, member)) continue;
        const int code = extractMember(archive, paths.extractionFolder(), member);
        if (code != 0) {
            notifier.notify(extractErrorMessage(code), kApplicationTitle, Notifier::Icon::Critical);
            return false;
        }
    }
    return true;
}

// Runs the flow's import; its own failures are reported here. The horse flow's completion message
// is left to the caller when not interactive (the batch import shows one at its end).
bool runImport(ArchiveKind kind, const AppPaths& paths, Notifier& notifier,
               const ProgressFn& progress, bool interactive) {
    try {
        switch (kind) {
            case ArchiveKind::Horses:
                importRaceCardsIfPresent(paths, progress);
                if (interactive) notifier.notify(kHorsesDone, "", Notifier::Icon::None);
                return true;
            case ArchiveKind::Jockeys:
                notifier.notify(importJockeys(paths, progress).message, "", Notifier::Icon::None);
                return true;
            case ArchiveKind::Trainers:
                notifier.notify(importTrainers(paths, progress).message, "", Notifier::Icon::None);
                return true;
            case ArchiveKind::Results: {
                const ResultsImportResult r = importResults(paths, progress);
                notifier.notify(r.message, r.title, r.icon);
                return !r.stopped;
            }
        }
    } catch (const ImportError& e) {
        notifier.notify(e.what(), "", Notifier::Icon::Exclamation);
    } catch (const HorsesStoredError& e) {
        notifier.notify(std::string(e.what()) +
                            "\n競走馬データは取り込みました。出馬表データは取り込む前のままです。",
                        kApplicationTitle, Notifier::Icon::Critical);
    } catch (const std::exception& e) {
        notifier.notify(std::string(e.what()) + "\nデータは取り込む前のままです。",
                        kApplicationTitle, Notifier::Icon::Critical);
    }
    return false;
}

}  // namespace

const ArchiveFlow& archiveFlow(ArchiveKind kind) {
    for (const auto& f : kFlows) {
        if (f.kind == kind) return f;
    }
    return kFlows[0];
}

bool archiveImport(ArchiveKind kind, const std::filesystem::path& archive, const AppPaths& paths,
                   Notifier& notifier, const ProgressFn& progress) {
    const ArchiveFlow& flow = archiveFlow(kind);
    if (!isLhaArchive(archive)) {
        notifier.notify(archive.string() + std::string(flow.notArchiveText), kApplicationTitle,
                        Notifier::Icon::Exclamation);
        return false;
    }
    if (!hasAnyMember(flow, archive)) {
        notifier.notify(archive.string() + std::string(flow.notFoundText), kApplicationTitle,
                        Notifier::Icon::Exclamation);
        return false;
    }
    if (!extractMembers(flow, archive, paths, notifier)) return false;
    return runImport(kind, paths, notifier, progress, true);
}

bool extractAndImport(ArchiveKind kind, const std::filesystem::path& archive, const AppPaths& paths,
                      Notifier& notifier, const ProgressFn& progress) {
    if (!extractMembers(archiveFlow(kind), archive, paths, notifier)) return false;
    return runImport(kind, paths, notifier, progress, true);
}

bool importExtracted(ArchiveKind kind, const AppPaths& paths, Notifier& notifier,
                     const ProgressFn& progress) {
    return runImport(kind, paths, notifier, progress, true);
}

int importOrder(ArchiveKind kind) {
    switch (kind) {
        case ArchiveKind::Jockeys:
            return 0;
        case ArchiveKind::Trainers:
            return 1;
        case ArchiveKind::Horses:
            return 2;
        case ArchiveKind::Results:
            return 3;
    }
    return 4;
}

std::vector<ArchiveKind> archiveKinds(const std::filesystem::path& archive) {
    std::vector<ArchiveKind> kinds;
    for (const auto& flow : kFlows) {
        if (hasAnyMember(flow, archive)) kinds.push_back(flow.kind);
    }
    std::sort(kinds.begin(), kinds.end(),
              [](ArchiveKind a, ArchiveKind b) { return importOrder(a) < importOrder(b); });
    return kinds;
}

std::optional<ArchiveKind> recordFileKind(std::string_view fileName) {
    const std::string name = upper(fileName);
    for (const auto& flow : kFlows) {
        for (std::string_view member : flow.members) {
            if (name == member) return flow.kind;
        }
    }
    return std::nullopt;
}

bool importArchive(const std::filesystem::path& archive, const AppPaths& paths, Notifier& notifier,
                   const ProgressFn& progress) {
    const ArchiveFlow& flow = archiveFlow(ArchiveKind::Horses);
    if (!isLhaArchive(archive) || !hasAnyMember(flow, archive)) return false;
    if (!extractMembers(flow, archive, paths, notifier)) return false;
    return runImport(ArchiveKind::Horses, paths, notifier, progress, false);
}

std::vector<std::filesystem::path> batchArchives(const AppPaths& paths) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(paths.batchFolder(), ec)) {
        if (entry.is_regular_file(ec) && upper(entry.path().extension().string()) == ".LZH") {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

void removeEarlierCopies(const std::filesystem::path& folder, std::string_view fileName) {
    const std::string wanted = upper(fileName);
    std::error_code ec;
    std::vector<std::filesystem::path> doomed;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (upper(entry.path().filename().string()) == wanted && entry.is_regular_file(ec)) {
            doomed.push_back(entry.path());
        }
    }
    for (const auto& p : doomed) std::filesystem::remove(p);
}

}  // namespace zelvanor

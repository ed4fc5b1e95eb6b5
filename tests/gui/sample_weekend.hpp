#pragma once

// A data folder holding a weekend of generated sample data (東京, 京都 and 新潟 on 98/10/03 and
// 98/10/04), brought as far into the folder as a test needs it.

#include <QTemporaryDir>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/import/archive_import.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/notifier.hpp"
#include "sampledata/generator.hpp"

namespace zelvanor::fixture {

// How much of the weekend is imported.
enum class Imported {
    Nothing,      // the record files are only written: the jockey and trainer windows read them
    RaceCards,    // jockeys, trainers, horses and race cards, with the predictions computed
    WithResults,  // the same, then the results
};

struct SampleWeekend {
    std::uint32_t seed;
    Imported imported;
    // Empty: the record files are written into the data folder's extraction folder and imported
    // from there. Otherwise the record files and the four archives are written into this folder
    // and the archives are imported through the archive flows, checks and extraction included.
    std::filesystem::path archives;
};

// Generates the weekend and imports it into the data folder of `paths`. A sample that does not
// import cleanly is a broken test set-up: any step that fails or warns throws, with what it said.
inline void importSampleWeekend(const AppPaths& paths, const SampleWeekend& weekend) {
    struct Failures final : Notifier {
        void notify(const std::string& text, const std::string&, Icon icon) override {
            if (icon == Icon::Critical || icon == Icon::Exclamation) said += text + "\n";
        }
        std::string said;
    } notifier;
    const auto data = sample::generateSample(sample::SampleSize::Weekend, weekend.seed);
    const bool viaArchives = !weekend.archives.empty();
    sample::writeSample(data, viaArchives ? weekend.archives : paths.extractionFolder(),
                        viaArchives);
    const std::pair<ArchiveKind, std::string_view> steps[] = {
        {ArchiveKind::Jockeys, sample::kJockeysArchive},
        {ArchiveKind::Trainers, sample::kTrainersArchive},
        {ArchiveKind::Horses, sample::kHorsesAndCardsArchive},
        {ArchiveKind::Results, sample::kResultsArchive},
    };
    const std::size_t count = weekend.imported == Imported::Nothing     ? 0
                              : weekend.imported == Imported::RaceCards ? 3
                                                                        : 4;
    for (std::size_t k = 0; k < count; ++k) {
        const auto& [kind, archive] = steps[k];
        const bool imported =
            viaArchives ? static_cast<bool>(archiveImport(
                              kind, weekend.archives / std::string(archive), paths, notifier, {}))
                        : static_cast<bool>(importExtracted(kind, paths, notifier, {}));
        if (!imported || !notifier.said.empty()) {
            throw std::runtime_error("sample import failed: " + std::string(archive) + "\n" +
                                     notifier.said);
        }
    }
}

// A temporary folder whose data folder holds the weekend with its results, imported through the
// archives: what the tests of the windows that show races read. Kept for a whole test class.
class ArchivedWeekend {
  public:
    ArchivedWeekend() {
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder for the sample");
        paths_.emplace(dir_.filePath("data").toStdString());
        std::filesystem::create_directories(paths_->dataFolder());
        importSampleWeekend(*paths_, {.seed = 1998,
                                      .imported = Imported::WithResults,
                                      .archives = dir_.filePath("archives").toStdString()});
    }
    const AppPaths& paths() const { return *paths_; }

  private:
    QTemporaryDir dir_;
    std::optional<AppPaths> paths_;
};

}  // namespace zelvanor::fixture

#pragma once

// A data folder for race card tests: a generated weekend imported through the core's archive
// flows, and hand-made meetings beside it for the cases the sample does not pin down.

#include <filesystem>
#include <stdexcept>
#include <string>

#include "core/import/archive_import.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/notifier.hpp"
#include "sampledata/generator.hpp"

namespace zelvanor::fixture {

// Fails the import loudly: a sample that does not import is a broken test set-up.
struct ThrowingNotifier : Notifier {
    void notify(const std::string& text, const std::string&, Icon icon) override {
        if (icon == Icon::Critical || icon == Icon::Exclamation) throw std::runtime_error(text);
    }
};

// Writes the weekend's archives into `archives` and imports them into the data folder of
// `paths`: jockeys and trainers, horses with race cards, results.
inline void importWeekend(const AppPaths& paths, const std::filesystem::path& archives,
                          std::uint32_t seed = 1998) {
    const auto data = sample::generateSample(sample::SampleSize::Weekend, seed);
    sample::writeSample(data, archives, true);
    ThrowingNotifier notifier;
    const std::pair<ArchiveKind, std::string_view> steps[] = {
        {ArchiveKind::Jockeys, sample::kJockeysArchive},
        {ArchiveKind::Trainers, sample::kTrainersArchive},
        {ArchiveKind::Horses, sample::kHorsesAndCardsArchive},
        {ArchiveKind::Results, sample::kResultsArchive},
    };
    for (const auto& [kind, name] : steps) {
        if (!archiveImport(kind, archives / std::string(name), paths, notifier, {})) {
            throw std::runtime_error("sample import failed: " + std::string(name));
        }
    }
}

}  // namespace zelvanor::fixture

#pragma once

// A data folder holding a weekend of generated sample data (東京, 京都 and 新潟 on 98/10/03 and
// 98/10/04): jockeys, trainers, horses and race cards imported, predictions computed.

#include <QtTest>
#include <string>

#include "core/import/archive_import.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/notifier.hpp"
#include "sampledata/generator.hpp"

inline void importSampleWeekend(const zelvanor::AppPaths& paths, std::uint32_t seed = 7) {
    struct Quiet final : zelvanor::Notifier {
        void notify(const std::string& text, const std::string&, Icon icon) override {
            if (icon == Icon::Critical || icon == Icon::Exclamation) failures += text + "\n";
        }
        std::string failures;
    } notifier;
    const auto data = zelvanor::sample::generateSample(zelvanor::sample::SampleSize::Weekend, seed);
    zelvanor::sample::writeSample(data, paths.extractionFolder(), false);
    for (const auto kind : {zelvanor::ArchiveKind::Jockeys, zelvanor::ArchiveKind::Trainers,
                            zelvanor::ArchiveKind::Horses}) {
        const auto run = zelvanor::importExtracted(kind, paths, notifier, {});
        QVERIFY2(run, notifier.failures.c_str());
    }
}

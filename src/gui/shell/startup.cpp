#include "gui/shell/startup.hpp"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>

#include "core/shell/constants.hpp"
#include "core/shell/instance_lock.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/shell/main_window.hpp"

namespace zelvanor::gui {

void setUpJapaneseUi() {
    static bool done = false;
    if (done || !qApp) return;
    done = true;
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    QLocale::setDefault(japanese);
    // Owned by the application, so it lives as long as any widget can ask it for a text.
    auto* translator = new QTranslator(qApp);
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
    // Under a Japanese locale fontconfig answers the generic families with a monospaced face.
    QFont font(QString::fromLatin1(kUiFontFamily), kUiFontPointSize);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

std::unique_ptr<MainWindow> startProgram(const AppPaths& paths, const InstanceLock& lock) {
    if (!lock.acquired()) {
        dialogs().message(nullptr, QString::fromUtf8(kSecondInstanceText),
                          QString::fromUtf8(kSecondInstanceTitle), UserDialogs::Icon::Exclamation);
        return nullptr;
    }
    auto window = std::make_unique<MainWindow>(paths);
    // The window still opens when the database cannot be prepared, so the user sees why and
    // can fix the folder; every command reports the store's message again.
    window->guarded([&] { ensureConstantsTable(window->session().mast()); });
    // Made up front so the user finds the folder the batch import reads.
    std::error_code ignored;
    std::filesystem::create_directories(paths.batchFolder(), ignored);
    return window;
}

}  // namespace zelvanor::gui

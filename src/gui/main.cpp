#include <QApplication>
#include <clocale>

#include "core/shell/app_paths.hpp"
#include "gui/shell/main_window.hpp"
#include "core/shell/instance_lock.hpp"
#include "gui/shell/startup.hpp"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelvanor"));
    zelvanor::gui::setUpJapaneseUi();
    // Archive member names are converted through the C library's character type.
    std::setlocale(LC_CTYPE, "C.UTF-8");

    const zelvanor::AppPaths paths(zelvanor::chooseDataFolder(zelvanor::programFolder()));
    const zelvanor::InstanceLock lock(paths.dataFolder());
    auto window = zelvanor::gui::startProgram(paths, lock);
    if (!window) return 1;
    window->show();
    return QApplication::exec();
}

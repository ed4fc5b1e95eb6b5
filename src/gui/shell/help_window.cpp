#include "gui/shell/help_window.hpp"

#include <QUrl>

// The resources live in a static library, whose initialiser the linker would otherwise drop.
static void initHelpResources() {
    Q_INIT_RESOURCE(zelvanor);
}

namespace zelvanor::gui {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    initHelpResources();
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("Zelvanor ヘルプ"));
    setOpenExternalLinks(false);
    setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
    resize(640, 560);
}

}  // namespace zelvanor::gui

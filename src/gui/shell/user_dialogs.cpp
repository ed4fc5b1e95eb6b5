#include "gui/shell/user_dialogs.hpp"

#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>

#include <algorithm>

namespace zelvanor::gui {

namespace {

// QMessageBox wraps text wider than about half a small screen, which breaks an import report's
// lines of figures in the middle; lines that fit a modest width are kept whole.
void keepLinesWhole(QMessageBox& box, const QString& text) {
    const QFontMetrics metrics(box.font());
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    constexpr int kWidest = 720;
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setMinimumWidth(std::min(widest + 8, kWidest));
    }
}

class QtDialogs final : public UserDialogs {
  public:
    void message(QWidget* parent, const QString& text, const QString& title, Icon icon) override {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
        box.setText(text);
        switch (icon) {
            case Icon::Information:
                box.setIcon(QMessageBox::Information);
                break;
            case Icon::Exclamation:
                box.setIcon(QMessageBox::Warning);
                break;
            case Icon::Critical:
                box.setIcon(QMessageBox::Critical);
                break;
            case Icon::Question:
                box.setIcon(QMessageBox::Question);
                break;
            case Icon::None:
                box.setIcon(QMessageBox::NoIcon);
                break;
        }
        box.setStandardButtons(QMessageBox::Ok);
        keepLinesWhole(box, text);
        box.exec();
    }

    QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& folder) override {
        return QFileDialog::getOpenFileName(parent, title, folder, filter);
    }

    bool confirm(QWidget* parent, const QString& text, const QString& title) override {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
};

QtDialogs realDialogs;
UserDialogs* current = nullptr;

}  // namespace

UserDialogs& dialogs() {
    return current ? *current : realDialogs;
}

void setDialogs(UserDialogs* replacement) {
    current = replacement;
}

}  // namespace zelvanor::gui

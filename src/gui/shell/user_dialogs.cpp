#include "gui/shell/user_dialogs.hpp"

#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>

#include <algorithm>

#include "core/shell/file_problem.hpp"
#include "gui/common/display_text.hpp"

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

QMessageBox::Icon boxIcon(UserDialogs::Icon icon) {
    switch (icon) {
        case UserDialogs::Icon::Information:
            return QMessageBox::Information;
        case UserDialogs::Icon::Exclamation:
            return QMessageBox::Warning;
        case UserDialogs::Icon::Critical:
            return QMessageBox::Critical;
        case UserDialogs::Icon::Question:
            return QMessageBox::Question;
        case UserDialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

class QtDialogs final : public UserDialogs {
  public:
    // Texts may come from the core with its own line breaks (a bare carriage return, or a
    // carriage return and line feed); Qt breaks only at a line feed, so every text is converted
    // here, where all of them pass.
    void message(QWidget* parent, const QString& rawText, const QString& title,
                 Icon icon) override {
        const QString text = displayText(rawText);
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : displayText(title));
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        box.setIcon(boxIcon(icon));
        box.setStandardButtons(QMessageBox::Ok);
        keepLinesWhole(box, text);
        box.exec();
    }

    QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& folder) override {
        return QFileDialog::getOpenFileName(parent, displayText(title), folder, filter);
    }

    bool confirm(QWidget* parent, const QString& text, const QString& title,
                 Icon icon) override {
        QMessageBox box(boxIcon(icon), displayText(title), displayText(text),
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
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

void showOperationFailure(QWidget* parent, const std::exception& failure) {
    dialogs().message(parent,
                      QString::fromStdString(operationProblem(failure)) +
                          QStringLiteral("\n\nこの操作は取り消されました。"),
                      QString::fromLatin1(kAppTitle), UserDialogs::Icon::Critical);
}

}  // namespace zelvanor::gui

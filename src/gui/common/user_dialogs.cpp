#include "gui/common/user_dialogs.hpp"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>

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

}  // namespace

namespace {

void placeOver(QWidget* dialog, const QWidget* parent) {
    const QWidget* window = parent ? parent->window() : nullptr;
    const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QPoint centre =
        window && window->isVisible() ? window->frameGeometry().center() : area.center();
    QRect placed(QPoint(0, 0), dialog->frameGeometry().size());
    placed.moveCenter(centre);
    // Whole on the screen, its title bar first.
    placed.moveLeft(std::clamp(placed.left(), area.left(),
                               std::max(area.left(), area.right() - placed.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), area.top(),
                              std::max(area.top(), area.bottom() - placed.height() + 1)));
    dialog->move(placed.topLeft());
}

// A message box settles its size only as it is shown: placed again then, before it appears.
class PlaceWhenShown final : public QObject {
  public:
    PlaceWhenShown(QWidget* dialog, QWidget* parent) : QObject(dialog), parent_(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) placeOver(static_cast<QWidget*>(watched), parent_);
        return false;
    }

  private:
    QPointer<QWidget> parent_;
};

}  // namespace

void centreOver(QWidget* dialog, QWidget* parent) {
    dialog->installEventFilter(new PlaceWhenShown(dialog, parent));
}

namespace {

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
        centreOver(&box, parent);
        box.exec();
    }

    QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& folder) override {
        return QFileDialog::getOpenFileName(parent, displayText(title), folder, filter);
    }

    QString folderName(QWidget* parent, const QString& title, const QString& folder) override {
        return QFileDialog::getExistingDirectory(parent, displayText(title), folder);
    }

    bool confirm(QWidget* parent, const QString& text, const QString& title,
                 Icon icon) override {
        QMessageBox box(boxIcon(icon), displayText(title), displayText(text),
                        QMessageBox::Yes | QMessageBox::No, parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::No);
        centreOver(&box, parent);
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

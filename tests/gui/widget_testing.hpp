#pragma once

// What the window tests do again and again: find a shown window, press a button by its object
// name, save a picture of a widget for people to look at, and answer a message box.

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace zelvanor::testing {

// The visible top-level window of that object name, or nullptr.
inline QWidget* openWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    }
    return nullptr;
}

// Presses the enabled button of that object name; fails the test when there is none.
inline void clickButton(QWidget& window, const char* button) {
    auto* b = window.findChild<QPushButton*>(QLatin1String(button));
    QVERIFY2(b && b->isEnabled(), button);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Writes the widget as it shows now into the screenshots folder, as `file` (a PNG name).
inline void saveScreenshot(QWidget& w, const QString& file) {
    QApplication::processEvents();
    QDir().mkpath(QStringLiteral(ZELVANOR_SCREENSHOTS));
    const QString path = QStringLiteral(ZELVANOR_SCREENSHOTS "/") + file;
    QVERIFY2(w.grab().save(path), qPrintable(path));
    qInfo("%s", qPrintable(path));
}

// Waits for the next message box to open, pictures it as `picture` (a PNG name) and answers it
// with `answer`. A message box blocks the test in its own event loop, hence the timer.
class BoxCatcher : public QObject {
  public:
    explicit BoxCatcher(QString picture, QMessageBox::StandardButton answer = QMessageBox::Ok)
        : picture_(std::move(picture)), answer_(answer) {
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) return;
            timer_.stop();
            text_ = box->text();
            saveScreenshot(*box, picture_);
            box->button(answer_)->click();
        });
        timer_.start(20);
    }
    const QString& text() const { return text_; }

  private:
    QString picture_;
    QMessageBox::StandardButton answer_;
    QTimer timer_;
    QString text_;
};

}  // namespace zelvanor::testing

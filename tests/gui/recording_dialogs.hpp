#pragma once

#include <QStringList>
#include <vector>

#include "gui/common/user_dialogs.hpp"

// Answers the program's dialogs in tests and remembers what was shown.
class RecordingDialogs : public zelvanor::gui::UserDialogs {
  public:
    struct Shown {
        QString text;
        QString title;
        Icon icon;
    };
    RecordingDialogs() { zelvanor::gui::setDialogs(this); }
    ~RecordingDialogs() override { zelvanor::gui::setDialogs(nullptr); }

    void message(QWidget*, const QString& text, const QString& title, Icon icon) override {
        shown.push_back({text, title, icon});
    }
    QString openFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        fileDialogTitles << title;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    QString folderName(QWidget*, const QString& title, const QString&) override {
        fileDialogTitles << title;
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
    bool confirm(QWidget*, const QString& text, const QString& title, Icon icon) override {
        shown.push_back({text, QString(), icon});
        confirmTitles << title;
        return confirmAnswer;
    }

    std::vector<Shown> shown;
    QStringList files;  // answers of the file dialog, in order; empty = cancel
    QStringList folders;  // answers of the folder dialog, likewise
    QStringList fileDialogTitles;
    bool confirmAnswer = true;
    QStringList confirmTitles;  // titles of the questions asked, in order
};

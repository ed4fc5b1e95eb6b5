#pragma once

#include <QMainWindow>
#include <QPointer>
#include <vector>

#include "core/import/archive_import.hpp"
#include "core/import/progress.hpp"
#include "core/shell/app_paths.hpp"
#include "core/shell/data_session.hpp"
#include "core/shell/file_problem.hpp"
#include "core/views/meetings.hpp"
#include "core/views/people_info.hpp"
#include "gui/common/window_services.hpp"
#include "gui/shell/help_window.hpp"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;

namespace zelvanor::gui {

class OptionsDialog;
class VerificationWindow;

// The main window: every command of the program through its menus and four large buttons, and
// the services the other windows use (WindowServices); it lends its progress bar and pointer to
// the long operations. Closing it ends the program.
class MainWindow : public QMainWindow, public WindowServices {
    Q_OBJECT
  public:
    explicit MainWindow(AppPaths paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    const AppPaths& paths() const override { return paths_; }
    DataSession& session() override { return session_; }
    QProgressBar* progressBar() override { return progressBar_; }
    void reportFailure(const std::exception& failure) override;
    void restoreMainWindow() override { showNormal(); }
    HelpWindow* helpWindow() const { return help_; }
    // The archive a running batch works on, in the line beside the progress bar.
    void showBatchArchive(const QString& path);

  public slots:
    void showHelp();
    // An import flow of the import menu: file dialog, checks, extraction, import.
    void archiveImport(zelvanor::ArchiveKind kind);
    // Every archive of the batch folder: all the record files found, in the order the imports
    // need (importBatch), then one completion message with the report.
    void batchImport();
    // バックアップ…: copies of mast.mdb and tran.mdb in a folder the user chooses, made on a
    // worker thread under the progress bar while the windows wait.
    void backupDatabases();
    // 出馬情報の照会 and the button 出馬情報: a new race-day selection, not modal.
    void openRaceDaySelection();
    // The race card of a meeting, not modal; the race-day selection opens it.
    void openRaceCard(const zelvanor::Meeting& meeting) override;
    // While a race card is open, the commands that could change or reopen the race data
    // (出馬情報の照会, 競走馬データの取り込み, 成績データの取り込み, the button 出馬情報) are off.
    void setRaceCardOpen(bool open) override;
    // 戻る of the race-day selection: 出馬情報の照会, 競走馬データの取り込み and the button
    // 出馬情報 on again.
    void enableRaceDayCommands() override;
    // 予想定数の設定: the stored constants in the options dialog, opened once and brought to
    // the front when it is open already (its unsaved changes give way to the stored values).
    void openOptions();
    // 予想の検証 and the button 予想検証: the verification window, not modal; opened once and
    // brought to the front when it is open already.
    void openVerification();
    // 騎手情報の照会 / 調教師情報の照会 and the buttons 騎手情報 / 厩舎情報: the list of the
    // record file, then the information window, or the message that there is no one to show.
    void openPeopleWindow(zelvanor::PersonKind kind);
    // While an information window exists, its button, its 照会 item and its import are off.
    void setPeopleWindowOpen(zelvanor::PersonKind kind, bool open) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QAction* addItem(QMenu* menu, const char* name, const QString& caption);
    void buildMenus();
    void buildContent();
    void setCommandButtonsEnabled(bool enabled);
    // The batch import runs every kind of import: it is on only while each of them is.
    void updateBatchCommand();
    void keepWindow(QWidget* window);
    // Shows the progress bar and returns the callback that moves it, repainting as it goes, for
    // work on the window thread.
    ProgressFn startProgress();
    // The callback that moves the progress bar shown by startProgress, for work running in
    // runInBackground: the bar moves as the window thread gets to it.
    ProgressFn workerProgress();
    void endProgress();

    AppPaths paths_;
    DataSession session_;
    QAction* raceDayAction_ = nullptr;
    QAction* horseImportAction_ = nullptr;
    QAction* resultsImportAction_ = nullptr;
    QAction* batchImportAction_ = nullptr;
    // Per PersonKind: the 照会 item and the import item of jockeys, then of trainers.
    QAction* peopleActions_[2][2] = {};
    QPushButton* jockeyButton_ = nullptr;
    QPushButton* trainerButton_ = nullptr;
    QPushButton* raceDayButton_ = nullptr;
    QPushButton* verifyButton_ = nullptr;
    QPushButton* batchButton_ = nullptr;
    QLineEdit* batchArchive_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPointer<HelpWindow> help_;
    QPointer<OptionsDialog> options_;
    QPointer<QWidget> peopleWindows_[2];
    // One race-day selection at a time: two could delete each other's meetings.
    QPointer<QWidget> raceDaySelection_;
    QPointer<VerificationWindow> verify_;
    // The race-day selections and race cards opened from here: closing the main window ends the
    // program, so they close with it.
    std::vector<QPointer<QWidget>> openWindows_;
    QString lastArchiveFolder_;
    QString lastBackupFolder_;
};

}  // namespace zelvanor::gui

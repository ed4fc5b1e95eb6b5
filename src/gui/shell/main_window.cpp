#include "gui/shell/main_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/import/import_report.hpp"
#include "core/shell/backup.hpp"
#include "gui/common/background_run.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/twips.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/jockey/jockey_window.hpp"
#include "gui/options/options_dialog.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/race_day/race_day_selection.hpp"
#include "gui/shell/dialog_notifier.hpp"
#include "gui/shell/help_window.hpp"
#include "gui/shell/logo_widget.hpp"
#include "gui/trainer/trainer_window.hpp"
#include "gui/verify/verification_window.hpp"

namespace zelvanor::gui {

MainWindow::MainWindow(AppPaths paths, QWidget* parent)
    : QMainWindow(parent), paths_(std::move(paths)), session_(paths_) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("ＪＲＡ－ＶＡＮ 情報検索"));
    buildMenus();
    buildContent();
    move(twipsToPixels(this, 400), twipsToPixels(this, 400));
    // With many seasons stored, reading tran.mdb's schema takes a noticeable moment: done while
    // the user looks at the main window rather than when the first window needs it.
    session_.preload();
    // A window asked for before that is done waits for it under the busy pointer.
    session_.setWaitNotice([](bool waiting) {
        if (waiting) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::addItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void MainWindow::buildMenus() {
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    QAction* raceDay = addItem(fileMenu, "raceDayAction", QStringLiteral("出馬情報の照会"));
    QAction* jockeyInfo = addItem(fileMenu, "jockeyInfoAction", QStringLiteral("騎手情報の照会"));
    QAction* trainerInfo =
        addItem(fileMenu, "trainerInfoAction", QStringLiteral("調教師情報の照会"));
    QAction* verify = addItem(fileMenu, "verifyAction", QStringLiteral("予想の検証"));
    fileMenu->addSeparator();
    QMenu* importMenu = fileMenu->addMenu(QStringLiteral("ＪＲＡデータの取り込み"));
    importMenu->setObjectName(QStringLiteral("importMenu"));
    QAction* horseImport =
        addItem(importMenu, "horseImportAction", QStringLiteral("競走馬データの取り込み"));
    importMenu->addSeparator();
    QAction* resultsImport =
        addItem(importMenu, "resultsImportAction", QStringLiteral("成績データの取り込み"));
    importMenu->addSeparator();
    QAction* jockeyImport =
        addItem(importMenu, "jockeyImportAction", QStringLiteral("騎手データの取り込み"));
    QAction* trainerImport =
        addItem(importMenu, "trainerImportAction", QStringLiteral("調教師データの取り込み"));
    importMenu->addSeparator();
    QAction* batch = addItem(importMenu, "batchImportAction", QStringLiteral("一括データ取込"));
    fileMenu->addSeparator();
    QAction* backup = addItem(fileMenu, "backupAction", QStringLiteral("バックアップ…"));
    fileMenu->addSeparator();
    QAction* quit = addItem(fileMenu, "quitAction", QStringLiteral("終了"));

    QMenu* optionsMenu = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"));
    optionsMenu->setObjectName(QStringLiteral("optionsMenu"));
    QAction* options = addItem(optionsMenu, "optionsAction", QStringLiteral("予想定数の設定"));

    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    QAction* help = addItem(helpMenu, "helpAction", QStringLiteral("ﾍﾙﾌﾟ"));

    raceDayAction_ = raceDay;
    horseImportAction_ = horseImport;
    resultsImportAction_ = resultsImport;
    batchImportAction_ = batch;
    connect(raceDay, &QAction::triggered, this, &MainWindow::openRaceDaySelection);
    connect(options, &QAction::triggered, this, &MainWindow::openOptions);
    connect(verify, &QAction::triggered, this, &MainWindow::openVerification);
    peopleActions_[0][0] = jockeyInfo;
    peopleActions_[0][1] = jockeyImport;
    peopleActions_[1][0] = trainerInfo;
    peopleActions_[1][1] = trainerImport;
    connect(jockeyInfo, &QAction::triggered, this,
            [this] { openPeopleWindow(PersonKind::Jockey); });
    connect(trainerInfo, &QAction::triggered, this,
            [this] { openPeopleWindow(PersonKind::Trainer); });
    connect(horseImport, &QAction::triggered, this, [this] { archiveImport(ArchiveKind::Horses); });
    connect(resultsImport, &QAction::triggered, this,
            [this] { archiveImport(ArchiveKind::Results); });
    connect(jockeyImport, &QAction::triggered, this,
            [this] { archiveImport(ArchiveKind::Jockeys); });
    connect(trainerImport, &QAction::triggered, this,
            [this] { archiveImport(ArchiveKind::Trainers); });
    connect(batch, &QAction::triggered, this, &MainWindow::batchImport);
    connect(backup, &QAction::triggered, this, &MainWindow::backupDatabases);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    connect(help, &QAction::triggered, this, &MainWindow::showHelp);
}

void MainWindow::buildContent() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(4);

    auto* head = new QGridLayout;
    head->setHorizontalSpacing(6);
    head->setVerticalSpacing(2);
    auto* logo = new LogoWidget(central);
    auto* forPanel = new QLabel(QStringLiteral("for"), central);
    forPanel->setObjectName(QStringLiteral("forPanel"));
    auto* platformPanel = new QLabel(QStringLiteral("Windows95･98/NT4.0"), central);
    platformPanel->setObjectName(QStringLiteral("platformPanel"));
    auto* copyrightPanel = new QLabel(QStringLiteral("© 2026 Zelvanor 開発チーム"), central);
    copyrightPanel->setObjectName(QStringLiteral("copyrightPanel"));
    for (QLabel* l : {forPanel, platformPanel, copyrightPanel}) {
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        // Room between the sunken frame and the text, so no caption touches its frame.
        l->setContentsMargins(8, 2, 8, 2);
    }
    head->addWidget(logo, 0, 0, 2, 1);
    head->addWidget(forPanel, 0, 1);
    head->addWidget(platformPanel, 1, 1);
    head->addWidget(copyrightPanel, 2, 0, 1, 2);
    outer->addLayout(head);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    const struct {
        QPushButton** slot;
        const char* name;
        const char* caption;
    } defs[] = {{&jockeyButton_, "jockeyButton", "騎手情報"},
                {&trainerButton_, "trainerButton", "厩舎情報"},
                {&raceDayButton_, "raceDayButton", "出馬情報"},
                {&verifyButton_, "verifyButton", "予想検証"}};
    int column = 0;
    for (const auto& d : defs) {
        auto* b = new QPushButton(QString::fromUtf8(d.caption), central);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setMinimumHeight(32);
        // Cleared while the button's window is open (setPeopleWindowOpen), so that the end of
        // an import does not turn it back on.
        b->setProperty("ready", true);
        buttons->addWidget(b, 0, column++);
        *d.slot = b;
    }
    connect(jockeyButton_, &QPushButton::clicked, this,
            [this] { openPeopleWindow(PersonKind::Jockey); });
    connect(trainerButton_, &QPushButton::clicked, this,
            [this] { openPeopleWindow(PersonKind::Trainer); });
    connect(raceDayButton_, &QPushButton::clicked, this, &MainWindow::openRaceDaySelection);
    connect(verifyButton_, &QPushButton::clicked, this, &MainWindow::openVerification);
    outer->addLayout(buttons);

    // One line under the buttons for the work in hand: the progress bar, and while a batch runs
    // the path of its archive beside it. The line keeps its height when both are hidden, so the
    // window never changes size.
    auto* working = new QWidget(central);
    auto* workingRow = new QHBoxLayout(working);
    workingRow->setContentsMargins(0, 0, 0, 0);
    workingRow->setSpacing(4);
    // The batch import is reached from the menu, so its button stays out of sight.
    batchButton_ = new QPushButton(QStringLiteral("一括データ取込"), central);
    batchButton_->setObjectName(QStringLiteral("batchButton"));
    batchButton_->setVisible(false);
    connect(batchButton_, &QPushButton::clicked, this, &MainWindow::batchImport);
    batchArchive_ = new QLineEdit(working);
    batchArchive_->setObjectName(QStringLiteral("batchArchive"));
    batchArchive_->setReadOnly(true);
    batchArchive_->setFrame(false);
    batchArchive_->setVisible(false);
    workingRow->addWidget(batchArchive_, 3);
    progressBar_ = new QProgressBar(working);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->setTextVisible(false);
    progressBar_->setFixedHeight(10);
    progressBar_->setVisible(false);
    workingRow->addWidget(progressBar_, 2, Qt::AlignVCenter);
    working->setFixedHeight(batchArchive_->sizeHint().height());
    outer->addWidget(working);

    setCentralWidget(central);
    const QSize designed(twipsToPixels(this, 4515), twipsToPixels(this, 1905));
    central->setMinimumSize(designed.expandedTo(central->sizeHint()));
}

void MainWindow::showHelp() {
    if (!help_) help_ = new HelpWindow(this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (help_) help_->close();
    for (const QPointer<QWidget>& window : openWindows_) {
        if (window) window->close();
    }
    openWindows_.clear();
    QMainWindow::closeEvent(event);
}

void MainWindow::setCommandButtonsEnabled(bool enabled) {
    // A button whose window is open stays off (see setPeopleWindowOpen).
    for (QPushButton* b : {jockeyButton_, trainerButton_, raceDayButton_, verifyButton_}) {
        b->setEnabled(enabled && b->property("ready").toBool());
    }
}

ProgressFn MainWindow::startProgress() {
    progressBar_->setValue(0);
    progressBar_->setVisible(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return [this](int percent) {
        if (progressBar_->value() == percent && progressBar_->isVisible()) return;
        progressBar_->setVisible(true);
        progressBar_->setValue(percent);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

ProgressFn MainWindow::workerProgress() {
    return postedProgress(this, [this](int percent) {
        progressBar_->setVisible(true);
        progressBar_->setValue(percent);
    });
}

void MainWindow::endProgress() {
    QApplication::restoreOverrideCursor();
    progressBar_->setVisible(false);
    progressBar_->setValue(0);
}

void MainWindow::archiveImport(ArchiveKind kind) {
    const ArchiveFlow& flow = archiveFlow(kind);
    setCommandButtonsEnabled(false);
    const QString file = dialogs().openFileName(
        this, QString::fromUtf8(flow.dialogTitle.data(), static_cast<int>(flow.dialogTitle.size())),
        QStringLiteral("LZH (*.lzh *.LZH)"), lastArchiveFolder_);
    if (!file.isEmpty()) {
        lastArchiveFolder_ = QFileInfo(file).absolutePath();
        // The flow's last message waits for the import's report, to show it in the same box.
        DialogNotifier notifier(
            this, [this] { progressBar_->setVisible(false); }, true);
        WindowThreadNotifier fromImport(notifier, this);
        startProgress();
        const ProgressFn progress = workerProgress();
        ImportRun run;
        {
            const LentConnections lent(session_);
            guarded([&] {
                try {
                    runInBackground([&] {
                        run = zelvanor::archiveImport(kind,
                                                      std::filesystem::path(file.toStdString()),
                                                      paths_, fromImport, progress);
                    });
                } catch (...) {
                    notifier.finish();
                    throw;
                }
            });
        }
        endProgress();
        notifier.finish(importReportText(run.report));
    }
    setCommandButtonsEnabled(true);
}

void MainWindow::backupDatabases() {
    const QString folder = dialogs().folderName(
        this, QStringLiteral("バックアップを保存するフォルダの選択"), lastBackupFolder_);
    if (folder.isEmpty()) return;
    lastBackupFolder_ = folder;
    setCommandButtonsEnabled(false);
    std::vector<BackedUpFile> copies;
    startProgress();
    const bool done = guarded([&] {
        const ProgressFn progress = workerProgress();
        runInBackground([&] {
            copies = zelvanor::backupDatabases(
                paths_, std::filesystem::path(folder.toStdString()), progress);
        });
    });
    endProgress();
    setCommandButtonsEnabled(true);
    if (done) {
        dialogs().message(this, QString::fromStdString(backupDoneText(copies)),
                          QStringLiteral("バックアップ"), UserDialogs::Icon::Information);
    }
}

void MainWindow::batchImport() {
    setCommandButtonsEnabled(false);
    DialogNotifier notifier(this, [this] { progressBar_->setVisible(false); });
    WindowThreadNotifier fromImport(notifier, this);
    startProgress();
    const ProgressFn progress = workerProgress();
    // The path box shows which archive is being worked on, for as long as the batch runs.
    batchArchive_->setVisible(true);
    BatchImport batch;
    {
        const LentConnections lent(session_);
        guarded([&] {
            runInBackground([&] {
                batch = importBatch(
                    paths_, fromImport, progress, [this](const std::filesystem::path& archive) {
                        const QString path = QString::fromStdString(archive.string());
                        QMetaObject::invokeMethod(
                            this, [this, path] { showBatchArchive(path); }, Qt::QueuedConnection);
                    });
            });
        });
    }
    batchArchive_->clear();
    batchArchive_->setToolTip(QString());
    batchArchive_->setVisible(false);
    endProgress();
    const std::string report = batchReportText(batch);
    dialogs().message(this,
                      QStringLiteral("出馬表・競走馬データの取込が終了しました。") +
                          (report.empty() ? QString() : "\n\n" + displayText(report)),
                      QString(), UserDialogs::Icon::None);
    setCommandButtonsEnabled(true);
}

void MainWindow::showBatchArchive(const QString& path) {
    batchArchive_->setVisible(true);
    // Laid out now, so the width measured is the one shown even on the box's first showing.
    batchArchive_->parentWidget()->layout()->activate();
    // A long path keeps its file name in sight: cut on the left, marked with "…", and shown
    // whole in the tooltip. The box keeps a few pixels of margin inside its contents.
    const int room = batchArchive_->contentsRect().width() - 4 * batchArchive_->fontMetrics().averageCharWidth();
    batchArchive_->setText(batchArchive_->fontMetrics().elidedText(path, Qt::ElideLeft, room));
    batchArchive_->setCursorPosition(0);
    batchArchive_->setToolTip(path);
}

void MainWindow::keepWindow(QWidget* window) {
    std::erase_if(openWindows_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    openWindows_.emplace_back(window);
}

void MainWindow::openRaceDaySelection() {
    // A closed one may wait for its deletion still.
    if (raceDaySelection_ && raceDaySelection_->isVisible()) {
        raceDaySelection_->raise();
        raceDaySelection_->activateWindow();
        return;
    }
    guarded([&] {
        auto* window = new RaceDaySelection(*this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        keepWindow(window);
        raceDaySelection_ = window;
        window->show();
    });
}

void MainWindow::openRaceCard(const Meeting& meeting) {
    // The window that asked may just have closed over this one: painted before the card is
    // built, which takes a moment.
    repaint();
    guarded([&] {
        auto* window = new RaceCardWindow(*this, meeting);
        window->setAttribute(Qt::WA_DeleteOnClose);
        keepWindow(window);
        window->show();
    });
}

void MainWindow::setRaceCardOpen(bool open) {
    for (QAction* a : {raceDayAction_, horseImportAction_, resultsImportAction_}) a->setEnabled(!open);
    raceDayButton_->setEnabled(!open);
    updateBatchCommand();
}

void MainWindow::enableRaceDayCommands() {
    for (QAction* a : {raceDayAction_, horseImportAction_}) a->setEnabled(true);
    raceDayButton_->setEnabled(true);
    updateBatchCommand();
}

void MainWindow::updateBatchCommand() {
    // Replacing the race cards, results or masters under an open race card or jockey or
    // trainer window would leave it showing rows that are gone.
    const bool all = horseImportAction_->isEnabled() && resultsImportAction_->isEnabled() &&
                     peopleActions_[0][1]->isEnabled() && peopleActions_[1][1]->isEnabled();
    batchImportAction_->setEnabled(all);
    batchButton_->setEnabled(all);
}

void MainWindow::openOptions() {
    guarded([&] {
        const OptionsValues values = loadConstantsIntoOptions(session_.mast());
        if (!options_) {
            options_ = new OptionsDialog(session_, this);
            options_->setAttribute(Qt::WA_DeleteOnClose);
            keepWindow(options_);
        }
        options_->setValues(values);
        options_->show();
        options_->raise();
        options_->activateWindow();
    });
}

void MainWindow::openVerification() {
    guarded([&] {
        if (!verify_) {
            verify_ = new VerificationWindow(*this);
            verify_->setAttribute(Qt::WA_DeleteOnClose);
            keepWindow(verify_);
        }
        verify_->show();
        verify_->raise();
        verify_->activateWindow();
    });
}

void MainWindow::openPeopleWindow(PersonKind kind) {
    QPointer<QWidget>& slot = peopleWindows_[kind == PersonKind::Jockey ? 0 : 1];
    if (slot) {
        slot->raise();
        slot->activateWindow();
        return;
    }
    guarded([&] {
        std::vector<std::string> items;
        {
            // The bar and the pointer go away however the reading ends.
            struct Progress {
                MainWindow& main;
                ~Progress() { main.endProgress(); }
            } progress{*this};
            items = loadPeopleList(paths_, kind, startProgress());
        }
        PeopleWindow* window = kind == PersonKind::Jockey
                                   ? static_cast<PeopleWindow*>(new JockeyWindow(*this))
                                   : new TrainerWindow(*this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setList(items);
        if (items.empty()) {
            delete window;
            dialogs().message(this, displayText(noPeopleMessage(kind)), QString(),
                              UserDialogs::Icon::Critical);
            showNormal();
            return;
        }
        keepWindow(window);
        slot = window;
        window->placeWindow();
        window->show();
    });
}

void MainWindow::setPeopleWindowOpen(PersonKind kind, bool open) {
    const int k = kind == PersonKind::Jockey ? 0 : 1;
    for (QAction* a : peopleActions_[k]) a->setEnabled(!open);
    QPushButton* button = k == 0 ? jockeyButton_ : trainerButton_;
    // An import running meanwhile turns the buttons back on by this mark.
    button->setProperty("ready", !open);
    button->setEnabled(!open);
    updateBatchCommand();
}

void MainWindow::reportFailure(const std::exception& failure) {
    // The operation is over: its bar must not stand behind the box as if it still ran, and the
    // pointer is an arrow while the user reads.
    progressBar_->setVisible(false);
    progressBar_->setValue(0);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    showOperationFailure(this, failure);
    QApplication::restoreOverrideCursor();
}

}  // namespace zelvanor::gui

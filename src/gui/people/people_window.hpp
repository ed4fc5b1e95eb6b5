#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/views/people_info.hpp"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;

namespace zelvanor::gui {

class WindowServices;
class TextGridModel;

// What tells the jockey window from the trainer window; everything else they share.
struct PeopleWindowTraits {
    PersonKind kind;
    const char* objectName;  // "JockeyWindow", "TrainerWindow"
    const char* title;
    const char* hint;         // beside the list
    const char* codeCaption;  // the caption of the code on 基本情報
    int offsetTwips;          // from the centre of the screen, right and down
};

// The information window over one of the two record files: a list of everyone in it, stepping
// through them, and tabs with the record on show. Creating it disables the main window's
// commands that would open or re-import it; they come back however it goes away.
class PeopleWindow : public QWidget {
    Q_OBJECT
  public:
    PeopleWindow(WindowServices& main, const PeopleWindowTraits& traits, QWidget* parent = nullptr);
    ~PeopleWindow() override;

    PersonKind kind() const { return traits_.kind; }
    // The list items, code + "  :  " + name, in record order; nothing selected.
    void setList(const std::vector<std::string>& items);
    // The stepping buttons wrap within this window's own list, which the file cannot outgrow
    // while the window is open (its import is disabled).
    int recordCount() const;
    // 0 while no record is shown.
    int currentRecord() const { return current_; }

    // Shows record n of the file; when the file has gone, the window keeps what it showed.
    void showRecord(int n);
    void showPrevious();
    void showNext();

    // Centred on the screen, then moved right and down by the kind's offset.
    void placeWindow();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Grid {
        QTableView* view = nullptr;
        TextGridModel* model = nullptr;
    };

    void buildWindow();
    QWidget* buildTopRow();
    QWidget* buildBasicTab();
    QWidget* buildCourseTab(bool jump);
    QWidget* buildDistanceTab();
    QWidget* buildWinsTab();
    QWidget* tabPage(int index, QWidget** body);
    Grid makeGrid(QWidget* parent, const QString& name, const QString& caption,
                  const QStringList& columns, const TextGrid& shape, QWidget** framed);
    void fill(const PersonInfo& info);
    void setBusy(bool busy);
    void releaseCommands();

    // The main window lends its commands; the window may outlive it while both close.
    WindowServices& main_;
    std::weak_ptr<const bool> mainAlive_;
    AppPaths paths_;
    PeopleWindowTraits traits_;
    int current_ = 0;
    bool released_ = false;

    QComboBox* personBox_ = nullptr;
    QLabel* busyLamp_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* code_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* kana_ = nullptr;
    QLabel* birthDate_ = nullptr;
    QLabel* affiliation_ = nullptr;
    QLabel* touzai_ = nullptr;
    QLabel* qualification_ = nullptr;
    QLabel* apprentice_ = nullptr;
    std::array<QLabel*, 5> money_{};
    QLabel* createdOn_ = nullptr;
    std::vector<QLabel*> nameHeadings_;
    std::array<Grid, 2> results_{};
    std::array<Grid, 2> flatCourses_{};
    std::array<Grid, 2> jumpCourses_{};
    std::vector<Grid> distances_;
    Grid wins_{};
};

}  // namespace zelvanor::gui

#include "gui/verify/verification_window.hpp"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include <optional>
#include <span>

#include "core/shell/codes.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "gui/common/background_run.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/fixed_grid.hpp"
#include "gui/common/text_grid_model.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/common/window_services.hpp"

namespace zelvanor::gui {

namespace {

constexpr std::array<const char*, kVerifyRaceNumbers> kRaceCaptions = {
    "　１R", "　２R", "　３R", "　４R", "　５R", "　６R",
    "　７R", "　８R", "　９R", "１０R", "１１R", "１２R"};

QString indexed(const char* name, int index) {
    return QString::fromLatin1(name) + QString::number(index);
}

QString courseCaption(int index) {
    const int code = index + 1;
    const std::string text{static_cast<char>('0' + code / 10), static_cast<char>('0' + code % 10)};
    return QStringLiteral("　") + QString::fromStdString(bashoLabel(text));
}

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A frame of check boxes named `name`0, `name`1 … with the captions, `perRow` to a row.
QWidget* checkFrame(QWidget* parent, const char* title, const char* frameName, const char* name,
                    const QStringList& captions, int perRow, std::span<QCheckBox*> boxes) {
    auto* frame = new QGroupBox(QString::fromUtf8(title), parent);
    frame->setObjectName(QString::fromLatin1(frameName));
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        auto* check = new QCheckBox(captions.value(i), frame);
        check->setObjectName(indexed(name, i));
        grid->addWidget(check, i / perRow, i % perRow);
        boxes[static_cast<std::size_t>(i)] = check;
    }
    return frame;
}

QLabel* wrappedLabel(const char* name, const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

}  // namespace

VerificationWindow::VerificationWindow(WindowServices& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("VerificationWindow"));
    setWindowTitle(QStringLiteral("予想の検証をする"));

    Database& mast = main_.session().mast();
    if (!mast.hasTable(kConstantsTable)) createConstantsTable(mast);
    userName_ = personaName(readConstants(mast));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(10, 8, 10, 10);
    outer->setSpacing(6);
    outer->addWidget(wrappedLabel(
        "instructions",
        "検証するものにチェックをつけてください。（該当レースが多いと時間がかかります。）", this));

    // Left the choices of what to count and, under them, what was counted; right the race
    // condition with its note, the explanation of the stakes and the buttons.
    auto* columns = new QHBoxLayout;
    columns->setSpacing(10);
    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(buildCourses());
    left->addWidget(buildRaceNumbers());
    left->addWidget(buildResults());
    left->addStretch(1);
    columns->addLayout(left);
    columns->addWidget(buildConditions(), 1);
    outer->addLayout(columns);
    adjustSize();
    setFixedSize(size());
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

QWidget* VerificationWindow::buildCourses() {
    QStringList captions;
    for (int i = 0; i < kVerifyCourses; ++i) captions << courseCaption(i);
    QWidget* frame =
        checkFrame(this, "場所の選択", "coursesFrame", "courseCheck", captions, 5, courseChecks_);
    for (QCheckBox* check : courseChecks_) check->setChecked(true);
    return frame;
}

QWidget* VerificationWindow::buildRaceNumbers() {
    QStringList captions;
    for (const char* caption : kRaceCaptions) captions << QString::fromUtf8(caption);
    QWidget* frame =
        checkFrame(this, "レース選択", "raceNumbersFrame", "raceCheck", captions, 6, raceChecks_);
    for (QCheckBox* check : raceChecks_) check->setEnabled(false);
    return frame;
}

QWidget* VerificationWindow::buildConditions() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* frame = new QGroupBox(QStringLiteral("選択の条件"), box);
    frame->setObjectName(QStringLiteral("conditionsFrame"));
    auto* options = new QVBoxLayout(frame);
    options->setContentsMargins(8, 4, 8, 6);
    options->setSpacing(3);
    for (std::size_t i = 0; i < options_.size(); ++i) {
        auto* option = new QRadioButton(text(kRaceSelectionCaptions[i]), frame);
        option->setObjectName(indexed("selectionOption", static_cast<int>(i)));
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on) return;
            // Only the choice by race number uses the race boxes; their ticks stay as they are.
            for (QCheckBox* check : raceChecks_)
                check->setEnabled(static_cast<int>(i) == kRaceNumberSelection);
        });
        options->addWidget(option);
        options_[i] = option;
    }
    options_[static_cast<std::size_t>(kAllRacesSelection)]->setChecked(true);
    column->addWidget(frame);
    column->addWidget(wrappedLabel("selectionNote",
                                   "（＊注）　特別＆メインは８～１１レースの固定で検索しています。"
                                   "ダービーや有馬記念の時などこの条件にそぐわない開催がありま"
                                   "すので注意してください。",
                                   box));
    column->addStretch(1);
    column->addWidget(wrappedLabel("stakesNote",
                                   "この検証は６点均等買いの場合の検証です。単勝・複勝については、"
                                   "１点目を単勝・複勝馬券を購入した場合の検証になっています。",
                                   box));
    column->addSpacing(6);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addStretch(1);
    runButton_ = new QPushButton(QStringLiteral("上記条件で検証する"), box);
    runButton_->setObjectName(QStringLiteral("runButton"));
    auto* back = new QPushButton(QStringLiteral("戻る"), box);
    back->setObjectName(QStringLiteral("backButton"));
    for (QPushButton* b : {runButton_, back}) {
        b->setMinimumSize(b->sizeHint().width() + 16, 30);
        buttons->addWidget(b);
    }
    connect(runButton_, &QPushButton::clicked, this, [this] {
        clearRates();
        setVerify();
    });
    connect(back, &QPushButton::clicked, this, &QWidget::close);
    column->addLayout(buttons);
    return box;
}

QTableView* VerificationWindow::buildGrid(int index) {
    QStringList columns;
    for (const auto heading : kBetTypeHeadings) columns << text(heading);
    auto* model = new TextGridModel(columns, Qt::AlignRight | Qt::AlignVCenter, this);
    QStringList rows;
    for (const auto& heading : verificationHeadings(userName_)) rows << text(heading);
    model->setRowHeadings(rows);
    rates_[static_cast<std::size_t>(index)] = model;

    FixedGridSizing sizing;
    // Room for a rate of four digits in every column, and for the longest name among the row
    // headings (the user's has at most two full-width characters).
    sizing.widest = QStringList(kBetTypes, QStringLiteral("0000%"));
    sizing.rowHeadingWidest = QStringLiteral(" 翠嶺");
    sizing.textMargin = 16;
    sizing.headingMargin = 16;
    sizing.rowMargin = 8;
    sizing.headingAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    // The columns share what the window's column gives the grid.
    sizing.stretch = true;
    return makeFixedGrid(this, indexed("rateGrid", index), model, sizing);
}

QWidget* VerificationWindow::buildResults() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 4, 0, 0);
    column->setSpacing(3);

    const char* counterCaptions[] = {"該当開催数", "該当レース数"};
    auto* counters = new QHBoxLayout;
    counters->setSpacing(6);
    for (int i = 0; i < 2; ++i) {
        auto* caption = new QLabel(QString::fromUtf8(counterCaptions[i]), box);
        caption->setObjectName(indexed("countCaption", i));
        auto* value = new QLabel(box);
        value->setObjectName(indexed("countValue", i));
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setContentsMargins(4, 1, 4, 1);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                               12);
        counters->addWidget(caption);
        counters->addWidget(value);
        if (i == 0) counters->addSpacing(16);
        counts_[static_cast<std::size_t>(i)] = value;
    }
    counters->addStretch(1);
    column->addLayout(counters);

    const char* gridCaptions[] = {"的中率", "回収率"};
    for (int i = 0; i < 2; ++i) {
        column->addSpacing(4);
        auto* caption = new QLabel(QString::fromUtf8(gridCaptions[i]), box);
        caption->setObjectName(indexed("rateCaption", i));
        column->addWidget(caption);
        column->addWidget(buildGrid(i));
    }
    return box;
}

VerificationConditions VerificationWindow::conditionsShown() const {
    VerificationConditions c;
    for (std::size_t i = 0; i < courseChecks_.size(); ++i)
        c.courses[i] = courseChecks_[i]->isChecked();
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i]->isChecked()) c.selection = static_cast<int>(i);
    }
    for (std::size_t i = 0; i < raceChecks_.size(); ++i)
        c.raceNumbers[i] = raceChecks_[i]->isChecked();
    return c;
}

void VerificationWindow::clearRates() {
    for (TextGridModel* model : rates_) model->setRows({});
}

void VerificationWindow::showRates(const Verification& result) {
    const std::array<const std::array<std::array<std::string, kBetTypes>, kPersonaCount>*, 2>
        tables = {&result.hitRates, &result.returnRates};
    for (std::size_t t = 0; t < tables.size(); ++t) {
        std::vector<TextGridModel::Row> rows;
        for (const auto& texts : *tables[t]) {
            TextGridModel::Row row;
            for (const std::string& rate : texts) row.push_back({QString::fromStdString(rate)});
            rows.push_back(std::move(row));
        }
        rates_[t]->setRows(std::move(rows));
    }
}

// The count runs on a thread of its own over the session's connection to tran.mdb: a run over
// many seasons takes a while, and the windows must keep painting and the progress bar moving.
// Nothing else uses that connection meanwhile: runInBackground drops the user's input to every
// window, and no window reads the databases but in answer to it.
void VerificationWindow::setVerify() {
    const VerificationConditions conditions = conditionsShown();
    QProgressBar* bar = main_.progressBar();
    bar->setValue(0);
    bar->setVisible(true);
    for (QLabel* count : counts_) count->clear();
    setEnabled(false);
    setCursor(Qt::WaitCursor);
    repaint();

    std::optional<Verification> result;
    main_.guarded([&] {
        Database& tran = main_.session().tran();
        const std::string userName = userName_;
        // One post per step of the bar, not per meeting.
        const ProgressFn progress =
            postedProgress(bar, [bar](int percent) { bar->setValue(percent); });
        runInBackground([&] {
            result = runVerification(tran, userName, conditions, [&](int done, int total) {
                progress(total > 0 ? done * 100 / total : 0);
            });
        });
    });

    unsetCursor();
    setEnabled(true);
    bar->setValue(100);
    bar->setVisible(false);
    bar->setValue(0);
    if (!result) return;
    counts_[0]->setText(QString::number(result->totals.meetings));
    counts_[1]->setText(QString::number(result->totals.races));
    if (result->totals.races == 0) {
        dialogs().message(this, displayText(kVerifyNoRaceText), QString(),
                          UserDialogs::Icon::Critical);
        return;
    }
    showRates(*result);
}

}  // namespace zelvanor::gui

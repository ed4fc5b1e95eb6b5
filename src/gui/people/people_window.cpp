#include "gui/people/people_window.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <span>

#include "gui/common/fixed_grid.hpp"
#include "gui/common/text_grid_model.hpp"
#include "gui/common/twips.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/common/window_services.hpp"

namespace zelvanor::gui {

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QStringList headings(std::span<const std::string_view> texts) {
    QStringList out;
    for (std::string_view t : texts) out << q(t);
    return out;
}

QLabel* label(QWidget* parent, const QString& text, const char* kind, const QString& name = {}) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) l->setObjectName(name);
    if (kind) l->setProperty("cell", kind);
    return l;
}

// The lamp beside the buttons: green while the window waits for the user, amber while a record
// is read.
QPixmap lampPicture(const QColor& colour, int side) {
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(160), 1));
    QRadialGradient shade(side * 0.35, side * 0.35, side * 0.7);
    shade.setColorAt(0, colour.lighter(170));
    shade.setColorAt(1, colour);
    p.setBrush(shade);
    p.drawEllipse(QRectF(0.5, 0.5, side - 1.0, side - 1.0));
    return picture;
}

const QColor kIdle(0x2E, 0x9A, 0x4E);
const QColor kBusy(0xE8, 0x8A, 0x10);

// The busy pointer for as long as a record is read, however the reading ends.
class BusyPointer {
  public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// The look of the window's grids is its style sheet's; the sizes are these.
FixedGridSizing figureGridSizing(const QFontMetrics& fm) {
    FixedGridSizing sizing;
    // Wide enough for five digits and for four after the distance grids' blanks.
    const QString five = QStringLiteral("99999");
    const QString four = QStringLiteral("   9999");
    sizing.widest =
        QStringList(static_cast<qsizetype>(kPlacingHeadings.size()),
                    fm.horizontalAdvance(five) >= fm.horizontalAdvance(four) ? five : four);
    sizing.textMargin = 14;
    return sizing;
}

}  // namespace

PeopleWindow::PeopleWindow(WindowServices& main, const PeopleWindowTraits& traits, QWidget* parent)
    : QWidget(parent, Qt::Window),
      main_(main),
      mainAlive_(main.lifetime()),
      paths_(main.paths()),
      traits_(traits) {
    setObjectName(QString::fromLatin1(traits_.objectName));
    setWindowTitle(QString::fromUtf8(traits_.title));
    main.setPeopleWindowOpen(traits_.kind, true);
    buildWindow();
}

PeopleWindow::~PeopleWindow() {
    releaseCommands();
}

void PeopleWindow::releaseCommands() {
    if (released_) return;
    released_ = true;
    if (!mainAlive_.expired()) main_.setPeopleWindowOpen(traits_.kind, false);
}

void PeopleWindow::closeEvent(QCloseEvent* event) {
    releaseCommands();
    QWidget::closeEvent(event);
}

void PeopleWindow::buildWindow() {
    setStyleSheet(
        QStringLiteral(
            "QWidget#%1 { background: #F4F0E4; }"
            "QLabel[cell=\"heading\"] { background: #804000; color: #FFFFFF; font-weight: bold;"
            " padding: 2px 8px; }"
            "QLabel[cell=\"caption\"] { color: #603000; }"
            "QLabel[cell=\"gridCaption\"] { color: #603000; font-weight: bold; }"
            "QLabel[cell=\"box\"] { background: #FFFFFF; border: 1px solid #B8B0A0; padding: 1px "
            "6px; }"
            "QLabel[cell=\"hint\"] { color: #404040; }"
            "QGroupBox { background: #FBF8F0; border: 1px solid #B8B0A0; margin-top: 1.3em;"
            " padding: 4px; }"
            "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 1px 6px;"
            " background: #804000; color: #FFFFFF; font-weight: bold; }"
            "QTableView { background: #FFFFFF; gridline-color: #C8C0B0; border: 1px solid #A09880; "
            "}"
            "QHeaderView::section { background: #EDE4CE; color: #402000; border: none;"
            " border-right: 1px solid #C8C0B0; border-bottom: 1px solid #C8C0B0; padding: 0px 4px; "
            "}"
            "QTabWidget::pane { border: 1px solid #B8B0A0; background: #F8F4EA; }")
            .arg(objectName()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(buildTopRow());

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    const bool jockey = traits_.kind == PersonKind::Jockey;
    tabs_->addTab(buildBasicTab(), QStringLiteral("基本情報"));
    tabs_->addTab(buildCourseTab(false), QStringLiteral("馬場別平地成績"));
    if (jockey) tabs_->addTab(buildDistanceTab(), QStringLiteral("距離別平地成績"));
    tabs_->addTab(buildCourseTab(true), QStringLiteral("馬場別障害成績"));
    tabs_->addTab(buildWinsTab(), QStringLiteral("主な重賞勝鞍"));
    layout->addWidget(tabs_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* PeopleWindow::buildTopRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    personBox_ = new QComboBox(row);
    personBox_->setObjectName(QStringLiteral("personBox"));
    const QFontMetrics fm(font());
    personBox_->setMinimumWidth(
        fm.horizontalAdvance(QStringLiteral("0000  :  ") + QString(10, QChar(0x30A2))) + 40);
    personBox_->setMaxVisibleItems(20);
    connect(personBox_, &QComboBox::activated, this, [this](int index) { showRecord(index + 1); });
    h->addWidget(personBox_);
    h->addWidget(label(row, QString::fromUtf8(traits_.hint), "hint", QStringLiteral("hint")));
    h->addStretch(1);

    busyLamp_ = label(row, {}, nullptr, QStringLiteral("busyLamp"));
    busyLamp_->setFixedSize(16, 16);
    setBusy(false);
    h->addWidget(busyLamp_);

    const struct {
        const char* name;
        const char* caption;
        void (PeopleWindow::*slot)();
    } buttons[] = {{"previousButton", "＜", &PeopleWindow::showPrevious},
                   {"nextButton", "＞", &PeopleWindow::showNext},
                   {"backButton", "メニューに戻る", nullptr}};
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.caption), row);
        button->setObjectName(QString::fromLatin1(b.name));
        if (b.slot) {
            button->setFixedWidth(fm.horizontalAdvance(QStringLiteral("＜")) + 24);
            connect(button, &QPushButton::clicked, this, b.slot);
        } else {
            button->setMinimumWidth(fm.horizontalAdvance(button->text()) + 24);
            connect(button, &QPushButton::clicked, this, [this] {
                if (!mainAlive_.expired()) main_.restoreMainWindow();
                close();
            });
        }
        h->addWidget(button);
    }
    return row;
}

// A tab after the first: the person's name in a heading panel over the tab's own content.
QWidget* PeopleWindow::tabPage(int index, QWidget** body) {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->setSpacing(8);
    auto* heading = label(page, {}, "heading", QStringLiteral("nameHeading%1").arg(index));
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    heading->setFont(big);
    nameHeadings_.push_back(heading);
    v->addWidget(heading);
    *body = new QWidget(page);
    v->addWidget(*body);
    v->addStretch(1);
    return page;
}

PeopleWindow::Grid PeopleWindow::makeGrid(QWidget* parent, const QString& name,
                                          const QString& caption, const QStringList& columns,
                                          const TextGrid& shape, QWidget** framed) {
    Grid g;
    g.model = new TextGridModel(columns, Qt::AlignRight | Qt::AlignVCenter, parent);
    g.model->setGrid(shape);
    g.view = makeFixedGrid(parent, name, g.model, figureGridSizing(QFontMetrics(font())));

    auto* box = new QWidget(parent);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    v->addWidget(label(box, caption, "gridCaption"));
    v->addWidget(g.view);
    *framed = box;
    return g;
}

QWidget* PeopleWindow::buildBasicTab() {
    auto* page = new QWidget(this);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(8, 8, 8, 8);
    v->setSpacing(8);
    const QFontMetrics fm(font());
    const bool jockey = traits_.kind == PersonKind::Jockey;

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    auto* identity = new QGridLayout;
    identity->setHorizontalSpacing(6);
    identity->setVerticalSpacing(3);
    auto value = [&](const QString& name, int minChars) {
        QLabel* l = label(page, {}, "box", name);
        l->setMinimumWidth(fm.horizontalAdvance(QString(minChars, QChar(0x30A2))) + 14);
        return l;
    };
    code_ = value(QStringLiteral("code"), 3);
    name_ = value(QStringLiteral("name"), 12);
    kana_ = value(QStringLiteral("kana"), 9);
    birthDate_ = value(QStringLiteral("birthDate"), 11);
    touzai_ = value(QStringLiteral("touzai"), 3);
    QFont nameFont = name_->font();
    nameFont.setBold(true);
    name_->setFont(nameFont);
    int row = 0;
    auto add = [&](const char* caption, QLabel* field) {
        identity->addWidget(label(page, QString::fromUtf8(caption), "caption"), row, 0);
        identity->addWidget(field, row++, 1);
    };
    add(traits_.codeCaption, code_);
    add("氏　　名", name_);
    add("フリガナ", kana_);
    add("生年月日", birthDate_);
    if (jockey) {
        affiliation_ = value(QStringLiteral("affiliation"), 4);
        qualification_ = value(QStringLiteral("qualification"), 4);
        apprentice_ = value(QStringLiteral("apprentice"), 4);
        add("所　　属", affiliation_);
    }
    add("東　　西", touzai_);
    if (jockey) {
        add("騎乗資格", qualification_);
        add("見習区分", apprentice_);
    }
    identity->setColumnStretch(1, 1);
    // The trainer's shorter list keeps the same line spacing as the jockey's.
    identity->setRowStretch(row, 1);
    top->addLayout(identity, 1);

    auto* money = new QGroupBox(QStringLiteral("本年獲得賞金"), page);
    money->setObjectName(QStringLiteral("moneyFrame"));
    auto* m = new QGridLayout(money);
    m->setContentsMargins(8, 10, 8, 6);
    m->setHorizontalSpacing(6);
    m->setVerticalSpacing(3);
    const struct {
        const char* group;
        const char* caption;
    } lines[] = {
        {"平地", "本賞金"}, {"", "付加賞金"}, {"障害", "本賞金"}, {"", "付加賞金"}, {"合計", ""}};
    for (int i = 0; i < 5; ++i) {
        auto* group = label(money, QString::fromUtf8(lines[i].group), "caption");
        if (i == 4) {
            m->addWidget(group, i, 0, 1, 2);
        } else {
            m->addWidget(group, i, 0);
            m->addWidget(label(money, QString::fromUtf8(lines[i].caption), "caption"), i, 1);
        }
        QLabel* figure = label(money, {}, "box", QStringLiteral("money%1").arg(i));
        figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figure->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("99,999,999 ")) + 16);
        if (i == 4) {
            QFont bold = figure->font();
            bold.setBold(true);
            figure->setFont(bold);
        }
        money_[static_cast<std::size_t>(i)] = figure;
        m->addWidget(figure, i, 2);
        m->addWidget(label(money, QStringLiteral("千円"), "caption"), i, 3);
    }
    top->addWidget(money, 0, Qt::AlignTop);
    v->addLayout(top);

    auto* results = new QGroupBox(QStringLiteral(" 成   績 "), page);
    results->setObjectName(QStringLiteral("resultsFrame"));
    auto* r = new QHBoxLayout(results);
    r->setContentsMargins(8, 10, 8, 6);
    r->setSpacing(12);
    const PersonInfo shape = personInfo(traits_.kind, {});
    const QStringList columns = headings(kPlacingHeadings);
    const char* captions[] = {"平地の成績", "障害の成績"};
    const TextGrid* grids[] = {&shape.flatResults, &shape.jumpResults};
    for (std::size_t i = 0; i < 2; ++i) {
        QWidget* framed = nullptr;
        results_[i] = makeGrid(results, QStringLiteral("resultsGrid%1").arg(i),
                               QString::fromUtf8(captions[i]), columns, *grids[i], &framed);
        r->addWidget(framed);
    }
    r->addStretch(1);
    v->addWidget(results);

    createdOn_ = label(page, {}, "caption", QStringLiteral("createdOn"));
    v->addWidget(createdOn_, 0, Qt::AlignRight);
    v->addStretch(1);
    return page;
}

QWidget* PeopleWindow::buildCourseTab(bool jump) {
    QWidget* body = nullptr;
    QWidget* page = tabPage(static_cast<int>(nameHeadings_.size()) + 1, &body);
    auto* h = new QHBoxLayout(body);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(16);
    const PersonInfo shape = personInfo(traits_.kind, {});
    const QStringList columns = headings(kPlacingHeadings);
    auto& grids = jump ? jumpCourses_ : flatCourses_;
    const char* captions[] = {"本      年", "前      年"};
    for (std::size_t y = 0; y < 2; ++y) {
        QWidget* framed = nullptr;
        // 0 this year, 1 last year.
        grids[y] = makeGrid(
            body,
            (jump ? QStringLiteral("jumpCourseGrid%1") : QStringLiteral("flatCourseGrid%1")).arg(y),
            QString::fromUtf8(captions[y]), columns,
            (jump ? shape.jumpCourses : shape.flatCourses)[y], &framed);
        h->addWidget(framed);
    }
    h->addStretch(1);
    return page;
}

QWidget* PeopleWindow::buildDistanceTab() {
    QWidget* body = nullptr;
    QWidget* page = tabPage(static_cast<int>(nameHeadings_.size()) + 1, &body);
    auto* g = new QGridLayout(body);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(16);
    g->setVerticalSpacing(10);
    const PersonInfo shape = personInfo(traits_.kind, {});
    const QStringList columns = headings(kPlacingHeadings);
    const char* captions[] = {"本年芝の成績", "本年ダートの成績", "前年芝の成績",
                              "前年ダートの成績"};
    for (std::size_t i = 0; i < shape.distances.size(); ++i) {
        QWidget* framed = nullptr;
        distances_.push_back(makeGrid(body, QStringLiteral("distanceGrid%1").arg(i),
                                      QString::fromUtf8(captions[i]), columns, shape.distances[i],
                                      &framed));
        // This year on the first row, last year on the second; turf left, dirt right.
        g->addWidget(framed, static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    g->setColumnStretch(2, 1);
    return page;
}

QWidget* PeopleWindow::buildWinsTab() {
    QWidget* body = nullptr;
    QWidget* page = tabPage(static_cast<int>(nameHeadings_.size()) + 1, &body);
    auto* v = new QVBoxLayout(body);
    v->setContentsMargins(0, 0, 0, 0);
    wins_.model =
        new TextGridModel(headings(kGradedWinHeadings), Qt::AlignLeft | Qt::AlignVCenter, body);
    wins_.model->setGrid(TextGrid{{"", "", ""}, {{}, {}, {}}});
    // Each column as wide as its heading or its longest content.
    FixedGridSizing sizing;
    sizing.widest = {QStringLiteral("小倉"),    QStringLiteral("98 年"), QStringLiteral("4 回"),
                     QStringLiteral("12 日目"), QStringLiteral("12R"),   QString(11, QChar(0x30A2)),
                     QString(9, QChar(0x30A2)), QStringLiteral("ｵｰﾌﾟﾝ")};
    sizing.textMargin = 18;
    sizing.rowMargin = 8;
    sizing.rowHeadings = false;
    wins_.view = makeFixedGrid(body, QStringLiteral("winsGrid"), wins_.model, sizing);
    v->addWidget(wins_.view, 0, Qt::AlignLeft);
    return page;
}

void PeopleWindow::setList(const std::vector<std::string>& items) {
    personBox_->clear();
    for (const std::string& item : items) personBox_->addItem(q(item));
    personBox_->setCurrentIndex(-1);
    current_ = 0;
}

int PeopleWindow::recordCount() const {
    return personBox_->count();
}

void PeopleWindow::showPrevious() {
    const int count = recordCount();
    if (count == 0) return;
    showRecord(current_ <= 1 ? count : current_ - 1);
}

void PeopleWindow::showNext() {
    const int count = recordCount();
    if (count == 0) return;
    showRecord(current_ >= count ? 1 : current_ + 1);
}

void PeopleWindow::setBusy(bool busy) {
    busyLamp_->setPixmap(lampPicture(busy ? kBusy : kIdle, busyLamp_->width()));
    busyLamp_->setToolTip(busy ? QStringLiteral("読み込み中") : QString());
}

void PeopleWindow::showRecord(int n) {
    if (n < 1) return;
    current_ = n;
    // The list follows, whether the record was chosen there or stepped to.
    if (n <= personBox_->count()) personBox_->setCurrentIndex(n - 1);
    setBusy(true);
    busyLamp_->repaint();
    {
        const BusyPointer pointer;
        try {
            if (const auto info =
                    readPersonInfo(paths_, traits_.kind, static_cast<std::size_t>(n))) {
                fill(*info);
            }
        } catch (const std::exception& e) {
            // The file could not be read: said once, and the window keeps what it showed.
            showOperationFailure(this, e);
        }
    }
    setBusy(false);
}

void PeopleWindow::fill(const PersonInfo& p) {
    code_->setText(q(p.code));
    name_->setText(q(p.name));
    for (QLabel* heading : nameHeadings_) heading->setText(q(p.name));
    kana_->setText(q(p.kana));
    birthDate_->setText(q(p.birthDate));
    touzai_->setText(q(p.touzai));
    if (affiliation_) {
        affiliation_->setText(q(p.affiliation));
        qualification_->setText(q(p.qualification));
        apprentice_->setText(q(p.apprentice));
    }
    for (std::size_t i = 0; i < money_.size(); ++i) money_[i]->setText(q(p.prizeMoney[i]));
    results_[0].model->setGrid(p.flatResults);
    results_[1].model->setGrid(p.jumpResults);
    createdOn_->setText(q(p.createdOn));
    for (std::size_t y = 0; y < 2; ++y) {
        flatCourses_[y].model->setGrid(p.flatCourses[y]);
        jumpCourses_[y].model->setGrid(p.jumpCourses[y]);
    }
    for (std::size_t i = 0; i < distances_.size() && i < p.distances.size(); ++i) {
        distances_[i].model->setGrid(p.distances[i]);
    }
    TextGrid wins{{"", "", ""}, {}};
    for (const auto& w : p.gradedWins) wins.cells.emplace_back(w.begin(), w.end());
    wins_.model->setGrid(wins);
}

void PeopleWindow::placeWindow() {
    adjustSize();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const int offset = twipsToPixels(this, traits_.offsetTwips);
    QRect frame = frameGeometry();
    frame.moveCenter(area.center() + QPoint(offset, offset));
    move(frame.topLeft());
}

}  // namespace zelvanor::gui

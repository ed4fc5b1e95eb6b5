#include "gui/horse/horse_detail_window.hpp"

#include <QCloseEvent>
#include <QColor>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "gui/common/bracket_colours.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/fixed_window.hpp"
#include "gui/common/twips.hpp"
#include "gui/common/window_services.hpp"

namespace zelvanor::gui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QLabel* label(QWidget* parent, const QString& name, const char* kind = nullptr) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    if (kind) l->setProperty("cell", kind);
    return l;
}

// Pixels back to twips, the unit the position is kept in.
double pixelsToTwips(const QWidget* widget, int pixels) {
    const int dpi = widget->logicalDpiX() > 0 ? widget->logicalDpiX() : 96;
    return std::round(pixels * 1440.0 / dpi);
}

// A stored name is padded to its field with blanks, which would only widen its panel.
QString withoutPadding(QString text) {
    while (text.endsWith(QChar(0x3000)) || text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
}

// Light text colours of the going need a dark ground to be read.
bool needsDarkGround(const QColor& text) {
    return text.isValid() && text.lightnessF() > 0.6;
}

}  // namespace

HorseDetailWindow::HorseDetailWindow(WindowServices& main, QWidget* parent) : QWidget(parent, Qt::Window), main_(main) {
    setObjectName(QStringLiteral("HorseDetailWindow"));
    setWindowTitle(QStringLiteral("競走馬の詳細"));
    buildWindow();
}

void HorseDetailWindow::buildWindow() {
    setStyleSheet(QStringLiteral(
        "QWidget#HorseDetailWindow { background: #F4F0E4; }"
        "QLabel[cell=\"heading\"] { background: #804000; color: #FFFFFF; font-weight: bold;"
        " padding: 1px 6px; }"
        "QLabel[cell=\"box\"] { background: #FFFFFF; border: 1px solid #B8B0A0; padding: 1px 6px; }"
        "QLabel[cell=\"name\"] { color: #000060; font-weight: bold; }"
        "QLabel[cell=\"number\"] { background: #FFFFFF; border: 1px solid #502800;"
        " font-weight: bold; }"
        "QLabel[cell=\"blinker\"] { color: #C00000; font-weight: bold; }"
        "QGroupBox { background: #FFFFFF; border: 1px solid #B8B0A0; margin-top: 1.4em; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 0px; padding: 1px 6px;"
        " background: #804000; color: #FFFFFF; font-weight: bold; }"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(buildIdentity(), 0, Qt::AlignTop);
    top->addWidget(buildConnections(), 0, Qt::AlignTop);
    top->addStretch(1);
    top->addWidget(buildFigures(), 0, Qt::AlignTop);
    layout->addLayout(top);

    auto* panels = new QHBoxLayout;
    panels->setSpacing(4);
    for (int k = 1; k <= kPastRacePanels; ++k) panels->addWidget(buildPastRace(k));
    layout->addLayout(panels);
}

QWidget* HorseDetailWindow::buildIdentity() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);

    const QFontMetrics fm(font());
    const int side = fm.height() + 8;
    bracket_ = label(box, QStringLiteral("bracketBox"), "number");
    number_ = label(box, QStringLiteral("numberBox"), "number");
    blinker_ = label(box, QStringLiteral("blinkerMark"), "blinker");
    for (QLabel* l : {bracket_, number_, blinker_}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFixedSize(std::max(side, fm.horizontalAdvance(QStringLiteral("18")) + 10), side);
    }
    name_ = label(box, QStringLiteral("horseName"), "name");
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    name_->setFont(big);
    name_->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QString(10, QChar(0x30B5))) + 4);

    auto* head = new QHBoxLayout;
    head->setSpacing(3);
    head->addWidget(bracket_);
    head->addWidget(number_);
    head->addWidget(blinker_);
    head->addSpacing(4);
    head->addWidget(name_, 1);
    grid->addLayout(head, 0, 0, 1, 4);

    sire_ = label(box, QStringLiteral("sire"));
    dam_ = label(box, QStringLiteral("dam"));
    damSire_ = label(box, QStringLiteral("damSire"));
    grid->addWidget(sire_, 1, 0, 1, 4);
    grid->addWidget(dam_, 2, 0, 1, 4);
    grid->addWidget(damSire_, 3, 0, 1, 4);

    sex_ = label(box, QStringLiteral("sex"));
    age_ = label(box, QStringLiteral("age"));
    coat_ = label(box, QStringLiteral("coat"));
    auto* profile = new QHBoxLayout;
    profile->setSpacing(0);
    profile->addWidget(sex_);
    profile->addWidget(age_);
    profile->addSpacing(fm.horizontalAdvance(QLatin1Char(' ')) * 2);
    profile->addWidget(coat_);
    profile->addStretch(1);
    grid->addLayout(profile, 4, 0, 1, 4);

    style_ = label(box, QStringLiteral("style"));
    distanceType_ = label(box, QStringLiteral("distanceType"));
    wetTrack_ = label(box, QStringLiteral("wetTrack"));
    auto* traits = new QHBoxLayout;
    traits->setSpacing(12);
    traits->addWidget(style_);
    traits->addWidget(distanceType_);
    traits->addWidget(wetTrack_);
    traits->addStretch(1);
    grid->addLayout(traits, 5, 0, 1, 4);
    return box;
}

QWidget* HorseDetailWindow::buildConnections() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 4, 0, 0);
    column->setSpacing(2);
    jockey_ = label(box, QStringLiteral("jockey"));
    trainer_ = label(box, QStringLiteral("trainer"));
    owner_ = label(box, QStringLiteral("owner"));
    const QFontMetrics fm(font());
    for (QLabel* l : {jockey_, trainer_, owner_}) {
        // Eight full-width characters of a name after the caption.
        l->setMinimumWidth(
            fm.horizontalAdvance(QStringLiteral("調教師：") + QString(8, QChar(0x30B5))));
        column->addWidget(l);
    }
    column->addStretch(1);
    return box;
}

QWidget* HorseDetailWindow::buildFigures() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(2);
    const QFontMetrics fm(font());
    const int valueWidth = fm.horizontalAdvance(QStringLiteral("99,999万")) + 16;
    static const char* const kMoneyNames[] = {"prizeMoney", "addedMoney", "earnedMoney"};
    static const char* const kFigureNames[] = {"topTwoRate", "ability", "growth"};
    for (int r = 0; r < 3; ++r) {
        const auto i = static_cast<std::size_t>(r);
        auto* moneyHeading = label(box, QStringLiteral("moneyHeading%1").arg(r + 1), "heading");
        moneyHeading->setText(q(kMoneyHeadings[i]));
        money_[i] = label(box, QString::fromLatin1(kMoneyNames[r]), "box");
        money_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        money_[i]->setMinimumWidth(valueWidth);
        auto* figureHeading = label(box, QStringLiteral("figureHeading%1").arg(r + 1), "heading");
        figureHeading->setText(q(kFigureHeadings[i]));
        figures_[i] = label(box, QString::fromLatin1(kFigureNames[r]), "box");
        figures_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures_[i]->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("100.0%")) + 16);
        grid->addWidget(moneyHeading, r, 0);
        grid->addWidget(money_[i], r, 1);
        grid->setColumnMinimumWidth(2, 8);
        grid->addWidget(figureHeading, r, 3);
        grid->addWidget(figures_[i], r, 4);
    }
    return box;
}

QGroupBox* HorseDetailWindow::buildPastRace(int k) {
    const auto p = static_cast<std::size_t>(k - 1);
    auto* panel = new QGroupBox(this);
    panel->setObjectName(QStringLiteral("pastRace%1").arg(k));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(6, 4, 6, 4);
    column->setSpacing(1);
    const QFontMetrics fm(font());
    // Room for the longest line the fields can make, so that empty panels keep the width of
    // filled ones.
    // A label never gets narrower than its text, so longer lines widen their panel.
    int width = 0;
    for (const QString& sample :
         {QStringLiteral("18ﾄ 8枠⑱ 18人気   34.5"), QStringLiteral("3回 小倉 12/30 1600万"),
          QStringLiteral("3200mダ 57.5 ") + QString(3, QChar(0x30B5)) + QStringLiteral("428"),
          QString(9, QChar(0x30B5))}) {
        width = std::max(width, fm.horizontalAdvance(sample));
    }
    column->addSpacerItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed));
    for (int line = 0; line < kPastRaceLines; ++line) {
        const auto l = static_cast<std::size_t>(line);
        QLabel*& cell = pastRaceLines_[p][l];
        cell = label(panel, QStringLiteral("pastRace%1Line%2").arg(k).arg(line + 1));
        cell->setToolTip(q(kPastRaceLineHeadings[l]));
        cell->setMinimumHeight(fm.height() + 2);
        column->addWidget(cell);
    }
    pastRaces_[p] = panel;
    return panel;
}

void HorseDetailWindow::showHorse(const HorseDetail& d) {
    umacode_ = d.umacode;
    bracket_->setText(q(d.bracket));
    const BracketColours colours =
        bracketColours(d.bracketColour).value_or(BracketColours{Qt::white, Qt::black});
    bracket_->setStyleSheet(QStringLiteral("background: %1; color: %2;")
                                .arg(colours.background.name(), colours.text.name()));
    number_->setText(q(d.number));
    blinker_->setText(q(d.blinker));
    name_->setText(q(d.name));
    sire_->setText(q(d.sire));
    dam_->setText(q(d.dam));
    damSire_->setText(q(d.damSire));
    sex_->setText(q(d.sex));
    age_->setText(q(d.age));
    coat_->setText(q(d.coat));
    style_->setText(q(d.style));
    distanceType_->setText(q(d.distanceType));
    wetTrack_->setText(q(d.wetTrack));
    jockey_->setText(q(d.jockey));
    trainer_->setText(q(d.trainer));
    owner_->setText(q(d.owner));
    const std::array<const std::string*, 3> money = {&d.prizeMoney, &d.addedMoney, &d.earnedMoney};
    const std::array<const std::string*, 3> figures = {&d.topTwoRate, &d.ability, &d.growth};
    for (std::size_t i = 0; i < 3; ++i) {
        money_[i]->setText(q(*money[i]));
        figures_[i]->setText(q(*figures[i]));
    }
    for (std::size_t p = 0; p < pastRaces_.size(); ++p) {
        const PastRacePanel& race = d.pastRaces[p];
        pastRaces_[p]->setTitle(q(race.caption));
        for (std::size_t l = 0; l < race.lines.size(); ++l) {
            pastRaceLines_[p][l]->setText(withoutPadding(displayText(race.lines[l])));
        }
        // An empty colour is the normal text colour.
        const QColor going(q(race.goingColour));
        pastRaceLines_[p][1]->setStyleSheet(
            !going.isValid() ? QString()
            : needsDarkGround(going)
                ? QStringLiteral("color: %1; background: #3A4450;").arg(going.name())
                : QStringLiteral("color: %1;").arg(going.name()));
    }
}

void HorseDetailWindow::placeWindow() {
    adjustSize();
    // Its panels have fixed places and lengths: more room would only stretch them into empty
    // boxes.
    keepWindowSize(this);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
    std::optional<ConstantsRow> row;
    main_.guarded([&] { row = readConstants(main_.session().mast()); });
    // A record of a new database holds 0, 0: the window has not been placed yet.
    if (!row || (row->pos1Left == 0 && row->pos1Top == 0)) return;
    const QPoint place(twipsToPixels(this, static_cast<int>(std::lround(row->pos1Left))),
                       twipsToPixels(this, static_cast<int>(std::lround(row->pos1Top))));
    // A place kept from another screen arrangement would put the window out of reach.
    if (QGuiApplication::screenAt(place) || (screen && screen->virtualGeometry().contains(place))) {
        move(place);
    }
}

bool HorseDetailWindow::event(QEvent* event) {
    // The pop-up closes the moment the user turns to another window.
    if (event->type() == QEvent::WindowDeactivate && isVisible()) close();
    return QWidget::event(event);
}

void HorseDetailWindow::closeEvent(QCloseEvent* event) {
    const double left = pixelsToTwips(this, x());
    const double top = pixelsToTwips(this, y());
    main_.guarded([&] { storeHorseWindowPosition(main_.session().mast(), left, top); });
    QWidget::closeEvent(event);
}

HorseDetailWindow* openHorseDetail(WindowServices& main, const Meeting& meeting, int raceNo,
                           const std::string& umacode, QWidget* parent) {
    std::optional<HorseDetail> detail;
    const bool read = main.guarded([&] {
        // Kept for data files that look for the horse there; the window is given the code itself.
        storeHandedHorse(main.session().mast(), umacode);
        detail = readHorseDetail(main.session().tran(), meeting, raceNo, umacode);
    });
    if (!read || !detail) return nullptr;
    auto* window = new HorseDetailWindow(main, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->showHorse(*detail);
    window->placeWindow();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace zelvanor::gui

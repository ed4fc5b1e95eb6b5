#include "gui/race_card/persona_frame.hpp"

#include <QGridLayout>
#include <QLabel>
#include <QStyle>

namespace zelvanor::gui {

namespace {

QLabel* cell(QWidget* parent, const QString& name, Qt::Alignment alignment, const char* kind) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setProperty("cell", kind);
    return label;
}

}  // namespace

PersonaFrame::PersonaFrame(int index, QWidget* parent) : QFrame(parent) {
    const QString n = QString::number(index);
    setObjectName(QStringLiteral("personaFrame") + n);
    setStyleSheet(QStringLiteral(
        "QFrame#personaFrame%1 { background: #804000; border: 1px solid #502800; }"
        "QLabel { color: #FFFFFF; background: transparent; }"
        "QLabel[cell=\"box\"] { color: #000000; background: #FFFFFF; border: 1px solid #502800;"
        " padding: 0px 3px; }"
        "QLabel[cell=\"box\"][hit=\"true\"] { background: #FFC0C0; }"
        "QLabel[cell=\"caption\"] { font-weight: bold; padding: 1px 2px; }")
                      .arg(n));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(5, 3, 5, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    caption_ = cell(this, QStringLiteral("personaCaption") + n, Qt::AlignLeft, "caption");
    grid->addWidget(caption_, 0, 0, 1, 3);

    const QFontMetrics fm(font());
    for (int k = 0; k < kLines; ++k) {
        const QString suffix = n + QLatin1Char('_') + QString::number(k);
        auto& number = numbers_[static_cast<std::size_t>(k)];
        auto& value = values_[static_cast<std::size_t>(k)];
        auto& pick = picks_[static_cast<std::size_t>(k)];
        number = cell(this, QStringLiteral("personaNumber") + suffix, Qt::AlignRight, "box");
        value = cell(this, QStringLiteral("personaValue") + suffix, Qt::AlignRight, "value");
        pick = cell(this, QStringLiteral("personaPick") + suffix, Qt::AlignCenter, "box");
        number->setFixedWidth(fm.horizontalAdvance(QStringLiteral("18")) + 10);
        value->setFixedWidth(fm.horizontalAdvance(QStringLiteral("100.0")) + 4);
        pick->setFixedWidth(fm.horizontalAdvance(QStringLiteral("18 - 18")) + 12);
        grid->addWidget(number, k + 1, 0);
        grid->addWidget(value, k + 1, 1);
        grid->addWidget(pick, k + 1, 2);
    }
}

void PersonaFrame::setCaption(const QString& caption) {
    caption_->setText(caption);
}

void PersonaFrame::showForecast(const PersonaForecast& f) {
    setCaption(QString::fromStdString(f.caption));
    for (std::size_t k = 0; k < kLines; ++k) {
        numbers_[k]->setText(QString::fromStdString(f.top[k].horseNumber));
        values_[k]->setText(QString::fromStdString(f.top[k].value));
        picks_[k]->setText(QString::fromStdString(f.picks[k]));
    }
}

void PersonaFrame::setHits(bool top, const std::array<bool, kLines>& picks) {
    const auto mark = [](QLabel* cell, bool hit) {
        if (isHit(cell) == hit) return;
        cell->setProperty("hit", hit);
        // The style sheet reads the property when the cell is polished again.
        cell->style()->unpolish(cell);
        cell->style()->polish(cell);
    };
    mark(numbers_[0], top);
    for (std::size_t k = 0; k < kLines; ++k) mark(picks_[k], picks[k]);
}

bool PersonaFrame::isHit(const QLabel* cell) {
    return cell->property("hit").toBool();
}

}  // namespace zelvanor::gui

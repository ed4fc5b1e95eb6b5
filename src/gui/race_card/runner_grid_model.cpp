#include "gui/race_card/runner_grid_model.hpp"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "gui/common/bracket_colours.hpp"
#include "gui/common/display_text.hpp"

namespace zelvanor::gui {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

const QColor kIndexBackground(0xFF, 0xFF, 0xC0);
// The favourite's mark stands out in red, the second's in blue.
const QColor kFirstMark(0xD0, 0x00, 0x00);
const QColor kSecondMark(0x00, 0x40, 0xC0);

bool isMark(int column) {
    return column >= RunnerGridModel::FirstMark && column <= RunnerGridModel::LastMark;
}

bool isLightYellow(int column) {
    return column == RunnerGridModel::Corner || column == RunnerGridModel::SIndex ||
           column == RunnerGridModel::AnaIndex;
}

}  // namespace

RunnerGridModel::RunnerGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void RunnerGridModel::setLines(const std::array<RunnerLine, kRaceCardLines>& lines) {
    beginResetModel();
    lines_.assign(lines.begin(), lines.end());
    trainers_ = false;
    rotation_ = false;
    endResetModel();
}

void RunnerGridModel::setPersonas(const std::array<PersonaForecast, kPersonaCount>& personas) {
    for (std::size_t p = 0; p < personas.size(); ++p) {
        personaNames_[p] = q(personas[p].name);
        personaTips_[p] = q(personas[p].headingTip);
    }
    emit headerDataChanged(Qt::Horizontal, FirstMark, LastMark);
}

void RunnerGridModel::setShowsTrainers(bool trainers) {
    if (trainers_ == trainers) return;
    trainers_ = trainers;
    columnChanged(Person);
    columnChanged(Allowance);
}

void RunnerGridModel::setShowsRotation(bool rotation) {
    if (rotation_ == rotation) return;
    rotation_ = rotation;
    columnChanged(Class);
}

void RunnerGridModel::columnChanged(int column) {
    emit headerDataChanged(Qt::Horizontal, column, column);
    if (!lines_.empty()) emit dataChanged(index(0, column), index(rowCount() - 1, column));
}

int RunnerGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

int RunnerGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString RunnerGridModel::text(const RunnerLine& l, int column) const {
    switch (column) {
        case Bracket:
            return q(l.bracket);
        case Number:
            return QString::number(l.number);
        case Name:
            return q(l.name);
        case Weight:
            return q(l.weight);
        case Sex:
            return q(l.sex);
        case Age:
            return q(l.age);
        case Person:
            return q(trainers_ ? l.trainer : l.jockey);
        case Allowance:
            return q(trainers_ ? l.trainerPlace : l.apprentice);
        case Class:
            return q(rotation_ ? l.rotation : l.classChange);
        case Style:
            return q(l.style);
        case Index:
            return q(l.index);
        case Corner:
            return q(l.corner);
        case SIndex:
            return q(l.sIndex);
        case AnaIndex:
            return q(l.anaIndex);
        default:
            break;
    }
    if (isMark(column)) return q(l.marks[static_cast<std::size_t>(column - FirstMark)]);
    return {};
}

QString RunnerGridModel::toolTip(const RunnerLine& l, int column) const {
    switch (column) {
        case Name:
            return displayText(l.nameTip);
        case Person:
            return displayText(trainers_ ? l.trainerTip : l.jockeyTip);
        case Index:
            return displayText(l.indexTip);
        default:
            return {};
    }
}

QVariant RunnerGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) return {};
    const RunnerLine& l = lines_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return text(l, column);
        case Qt::ToolTipRole: {
            const QString tip = toolTip(l, column);
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        case UnderlyingDataRole:
            if (column == Name) return q(l.umacode);
            if (column == Bracket) return l.bracketColour;
            if (column == Number) return l.number;
            return text(l, column);
        case Qt::TextAlignmentRole:
            switch (column) {
                case Name:
                case Person:
                case Class:
                case Style:
                    return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
                case Number:
                case Weight:
                case Age:
                case Index:
                case Corner:
                case SIndex:
                case AnaIndex:
                    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
                default:
                    return QVariant::fromValue(Qt::AlignCenter);
            }
        case Qt::BackgroundRole:
            if (const auto colours = bracketColours(l.bracketColour); column == Bracket && colours) {
                return QBrush(colours->background);
            }
            if (isLightYellow(column)) return QBrush(kIndexBackground);
            return {};
        case Qt::ForegroundRole:
            if (const auto colours = bracketColours(l.bracketColour); column == Bracket && colours) {
                return QBrush(colours->text);
            }
            if (isMark(column)) {
                const std::string& mark = l.marks[static_cast<std::size_t>(column - FirstMark)];
                if (mark == "◎") return QBrush(kFirstMark);
                if (mark == "○") return QBrush(kSecondMark);
            }
            return {};
        case Qt::FontRole:
            if (column == Bracket || column == Number || isMark(column)) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        default:
            return {};
    }
}

QVariant RunnerGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole) {
        if (isMark(section)) return personaNames_[static_cast<std::size_t>(section - FirstMark)];
        switch (section) {
            case Bracket:
                return QStringLiteral("枠");
            case Number:
                return QStringLiteral("馬");
            case Name:
                return QStringLiteral("馬      名");
            case Weight:
                return QStringLiteral("重量");
            case Sex:
                return QStringLiteral("性");
            case Age:
                return QStringLiteral("齢");
            case Person:
                return trainers_ ? QStringLiteral("調教師") : QStringLiteral("騎手");
            case Allowance:
                return trainers_ ? QStringLiteral("場") : QStringLiteral("見");
            case Class:
                return rotation_ ? QStringLiteral("ﾛｰﾃｰｼｮﾝ") : QStringLiteral("クラス");
            case Style:
                return QStringLiteral("脚質");
            case Index:
                return QStringLiteral("指数");
            case Corner:
                return QStringLiteral("3角");
            case SIndex:
                return QStringLiteral("Ｓ指数");
            case AnaIndex:
                return QStringLiteral("穴指数");
            default:
                return {};
        }
    }
    if (role == Qt::ToolTipRole) {
        if (isMark(section)) {
            const QString& tip = personaTips_[static_cast<std::size_t>(section - FirstMark)];
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        if (section == Allowance && !trainers_) {
            return QStringLiteral("見習い騎手の減量値で、Ｋｇを表します。");
        }
        if (section == Index) {
            return QStringLiteral(
                "ＳＰ指数です。過去５走のＳＰ指数から、成長率と期待値を考慮しています。");
        }
        return {};
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

}  // namespace zelvanor::gui

#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

#include "core/views/race_card.hpp"

namespace zelvanor::gui {

// The runner grid of the race card: a snapshot of the eighteen lines of the race on show, with
// the switchable person and class columns. Never reads the database.
class RunnerGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        Bracket,
        Number,
        Name,
        Weight,
        Sex,
        Age,
        Person,     // 騎手 or 調教師
        Allowance,  // 見 or 場
        Class,      // クラス or ﾛｰﾃｰｼｮﾝ
        Style,
        Index,
        FirstMark,  // one mark column per persona, in display order
        LastMark = FirstMark + kPersonaCount - 1,
        Corner,
        SIndex,
        AnaIndex,
        ColumnCount
    };
    // The value behind a cell: the horse code on the name, the bracket number on 枠, the horse
    // number on 馬; the cell's text elsewhere.
    static constexpr int UnderlyingDataRole = Qt::UserRole;

    explicit RunnerGridModel(QObject* parent = nullptr);

    // A new race: its lines, and the person and class columns back to jockeys and class change.
    void setLines(const std::array<RunnerLine, kRaceCardLines>& lines);
    // The mark column headings and their tooltips.
    void setPersonas(const std::array<PersonaForecast, kPersonaCount>& personas);

    bool showsTrainers() const { return trainers_; }
    bool showsRotation() const { return rotation_; }
    // Switch one column; the others, marks included, stay as they are.
    void setShowsTrainers(bool trainers);
    void setShowsRotation(bool rotation);

    const RunnerLine& line(int row) const { return lines_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    QString text(const RunnerLine& line, int column) const;
    QString toolTip(const RunnerLine& line, int column) const;
    void columnChanged(int column);

    std::vector<RunnerLine> lines_;
    std::array<QString, kPersonaCount> personaNames_;
    std::array<QString, kPersonaCount> personaTips_;
    bool trainers_ = false;
    bool rotation_ = false;
};

}  // namespace zelvanor::gui

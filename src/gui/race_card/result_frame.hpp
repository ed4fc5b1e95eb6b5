#pragma once

#include <QFrame>
#include <array>
#include <cstdint>

#include "core/views/race_card.hpp"
#include "core/views/race_result.hpp"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zelvanor::gui {

// The race card's "レース結果" frame: the first three horse numbers, the two pairs derived from
// the first two, the six payouts and the button "記録". It checks what is typed; the race card
// derives the pairs, highlights the hits and stores.
//
// Widgets by object name: placeBox0 … placeBox2, payoutBox0 … payoutBox5 (win, the three place
// payouts, bracket quinella, quinella), bracketPairBox, quinellaPairBox, recordButton.
class ResultFrame : public QFrame {
    Q_OBJECT
  public:
    explicit ResultFrame(QWidget* parent = nullptr);

    // The field of the race on show: the limit of the horse numbers and which rows are shown
    // (the third place from 8 runners, the quinella from 9).
    void setRunnerCount(int runnerCount);
    int runnerCount() const { return runnerCount_; }

    // The stored result of the race on show; the pairs as stored.
    void showStored(const RaceCard& card);

    std::int64_t placeValue(int box) const;
    void setPairs(const ResultPairs& pairs);
    QString quinellaPair() const;
    // What 記録 stores; empty payout boxes show "0" first.
    RaceResultEntry entryForRecording();

    QLineEdit* placeBox(int box) const { return places_[static_cast<std::size_t>(box)]; }
    QLineEdit* payoutBox(int box) const { return payouts_[static_cast<std::size_t>(box)]; }
    // Puts the focus into a box with its text selected, for the user to correct it.
    void reenter(QLineEdit* box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  signals:
    // The text of place box `box` changed, by typing or by showing a race.
    void placeChanged(int box);
    // 記録: a click, or Enter while the button has the focus.
    void recordRequested();
    // A key or a horse number was refused, with a beep.
    void refused();

  private:
    friend class ResultBox;
    enum class Kind { Place, Payout, Pair };
    QLineEdit* makeBox(Kind kind, const char* name, int width);
    QLabel* makeLabel(const char* text);
    // Enter: on to the next shown box of the keyboard order.
    void moveOn(QWidget* from);
    void beep();
    bool placeTooHigh(const QLineEdit* box) const;

    int runnerCount_ = 0;
    std::array<QLineEdit*, kResultPlaces> places_{};
    std::array<QLineEdit*, kResultPayouts> payouts_{};
    QLineEdit* bracketPair_ = nullptr;
    QLineEdit* quinellaPair_ = nullptr;
    QPushButton* record_ = nullptr;
    // The widgets of the third place row and of the quinella row.
    std::array<QWidget*, 4> thirdRow_{};
    std::array<QWidget*, 3> quinellaRow_{};
    // Keyboard order: the places, the payouts, 記録, then the two pairs.
    std::array<QWidget*, kResultPlaces + kResultPayouts + 3> order_{};
};

}  // namespace zelvanor::gui

// The race card's result entry: the "レース結果" frame, the pairs and hits it derives, and 記録.

#include <QHBoxLayout>
#include <QLineEdit>

#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/race_result.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/user_dialogs.hpp"
#include "gui/common/window_services.hpp"
#include "gui/race_card/persona_frame.hpp"
#include "gui/race_card/race_card_window.hpp"
#include "gui/race_card/result_frame.hpp"

namespace zelvanor::gui {

namespace {

// Colours the persona frame lines that the result in the frame hits.
void highlightHits(const std::array<PersonaFrame*, kPersonaCount>& frames,
                   const RaceForecast& forecast, const ResultFrame& result) {
    const ResultHits hits =
        resultHits(forecast, result.placeValue(0), result.quinellaPair().toStdString());
    for (std::size_t p = 0; p < frames.size(); ++p) frames[p]->setHits(hits.top[p], hits.picks[p]);
}

}  // namespace

void RaceCardWindow::buildResultFrame() {
    resultFrame_ = new ResultFrame(this);
    bottomRow_->addWidget(resultFrame_, 0, Qt::AlignTop);
    connect(resultFrame_, &ResultFrame::placeChanged, this, &RaceCardWindow::placeChanged);
    connect(resultFrame_, &ResultFrame::recordRequested, this, &RaceCardWindow::recordResult);
}

void RaceCardWindow::showResult(const RaceCard& card) {
    shownCard_ = card;
    resultFrame_->showStored(card);
}

void RaceCardWindow::showResultPairs(int box) {
    if (box == 2) return;
    const std::int64_t first = resultFrame_->placeValue(0);
    const std::int64_t second = resultFrame_->placeValue(1);
    if (first > 0 && second > 0) {
        resultFrame_->setPairs(
            resultPairs(static_cast<int>(first), static_cast<int>(second), shownCard_.lines));
    }
    highlightHits(personaFrames_, shownCard_.forecast, *resultFrame_);
}

void RaceCardWindow::placeChanged(int box) {
    const std::int64_t value = resultFrame_->placeValue(box);
    if (value != 0 && value <= resultFrame_->runnerCount()) showResultPairs(box);
    if (resultFrame_->placeValue(0) == 0 || resultFrame_->placeValue(1) == 0) {
        resultFrame_->setPairs({});
        // No pair, no quinella hit: the highlights follow the boxes.
        highlightHits(personaFrames_, shownCard_.forecast, *resultFrame_);
    }
}

void RaceCardWindow::recordResult() {
    if (raceNo_ == 0) return;
    const RaceResultEntry entry = resultFrame_->entryForRecording();
    if (const ResultProblem problem = resultEntryProblem(entry, shownCard_.runnerCount);
        !problem.message.empty()) {
        dialogs().message(this, QString::fromStdString(problem.message),
                          QString::fromLatin1(kAppTitle), UserDialogs::Icon::Exclamation);
        resultFrame_->reenter(problem.placeBox >= 0 ? resultFrame_->placeBox(problem.placeBox)
                                                    : resultFrame_->payoutBox(problem.payoutBox));
        return;
    }
    bool stored = false;
    if (!main_.guarded(
            [&] { stored = storeRaceResult(main_.session().tran(), meeting_, raceNo_, entry); })) {
        return;
    }
    if (stored) {
        dialogs().message(this, displayText(kResultStoredText), QString(), UserDialogs::Icon::None);
    } else {
        dialogs().message(this, displayText(kResultRaceGoneText), QString::fromLatin1(kAppTitle),
                          UserDialogs::Icon::Exclamation);
    }
}

}  // namespace zelvanor::gui

#include "gui/race_card/result_frame.hpp"

#include <algorithm>

#include <QApplication>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "core/records/numeric.hpp"

namespace zelvanor::gui {

namespace {

bool isEnter(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

void retainRoom(QWidget* w) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

// A box of the result frame with the keys its kind accepts. A horse number box takes two digits
// at most and cannot be left holding a number above the field.
class ResultBox : public QLineEdit {
  public:
    ResultBox(ResultFrame& frame, ResultFrame::Kind kind)
        : QLineEdit(&frame), frame_(frame), kind_(kind) {}

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (isEnter(e)) {
            frame_.moveOn(this);
            return;
        }
        if (kind_ == ResultFrame::Kind::Pair || e->key() == Qt::Key_Backspace ||
            e->key() == Qt::Key_Delete || e->text().isEmpty()) {
            // Pair boxes are read-only; moving the caret and deleting are not typing.
            QLineEdit::keyPressEvent(e);
            return;
        }
        const QString typed = e->text();
        const bool digit =
            typed.size() == 1 && typed[0] >= QLatin1Char('0') && typed[0] <= QLatin1Char('9');
        if (kind_ == ResultFrame::Kind::Payout) {
            // Anything but a digit is ignored without a word.
            if (digit) QLineEdit::keyPressEvent(e);
            return;
        }
        // Two digits at most, counting what the typing does not replace.
        if (digit && text().size() - selectedText().size() <= 1) {
            QLineEdit::keyPressEvent(e);
        } else {
            frame_.beep();
        }
    }

    void focusInEvent(QFocusEvent* e) override {
        QLineEdit::focusInEvent(e);
        // A click places the caret; coming by keyboard or by program selects the whole text.
        if (kind_ != ResultFrame::Kind::Pair && e->reason() != Qt::MouseFocusReason) selectAll();
    }

    void focusOutEvent(QFocusEvent* e) override {
        QLineEdit::focusOutEvent(e);
        if (kind_ != ResultFrame::Kind::Place || !frame_.placeTooHigh(this)) return;
        // Another window taking the focus is not the user leaving the box.
        if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason)
            return;
        frame_.beep();
        // Back into the box once the focus change is over; showing another race may have
        // corrected it meanwhile.
        QTimer::singleShot(0, this, [this] {
            if (frame_.placeTooHigh(this)) frame_.reenter(this);
        });
    }

  private:
    ResultFrame& frame_;
    ResultFrame::Kind kind_;
};

ResultFrame::ResultFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("resultFrame"));
    setStyleSheet(
        QStringLiteral("QFrame#resultFrame { background: #804000; border: 1px solid #502800; }"
                       "QLabel { color: #FFFFFF; background: transparent; }"
                       "QLabel[cell=\"caption\"] { font-weight: bold; padding: 1px 2px; }"
                       "QLineEdit { color: #000000; background: #FFFFFF; border: 1px solid #502800;"
                       " padding: 0px 3px; }"));

    const QFontMetrics fm(font());
    const int numberWidth = fm.horizontalAdvance(QStringLiteral("18")) + 14;
    const int pairWidth = fm.horizontalAdvance(QStringLiteral("18 - 18")) + 14;
    const int payoutWidth = fm.horizontalAdvance(QStringLiteral("9,999,990")) + 14;

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(5, 3, 5, 5);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    QLabel* caption = makeLabel("レース結果");
    caption->setObjectName(QStringLiteral("resultCaption"));
    caption->setProperty("cell", "caption");
    grid->addWidget(caption, 0, 0, 1, 4);

    static constexpr const char* kPlaceNames[] = {"placeBox0", "placeBox1", "placeBox2"};
    static constexpr const char* kPayoutNames[] = {"payoutBox0", "payoutBox1", "payoutBox2",
                                                   "payoutBox3", "payoutBox4", "payoutBox5"};
    for (std::size_t k = 0; k < places_.size(); ++k) {
        places_[k] = makeBox(Kind::Place, kPlaceNames[k], numberWidth);
        const int box = static_cast<int>(k);
        connect(places_[k], &QLineEdit::textChanged, this, [this, box] { emit placeChanged(box); });
    }
    for (std::size_t k = 0; k < payouts_.size(); ++k) {
        payouts_[k] = makeBox(Kind::Payout, kPayoutNames[k], payoutWidth);
    }
    bracketPair_ = makeBox(Kind::Pair, "bracketPairBox", pairWidth);
    quinellaPair_ = makeBox(Kind::Pair, "quinellaPairBox", pairWidth);

    // Rows: first place and win, the winner's place payout, second, third, bracket quinella,
    // quinella, then 記録.
    const auto placeRow = [&](int row, const char* placeLabel, QLineEdit* place,
                              const char* payLabel, QLineEdit* payout) {
        QLabel* left = placeLabel ? makeLabel(placeLabel) : nullptr;
        QLabel* right = makeLabel(payLabel);
        if (left) grid->addWidget(left, row, 0);
        if (place) grid->addWidget(place, row, 1, Qt::AlignLeft);
        grid->addWidget(right, row, 2);
        grid->addWidget(payout, row, 3);
        return std::pair{left, right};
    };
    placeRow(1, "１着", places_[0], "単賞", payouts_[0]);
    placeRow(2, nullptr, nullptr, "複勝", payouts_[1]);
    placeRow(3, "２着", places_[1], "複勝", payouts_[2]);
    const auto [third, thirdPay] = placeRow(4, "３着", places_[2], "複勝", payouts_[3]);
    thirdRow_ = {third, places_[2], thirdPay, payouts_[3]};

    QLabel* bracketLabel = makeLabel("枠   連");
    grid->addWidget(bracketLabel, 5, 0);
    grid->addWidget(bracketPair_, 5, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(payouts_[4], 5, 3);
    QLabel* quinellaLabel = makeLabel("馬   連");
    grid->addWidget(quinellaLabel, 6, 0);
    grid->addWidget(quinellaPair_, 6, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(payouts_[5], 6, 3);
    quinellaRow_ = {quinellaLabel, quinellaPair_, payouts_[5]};
    // A row left out keeps its room, so that the frame and 記録 stay in place from race to race.
    for (QWidget* w : thirdRow_) retainRoom(w);
    for (QWidget* w : quinellaRow_) retainRoom(w);

    QLabel* reminder = makeLabel("入力したら必ず→");
    reminder->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(reminder, 7, 0, 1, 3);
    record_ = new QPushButton(QStringLiteral("記録"), this);
    record_->setObjectName(QStringLiteral("recordButton"));
    record_->setStyleSheet(QStringLiteral("font-weight: bold;"));
    record_->setFixedSize(payoutWidth, fm.height() + 8);
    record_->installEventFilter(this);
    connect(record_, &QPushButton::clicked, this, &ResultFrame::recordRequested);
    grid->addWidget(record_, 7, 3);
    grid->setRowStretch(8, 1);

    order_ = {places_[0],  places_[1],  places_[2],  payouts_[0], payouts_[1],  payouts_[2],
              payouts_[3], payouts_[4], payouts_[5], record_,     bracketPair_, quinellaPair_};
    for (std::size_t k = 0; k + 1 < order_.size(); ++k) setTabOrder(order_[k], order_[k + 1]);
    setRunnerCount(0);
}

QLineEdit* ResultFrame::makeBox(Kind kind, const char* name, int width) {
    auto* box = new ResultBox(*this, kind);
    box->setObjectName(QString::fromLatin1(name));
    box->setFixedWidth(width);
    box->setFixedHeight(fontMetrics().height() + 4);
    if (kind == Kind::Pair) {
        box->setReadOnly(true);
        box->setAlignment(Qt::AlignCenter);
    } else {
        box->setAlignment(Qt::AlignRight);
        // Pasted text must keep to what typing may enter.
        box->setValidator(new QRegularExpressionValidator(
            QRegularExpression(kind == Kind::Place ? QStringLiteral("\\d{0,2}")
                                                   : QStringLiteral("[\\d,]*")),
            box));
    }
    return box;
}

QLabel* ResultFrame::makeLabel(const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void ResultFrame::setRunnerCount(int runnerCount) {
    runnerCount_ = runnerCount;
    for (QWidget* w : thirdRow_) w->setVisible(showsThirdPlace(runnerCount));
    for (QWidget* w : quinellaRow_) w->setVisible(showsQuinella(runnerCount));
}

void ResultFrame::showStored(const RaceCard& card) {
    setRunnerCount(card.runnerCount);
    for (std::size_t k = 0; k < places_.size(); ++k) {
        places_[k]->setText(q(placeText(card.placed[k])));
    }
    bracketPair_->setText(q(card.bracketPair));
    quinellaPair_->setText(q(card.quinellaPair));
    for (std::size_t k = 0; k < payouts_.size(); ++k) {
        payouts_[k]->setText(q(payoutText(card.payouts[k])));
    }
}

std::int64_t ResultFrame::placeValue(int box) const {
    return numericValue(placeBox(box)->text().toStdString());
}

void ResultFrame::setPairs(const ResultPairs& pairs) {
    bracketPair_->setText(q(pairs.bracket));
    quinellaPair_->setText(q(pairs.quinella));
}

QString ResultFrame::quinellaPair() const {
    return quinellaPair_->text();
}

RaceResultEntry ResultFrame::entryForRecording() {
    RaceResultEntry entry;
    for (std::size_t k = 0; k < places_.size(); ++k) {
        entry.placed[k] = placeValue(static_cast<int>(k));
    }
    entry.bracketPair = bracketPair_->text().toStdString();
    entry.quinellaPair = quinellaPair_->text().toStdString();
    for (std::size_t k = 0; k < payouts_.size(); ++k) {
        if (payouts_[k]->text().isEmpty()) payouts_[k]->setText(QStringLiteral("0"));
        entry.payouts[k] = payoutValue(payouts_[k]->text().toStdString());
    }
    return entry;
}

void ResultFrame::reenter(QLineEdit* box) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void ResultFrame::moveOn(QWidget* from) {
    if (auto* box = qobject_cast<QLineEdit*>(from); box && placeTooHigh(box)) {
        beep();
        reenter(box);
        return;
    }
    const auto at = std::find(order_.begin(), order_.end(), from);
    if (at == order_.end()) return;
    for (auto next = at + 1;; ++next) {
        if (next == order_.end()) next = order_.begin();
        if (*next == from) return;
        if ((*next)->isVisibleTo(this) && (*next)->isEnabled()) {
            (*next)->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void ResultFrame::beep() {
    QApplication::beep();
    emit refused();
}

bool ResultFrame::placeTooHigh(const QLineEdit* box) const {
    const bool isPlace = std::find(places_.begin(), places_.end(), box) != places_.end();
    return isPlace && numericValue(box->text().toStdString()) > runnerCount_;
}

bool ResultFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == record_ && event->type() == QEvent::KeyPress &&
        isEnter(static_cast<QKeyEvent*>(event))) {
        emit recordRequested();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace zelvanor::gui

#include "gui/going/going_dialog.hpp"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "core/shell/data_session.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/user_dialogs.hpp"

namespace zelvanor::gui {

namespace {

constexpr const char* kInformation =
    "デフォルトでは全て良馬場で設定されています。\r\n"
    "  下記の設定は選択された開催のレースを全て（１Ｒから１２Ｒまで）更新しますので、個別の設定が"
    "必要な場合は、予想画面で変更してください。";

constexpr int kTextWidth = 384;

}  // namespace

GoingDialog::GoingDialog(DataSession& session, Meeting meeting, QWidget* parent)
    : QDialog(parent), session_(session), meeting_(std::move(meeting)) {
    setObjectName(QStringLiteral("GoingDialog"));
    setWindowTitle(QStringLiteral("馬場の状態を設定する"));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(6);

    information_ = new QPlainTextEdit(this);
    information_->setObjectName(QStringLiteral("information"));
    information_->setReadOnly(true);
    information_->setPlainText(displayText(kInformation));
    information_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    information_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette face = information_->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    information_->setPalette(face);
    information_->setFixedWidth(kTextWidth);
    // Tall enough for the whole text at the width it wraps to, so it never scrolls.
    QTextDocument measure;
    measure.setDefaultFont(information_->font());
    measure.setDocumentMargin(information_->document()->documentMargin());
    measure.setPlainText(information_->toPlainText());
    measure.setTextWidth(kTextWidth - 2 * information_->frameWidth() - information_->contentsMargins().left() -
                         information_->contentsMargins().right());
    information_->setFixedHeight(static_cast<int>(measure.size().height()) + 2 * information_->frameWidth() +
                           4);
    column->addWidget(information_);

    good_ = new QRadioButton(QStringLiteral("すべて良馬場に設定する"), this);
    good_->setObjectName(QStringLiteral("goodOption"));
    good_->setChecked(true);
    heavy_ = new QRadioButton(QStringLiteral("すべて重馬場に設定する"), this);
    heavy_->setObjectName(QStringLiteral("heavyOption"));
    auto* choices = new QVBoxLayout;
    choices->setContentsMargins(12, 4, 0, 4);
    choices->setSpacing(4);
    choices->addWidget(good_);
    choices->addWidget(heavy_);
    column->addLayout(choices);

    updateButton_ = new QPushButton(QStringLiteral("更新する"), this);
    updateButton_->setObjectName(QStringLiteral("updateButton"));
    cancelButton_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    for (QPushButton* b : {updateButton_, cancelButton_}) {
        b->setMinimumSize(88, 28);
        buttons->addWidget(b);
    }
    column->addLayout(buttons);
    connect(updateButton_, &QPushButton::clicked, this, &GoingDialog::update);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    // The choices come first, so the good ground one has the focus on opening.
    setTabOrder(good_, heavy_);
    setTabOrder(heavy_, information_);
    setTabOrder(information_, updateButton_);
    setTabOrder(updateButton_, cancelButton_);
    good_->setFocus();

    setFixedSize(sizeHint());
}

void GoingDialog::update() {
    const Going going = good_->isChecked() ? Going::Good : Going::Heavy;
    try {
        setMeetingGoing(session_.tran(), meeting_, going);
    } catch (const std::exception& e) {
        // Nothing was written; the dialog stays open, to try again or cancel.
        showOperationFailure(this, e);
        return;
    }
    dialogs().message(
        this, displayText(goingSetMessage(going)), QString(),
        going == Going::Good ? UserDialogs::Icon::Information : UserDialogs::Icon::None);
    accept();
}

}  // namespace zelvanor::gui

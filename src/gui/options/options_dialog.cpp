#include "gui/options/options_dialog.hpp"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "core/shell/data_session.hpp"
#include "core/shell/file_problem.hpp"
#include "core/views/options.hpp"
#include "gui/common/display_text.hpp"
#include "gui/common/user_dialogs.hpp"

namespace zelvanor::gui {

namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kSliderWidth = 176;
// Added under the style's own slider height, for the ticks below the groove.
constexpr int kTickRoom = 6;

}  // namespace

OptionsDialog::OptionsDialog(DataSession& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(qs(kOptionsTitle));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);

    // The caption column is as wide on every weight page, so the sliders line up from tab to tab.
    int captionWidth = 0;
    for (const auto caption : kWeightCaptions) {
        captionWidth = std::max(captionWidth, fontMetrics().horizontalAdvance(qs(caption)));
    }

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    for (int i = 0; i < static_cast<int>(kOptionsTabs.size()); ++i) {
        const OptionsTab& tab = kOptionsTabs[static_cast<std::size_t>(i)];
        QWidget* page = tab.sliderCount > 0
                            ? sliderPage(i, tab.firstSlider, tab.sliderCount, captionWidth)
                            : namePage();
        tabs_->addTab(page, qs(tab.caption));
        tabs_->setTabToolTip(i, qs(tab.tooltip));
        tabs_->tabBar()->setTabData(i, qs(tab.key));
    }
    tabs_->setCurrentIndex(0);
    column->addWidget(tabs_);

    cancelButton_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    defaultButton_ = new QPushButton(QStringLiteral("デフォルト"), this);
    defaultButton_->setObjectName(QStringLiteral("defaultButton"));
    applyButton_ = new QPushButton(QStringLiteral("更新"), this);
    applyButton_->setObjectName(QStringLiteral("applyButton"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    for (QPushButton* b : {cancelButton_, defaultButton_, applyButton_}) {
        b->setMinimumSize(88, 28);
        // Enter in the name box must not store anything: only a press of 更新 does.
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    column->addLayout(buttons);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::close);
    connect(defaultButton_, &QPushButton::clicked, this, &OptionsDialog::restoreDefaults);
    connect(applyButton_, &QPushButton::clicked, this, &OptionsDialog::apply);

    // Wherever the focus is in the dialog, not only inside the tabs.
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this, &OptionsDialog::selectNextTab);

    setValues(OptionsValues{kDefaultWeights, std::string(kDefaultUserName)});
    setFixedSize(sizeHint());
    const QRect screenArea =
        (parent ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    move(screenArea.center() - rect().center());
}

QWidget* OptionsDialog::sliderPage(int index, int first, int count, int captionWidth) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("weightPage%1").arg(index));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(6);

    // One 小 and one 大 above the slider column, over its two ends.
    auto* ends = new QHBoxLayout;
    ends->setContentsMargins(0, 0, 0, 0);
    auto* low = new QLabel(qs(kSliderLow), page);
    auto* high = new QLabel(qs(kSliderHigh), page);
    ends->addWidget(low);
    ends->addStretch(1);
    ends->addWidget(high);
    grid->addLayout(ends, 0, 1);

    for (int row = 0; row < count; ++row) {
        const int i = first + row;
        auto* caption = new QLabel(qs(kWeightCaptions[static_cast<std::size_t>(i)]), page);
        caption->setMinimumWidth(captionWidth);
        auto* slider = new QSlider(Qt::Horizontal, page);
        slider->setObjectName(QStringLiteral("weightSlider%1").arg(i));
        slider->setRange(0, 3);
        slider->setSingleStep(1);
        slider->setPageStep(1);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(1);
        slider->setFixedSize(kSliderWidth, slider->sizeHint().height() + kTickRoom);
        // Level with the groove rather than with the groove and its ticks.
        caption->setContentsMargins(0, 0, 0, kTickRoom);
        caption->setBuddy(slider);
        grid->addWidget(caption, row + 1, 0, Qt::AlignVCenter);
        grid->addWidget(slider, row + 1, 1);
        sliders_[static_cast<std::size_t>(i)] = slider;
    }
    // The pages with one slider keep it at the top, where the first page starts.
    grid->setRowStretch(count + 1, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* OptionsDialog::namePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("namePage"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    auto* caption = new QLabel(qs(kUserNameCaption), page);
    name_ = new QLineEdit(page);
    name_->setObjectName(QStringLiteral("nameBox"));
    // Room for the default "User" or two full-width characters, with the frame around them.
    name_->setFixedWidth(std::max(fontMetrics().horizontalAdvance(QStringLiteral("User")),
                                  fontMetrics().horizontalAdvance(QStringLiteral("翠嶺"))) +
                         20);
    caption->setBuddy(name_);
    connect(name_, &QLineEdit::textEdited, this, &OptionsDialog::limitName);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(name_, 0, 1, Qt::AlignLeft);

    nameExplanation_ = new QPlainTextEdit(page);
    nameExplanation_->setObjectName(QStringLiteral("nameExplanation"));
    nameExplanation_->setReadOnly(true);
    nameExplanation_->setFocusPolicy(Qt::NoFocus);
    // Its lines break where the text says, never elsewhere.
    nameExplanation_->setLineWrapMode(QPlainTextEdit::NoWrap);
    nameExplanation_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    nameExplanation_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    nameExplanation_->setPlainText(displayText(kUserNameExplanation));
    QPalette face = nameExplanation_->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    nameExplanation_->setPalette(face);
    // Exactly the size of its text, so nothing is cut off and nothing scrolls.
    QTextDocument measure;
    measure.setDefaultFont(nameExplanation_->font());
    measure.setDocumentMargin(nameExplanation_->document()->documentMargin());
    measure.setPlainText(nameExplanation_->toPlainText());
    const int frame = 2 * nameExplanation_->frameWidth();
    nameExplanation_->setFixedSize(static_cast<int>(measure.idealWidth()) + frame + 4,
                                   static_cast<int>(measure.size().height()) + frame + 4);
    grid->addWidget(nameExplanation_, 1, 0, 1, 3, Qt::AlignLeft | Qt::AlignTop);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

void OptionsDialog::setValues(const OptionsValues& values) {
    for (std::size_t i = 0; i < sliders_.size(); ++i) sliders_[i]->setValue(values.sliders[i]);
    acceptedName_ = QString::fromStdString(values.userName);
    name_->setText(acceptedName_);
}

OptionsValues OptionsDialog::values() const {
    OptionsValues v;
    for (std::size_t i = 0; i < sliders_.size(); ++i) v.sliders[i] = sliders_[i]->value();
    v.userName = name_->text().toStdString();
    return v;
}

void OptionsDialog::limitName(const QString& edited) {
    const QList<uint> before = acceptedName_.toUcs4();
    const QList<uint> after = edited.toUcs4();
    if (after.size() <= kUserNameMaxChars || after.size() <= before.size()) {
        acceptedName_ = edited;
        return;
    }
    // What the edit put in: between the parts the text before and after it have in common.
    qsizetype prefix = 0;
    while (prefix < before.size() && before[prefix] == after[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    // As much of it as fits, as a text box with a length limit takes a paste or a conversion.
    const qsizetype room = kUserNameMaxChars - prefix - suffix;
    const qsizetype inserted = after.size() - prefix - suffix;
    QList<uint> kept = after.mid(0, prefix);
    if (room > 0) kept += after.mid(prefix, std::min(room, inserted));
    kept += after.mid(after.size() - suffix);
    const QString keptText =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size());
    const QString head = QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()),
                                           kept.size() - suffix);
    acceptedName_ = keptText;
    name_->setText(keptText);
    name_->setCursorPosition(static_cast<int>(head.size()));
    QApplication::beep();
}

void OptionsDialog::selectNextTab() {
    tabs_->setCurrentIndex((tabs_->currentIndex() + 1) % tabs_->count());
}

void OptionsDialog::restoreDefaults() {
    setValues(withDefaultWeights(values()));
    dialogs().message(this, displayText(kOptionsDefaultMessage), QString(),
                      UserDialogs::Icon::None);
}

void OptionsDialog::apply() {
    const OptionsValues v = values();
    // A name of two characters may still be one the store cannot keep (a character outside
    // Shift-JIS, a control character pasted in): the user corrects it, nothing is lost.
    if (const std::string problem = storedUserNameProblem(v.userName); !problem.empty()) {
        tabs_->setCurrentWidget(name_->parentWidget());
        dialogs().message(this, displayText(problem), QString::fromLatin1(kAppTitle),
                          UserDialogs::Icon::Exclamation);
        name_->setFocus();
        name_->selectAll();
        return;
    }
    try {
        saveConstants(session_.mast(), v.sliders, v.userName);
    } catch (const std::exception& e) {
        // Nothing was written; the dialog stays open, to try again or cancel.
        dialogs().message(this,
                          QString::fromStdString(operationProblem(e)) +
                              QStringLiteral("\n\nこの操作は取り消されました。"),
                          QString::fromLatin1(kAppTitle), UserDialogs::Icon::Critical);
        return;
    }
    dialogs().message(this, displayText(kOptionsSavedMessage), QString(), UserDialogs::Icon::None);
    close();
}

}  // namespace zelvanor::gui

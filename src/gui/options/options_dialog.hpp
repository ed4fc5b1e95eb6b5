#pragma once

#include <QDialog>
#include <array>

#include "core/shell/constants.hpp"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;

namespace zelvanor {
class DataSession;
}

namespace zelvanor::gui {

// The prediction constants dialog: the seven weights of the third persona on three tabs and the
// persona's name on a fourth. Not modal; nothing is stored before 更新.
class OptionsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit OptionsDialog(DataSession& session, QWidget* parent = nullptr);

    // Shows these values (as loadConstantsIntoOptions gives them), replacing unsaved changes.
    void setValues(const OptionsValues& values);
    OptionsValues values() const;

  private:
    QWidget* sliderPage(int index, int first, int count, int captionWidth);
    QWidget* namePage();
    // 更新: stores the values shown, confirms it and closes.
    void apply();
    // デフォルト: the default weights in the sliders; the name stays as typed; nothing is stored.
    void restoreDefaults();
    // Ctrl+Tab: the next tab, the first after the last.
    void selectNextTab();
    // The name box takes no more than two characters (a character outside the basic plane
    // counting one) from the user, yet shows a longer stored name (the default "User") whole:
    // of an edit that lengthens the text past the limit only what fits is kept.
    void limitName(const QString& edited);

    DataSession& session_;
    QTabWidget* tabs_ = nullptr;
    std::array<QSlider*, 7> sliders_{};
    QLineEdit* name_ = nullptr;
    QString acceptedName_;
    QPlainTextEdit* nameExplanation_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
};

}  // namespace zelvanor::gui

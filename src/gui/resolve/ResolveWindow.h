// The "Resolve different duplicates" window: shows the dialog's values and hands every event to it.
#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/workflow/ResolveDialog.h"
#include "gui/common/QtMessageBoxes.h"
#include "gui/resolve/TonePlayer.h"

class QCheckBox;
class QComboBox;
class QMenu;
class QTableView;
class QToolButton;
class PairTableModel;
class QGridLayout;
class QVBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class ResolveWindow : public QDialog, public ResolveWindowInterface {
    Q_OBJECT

  public:
    // boxes: where the dialog's messages go; null for message boxes over this window.
    ResolveWindow(ResolveDialog& dialog, QWidget* parent, MessageBoxes* boxes = nullptr);

    bool readBoxes(ResolveDialog& dialog) override;
    void showValues(const ResolveDialog& dialog) override;
    void showPairs(const ResolveDialog& dialog) override;
    void redrawAll(const ResolveDialog& dialog) override;
    void hideControl(ResolveControl control) override;
    void tone(unsigned frequency, unsigned milliseconds) override;
    void endDialog(DialogResult result) override;
    [[nodiscard]] MessageBoxes& messageBoxes() override;

    // Escape and the close box end here: they cancel like the Cancel button.
    void reject() override;

  protected:
    // Enter is the default accept, whichever control has the focus.
    void keyPressEvent(QKeyEvent* event) override;
    // Input boxes hand their value over when they get the focus; tooltips wrap and stay a while.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A text box and the bytes it was last given, so that a box nobody edited gives back exactly those.
    struct TextBox {
        QLineEdit* edit = nullptr;
        std::string bytes;
        QString shown;
    };

    void buildControls();
    [[nodiscard]] QWidget* buildHeader();
    [[nodiscard]] QGridLayout* buildPairGrid();
    [[nodiscard]] QWidget* buildInputBoxes();   // returns the Use button
    [[nodiscard]] QWidget* buildOutputBoxes();  // returns the Org button
    void setBoxWidths();
    [[nodiscard]] QGridLayout* buildLineBoxes();
    [[nodiscard]] QVBoxLayout* buildButtons();
    [[nodiscard]] QWidget* buildOverview();
    void addKeys();
    void fillDecideMenu();
    void applyFilter();
    void selectCurrentRow();
    void focusOutputOf(ResolveDialog::InputBox box);
    void takeFieldInFocus();
    void showHelp();
    [[nodiscard]] bool singleStationBox() const { return dialog_.singleStationBox; }
    QLineEdit* addInputBox(const char* name);
    QLineEdit* addOutputBox(const char* name, ResolveDialog::OutputBox box);
    QPushButton* addButton(const QString& text, const char* name, void (ResolveDialog::*handler)());
    void explain(QWidget* control, const char* text);
    void place(TextBox& box, const std::string& bytes);
    [[nodiscard]] std::string read(const TextBox& box) const;
    void colour(QWidget* control, bool modified);

    ResolveDialog& dialog_;
    QtMessageBoxes ownBoxes_;
    MessageBoxes* boxes_;
    QLabel* countText_ = nullptr;
    QLabel* layoutWarning_ = nullptr;
    QLabel* positionText_ = nullptr;
    QLabel* stationLabel_ = nullptr;
    QWidget* bandLabel_ = nullptr;
    QWidget* inputBands_ = nullptr;
    TextBox inCall_, inGrid_, inState_, inName_, inStation_, inEmail_, inLine_;
    std::array<QLineEdit*, 4> inBands_{};
    QCheckBox* inEme_ = nullptr;
    TextBox outCall_, outGrid_, outState_, outName_, outStation_, outEmail_, outLine_;
    QCheckBox* outEme_ = nullptr;
    QCheckBox* saveQuietly_ = nullptr;
    // The output grid as last placed or typed: typing may not make a grid longer than six unless it was.
    QString gridAccepted_;
    // The input boxes that transfer their value on getting the focus.
    std::vector<std::pair<QWidget*, ResolveDialog::InputBox>> transfers_;
    QComboBox* stateFilter_ = nullptr;
    QComboBox* fieldFilter_ = nullptr;
    QLineEdit* textFilter_ = nullptr;
    QTableView* table_ = nullptr;
    PairTableModel* model_ = nullptr;
    QToolButton* decideButton_ = nullptr;
    QMenu* decideMenu_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* redoButton_ = nullptr;
    bool showing_ = false;  // the window selects a row itself: not a choice of the user's
    std::optional<std::size_t> shownPair_;
    TonePlayer tones_;
};

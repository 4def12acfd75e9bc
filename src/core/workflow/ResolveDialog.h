// The resolve dialog's logic: the differing pairs of a merge, an overview of them, one pair at a time in the
// boxes, and how they are settled: one by one, field by field for many at once, or all at once. Every
// decision can be undone and redone.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/calldata/CallRecord.h"
#include "core/calldata/TextEncoding.h"
#include "core/merge/MergeOptions.h"
#include "core/workflow/DecisionHistory.h"
#include "core/workflow/MergeSession.h"
#include "core/workflow/PairTable.h"
#include "core/workflow/ResolveWindowInterface.h"
#include "core/workflow/ResumeStore.h"

class ResolveDialog {
  public:
    // The input boxes that hand their value to the output line when they get the focus; EME, which has
    // no such box, is taken by a key.
    enum class InputBox { Grid, Eme, State, Name, Email, Station, Band };
    // The editable output controls, each with its modified flag.
    enum class OutputBox { Grid, Eme, State, Name, Station, Email };

    // Works on the session's differences and the database records they point to. With `resume`, the
    // decisions are kept on disk under `resumeKey` as they are made, and kept ones are offered on opening.
    // `options` steer which fields count as differing, as they steered the merge's difference test.
    explicit ResolveDialog(MergeSession& session, const ResumeStore* resume = nullptr,
                           std::string resumeKey = {}, const MergeOptions& options = {});

    void setWindow(ResolveWindowInterface& window) { window_ = &window; }
    // Opening: chooses the station display, offers kept decisions and shows the first pair.
    void onInitDialog();

    // The move buttons, within the overview's view: each first saves an edited pair (asking unless
    // saveQuietly).
    void onFirst();
    void onPrev();
    void onNext();
    void onLast();
    // A row of the overview chosen: a move to that pair.
    void onSelectRow(std::size_t row);
    // The next open pair after the shown one, without saving anything.
    void onNextOpen();
    // Saves the output line of the shown pair as it stands and shows a neighbour.
    void onSaveAsShown();
    // The same, then the next open pair.
    void onSaveAndNextOpen();
    // Take the input's values into every open pair, or keep the database's; each asks first, saying what
    // it will change.
    void onSaveAllNew();
    void onSaveAllOriginal();
    // The same without asking, for the batch command.
    void saveAllNew();
    void saveAllOriginal();
    // Field by field, for the open pairs of the view: take the input's value, or keep the database's.
    void onTakeInput(PairField field);
    void onKeepMine(PairField field);
    // One pair settled field by field, as PairTable::decide does it.
    void decidePair(std::size_t pair, const std::vector<PairField>& take);
    // Settled pairs of these view rows become open again, with their values as the step began.
    void onReopen(const std::vector<std::size_t>& rows);
    void onUndo();
    void onRedo();
    [[nodiscard]] bool canUndo() const { return history_.canUndo(); }
    [[nodiscard]] bool canRedo() const { return history_.canRedo(); }
    // Enter: saves the shown pair if the user wants, asks while pairs are open, and ends with OK.
    void onOk();
    // Cancel, Escape, the close box: asks before throwing decisions away, and ends with Cancel.
    void onCancel();
    // What the overview shows.
    void setFilter(PairFilter filter);
    void setSort(PairColumn column, bool ascending);

    // Editing the output line.
    void onInputFieldFocus(InputBox box);
    void onUse();
    void onOrg();
    // The user typed into an output box or clicked the output EME box.
    void onOutputFieldChange(OutputBox box);

    [[nodiscard]] const PairTable& pairs() const { return pairs_; }
    // The shown pair, as an index into pairs(); nothing when the view is empty.
    [[nodiscard]] std::optional<std::size_t> currentPair() const;
    // How the database's bytes read for display, and how edits are stored.
    [[nodiscard]] TextEncoding databaseEncoding() const { return session_.databaseEncoding; }
    // Database records changed by this dialog, as the merge counts them.
    [[nodiscard]] std::uint32_t modifiedCount() const { return pairs_.modifiedCount(); }

    std::size_t currentItem = 0;  // the shown pair's row in the view
    // The input has one "Station" text rather than four band values.
    bool singleStationBox = false;
    bool gridModified = false;
    bool emeModified = false;
    bool stateModified = false;
    bool nameModified = false;
    bool stationModified = false;
    bool emailModified = false;
    bool saveQuietly = false;

    // The values of the controls.
    std::string countText;
    std::string positionText;  // "Item n of m" of the view
    // When most known calls differ, which a wrong field definition causes; empty otherwise.
    std::string layoutWarning;
    std::string inCall;
    std::string inGrid;
    std::string inState;
    std::string inName;
    std::string inEmail;
    bool inEme = false;
    std::string inStation;
    std::array<std::uint32_t, 4> inBands{};  // 6m, 2m, 222, 432
    std::string inLine;
    std::string outCall;
    std::string outGrid;
    bool outEme = false;
    std::string outState;
    std::string outName;
    std::string outStation;
    std::string outEmail;
    std::string outLine;

  private:
    // The window is attached by whoever runs the dialog, before any handler is called.
    [[nodiscard]] ResolveWindowInterface& window() {
        assert(window_ != nullptr);
        return *window_;
    }
    [[nodiscard]] CallRecord& inputRecord();
    [[nodiscard]] CallRecord& databaseRecord();
    [[nodiscard]] bool& flag(OutputBox box);
    [[nodiscard]] bool anyModified() const;

    void loadCurrentItem();
    void loadOutputValues();
    void composeOutputLine();
    // Stores the output values into the shown pair, as a step that can be undone.
    void storeOutputValues();
    [[nodiscard]] bool saveIfModified();
    void clearModified();
    void markModified(bool& modified);
    void showPair(std::optional<std::size_t> pair);
    void moveBy(bool forward);
    void moveToEnd(bool first);
    [[nodiscard]] std::optional<std::size_t> pairAt(std::ptrdiff_t row) const;
    [[nodiscard]] bool endIfAllSaved();
    void refreshView(std::optional<std::size_t> keep);

    [[nodiscard]] BoxSnapshot boxes() const;
    void putBack(const BoxSnapshot& boxes);
    // Records a change of the output boxes made by `edit`.
    template <typename Edit>
    void editBoxes(Edit edit, std::optional<PairField> typedInto = std::nullopt);
    // Records a decision on pairs: `before` what they were, as the change returned it.
    void recordDecision(std::vector<PairSnapshot> before,
                        std::optional<BoxSnapshot> boxesBefore = std::nullopt);
    void applyStep(const HistoryStep& step, bool undo);
    [[nodiscard]] bool confirmSaveAll(bool takeInput);
    void noteSettlements();
    void warnOfLayout();
    void offerResume();
    void keepDecisions();

    MergeSession& session_;
    MergeOptions options_;
    PairTable pairs_;
    DecisionHistory history_;
    const ResumeStore* resume_;
    std::string resumeKey_;
    ResolveWindowInterface* window_ = nullptr;
};

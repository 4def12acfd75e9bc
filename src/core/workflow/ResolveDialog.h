// The resolve dialog's logic: the differing pairs of a merge, one at a time, and how they are settled.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/merge/MergeChanges.h"
#include "core/workflow/ResolveWindowInterface.h"

#include <memory>
#include <vector>

#include "core/calldata/CallRecord.h"
#include "core/calldata/TextEncoding.h"
#include "core/workflow/MergeSession.h"

class ResolveDialog {
  public:
    // The input boxes that hand their value to the output line when they get the focus.
    enum class InputBox { Grid, State, Name, Email, Station, Band };
    // The editable output controls, each with its modified flag.
    enum class OutputBox { Grid, Eme, State, Name, Station, Email };

    // Works on the session's `differences` and the database records they point to.
    explicit ResolveDialog(MergeSession& session) : session_(session) {}

    void setWindow(ResolveWindowInterface& window) { window_ = &window; }
    // Opening: chooses the station display and shows the first pair.
    void onInitDialog();

    // The move buttons: each first saves an edited item (asking unless saveQuietly).
    void onFirst();
    void onPrev();
    void onNext();
    void onLast();
    // Saves the output line of the current item as it stands and shows a neighbour.
    void onSaveAsShown();
    // Takes the input's values into every remaining database record.
    void onSaveAllNew();
    // Keeps the database's values of every remaining pair.
    void onSaveAllOriginal();
    // Enter: reads the boxes and ends with OK, leaving the remaining items unsaved.
    void onOk();
    void onCancel();

    // Editing the output line.
    void onInputFieldFocus(InputBox box);
    void onUse();
    void onOrg();
    // The user typed into an output box or clicked the output EME box.
    void onOutputFieldChange(OutputBox box);

    // The pairs still to settle, in call order.
    [[nodiscard]] const std::vector<std::unique_ptr<CallRecord>>& pairs() const {
        return session_.differences;
    }
    // How the database's bytes read for display, and how edits are stored.
    [[nodiscard]] TextEncoding databaseEncoding() const { return session_.databaseEncoding; }

    std::size_t currentItem = 0;
    // Database records changed by saves in this dialog.
    std::uint32_t modifiedCount = 0;
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

    void loadCurrentItem();
    void loadOutputValues();
    void composeOutputLine();
    void storeOutputValues();
    [[nodiscard]] bool saveIfModified();
    void clearModified();
    void markModified(bool& modified);
    void showItem(std::size_t item);
    void moveBy(bool forward);
    void moveToEnd(bool first);
    void showAllSaved();

    void removeAllItems(MergeChanges::Settlement settlement);
    void finish(const char* message);

    MergeSession& session_;
    ResolveWindowInterface* window_ = nullptr;
};

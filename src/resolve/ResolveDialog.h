// The resolve dialog's logic: the differing pairs of a merge and how they are settled.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "merge/MergeChanges.h"
#include "resolve/ResolveWindowInterface.h"

class MergeDialog;

class ResolveDialog {
  public:
    // Works on the owner's `differences` and the database records they point to.
    explicit ResolveDialog(MergeDialog& owner) : owner(owner) {}

    void setWindow(ResolveWindowInterface& window) { window_ = &window; }
    // Opening: chooses the station display and makes the first pair current.
    void onInitDialog();
    // Takes the input's values into every remaining database record.
    void onSaveAllNew();
    // Keeps the database's values of every remaining pair.
    void onSaveAllOriginal();
    void onCancel();

    MergeDialog& owner;
    std::size_t currentItem = 0;
    // Database records changed by saves in this dialog.
    std::uint32_t modifiedCount = 0;
    // The input has one "Station" text rather than four band values.
    bool singleStationBox = false;
    bool saveQuietly = false;

  private:
    // The window is attached by whoever runs the dialog, before any handler is called.
    [[nodiscard]] ResolveWindowInterface& window() {
        assert(window_ != nullptr);
        return *window_;
    }
    void removeAllItems(MergeChanges::Settlement settlement);
    void finish(const char* message);

    ResolveWindowInterface* window_ = nullptr;
};

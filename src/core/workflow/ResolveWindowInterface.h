// What the resolve dialog's logic needs of its window.
#pragma once

#include "core/workflow/DialogResult.h"
#include "core/workflow/MessageBoxes.h"

class ResolveDialog;

// Controls that one station display or the other leaves out.
enum class ResolveControl {
    StationLabel,  // the label over the input's single station box
    BandLabel,     // the label over the input's four band boxes
    InputStation,  // the input's single station box
    InputBands,    // the input's four band boxes
};

class ResolveWindowInterface {
  public:
    virtual ~ResolveWindowInterface() = default;
    // Copies the controls' contents into the dialog's values. False when a box failed its validation; the
    // window has then told the user, and the values from that box on keep what they held.
    virtual bool readBoxes(ResolveDialog& dialog) = 0;
    // Copies the dialog's values into the controls; none of this counts as an edit by the user. The Save
    // Quietly box is only ever read: showing values (after a transfer, say) must not undo the user's tick.
    virtual void showValues(const ResolveDialog& dialog) = 0;
    // Shows the overview afresh: the pairs of the view, their states, and which decisions are possible.
    virtual void showPairs(const ResolveDialog& dialog) = 0;
    // Redraws the whole window at once, so that the output boxes whose flag is raised turn red.
    virtual void redrawAll(const ResolveDialog& dialog) = 0;
    virtual void hideControl(ResolveControl control) = 0;
    // A tone where the platform has one, a plain beep elsewhere.
    virtual void tone(unsigned frequency, unsigned milliseconds) = 0;
    // Ends the modal run.
    virtual void endDialog(DialogResult result) = 0;
    // The boxes owned by the resolve window.
    [[nodiscard]] virtual MessageBoxes& messageBoxes() = 0;
};

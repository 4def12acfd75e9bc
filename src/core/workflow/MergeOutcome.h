// How one press of Merge ended.
#pragma once

enum class MergeOutcome {
    LayoutRefused,  // the chosen layout has no field definition, or the input does not fit it; nothing was
                    // read
    CheckFailed,    // a file is missing or cannot be read
    Cancelled,      // the resolve step was cancelled; nothing was written
    NoChanges,      // nothing to insert or change; nothing was written
    NotConfirmed,   // the write was not confirmed
    Written,        // the new "Call3.txt" is in place
    WriteFailed,    // writing failed; "Call3.txt" is as it was
    DryRun,         // everything but the write was done
};

// What reading both files of a merge left out or did not take as records, and the calls that nearly met,
// noted in the merge's change list for the details list and the report.
#pragma once

#include <string>

#include "core/calldata/ReadResult.h"
#include "core/workflow/MergeSession.h"

// `database` and `input` are what reading each file found; `inputName` names the input as the user typed
// it. Both lists must be as read, before the merge walk.
void noteReadFindings(MergeSession& session, const ReadResult& database, const ReadResult& input,
                      const std::string& inputName);

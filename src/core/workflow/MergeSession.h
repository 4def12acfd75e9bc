// The state of one merge: both lists, the pairs that differ, the comments, the encodings, the counts and
// the change list. The main dialog starts a session for each press of Merge; the resolve and comments
// dialogs work on it. Every record of the merge belongs to one of its lists until the session ends.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/calldata/CallRecord.h"
#include "core/calldata/FieldDefinition.h"
#include "core/calldata/RecordList.h"
#include "core/calldata/TextEncoding.h"
#include "core/merge/MergeChanges.h"
#include "core/platform/PlatformFiles.h"

struct MergeSession {
    // `layouts` (the main dialog's, which outlive every record) and the index of the input's among them.
    MergeSession(const std::vector<FieldDefinition>& layouts, int inputLayout, bool recordChanges)
        : databaseLayout(layouts[databaseLayoutIndex]),
          inputLayout(inputLayout),
          databaseRecords(&databaseLayout),
          inputRecords(&layouts[static_cast<std::size_t>(inputLayout)]) {
        if (recordChanges) {
            changes.emplace();
        }
    }

    [[nodiscard]] MergeChanges* changeList() { return changes ? &*changes : nullptr; }

    const FieldDefinition& databaseLayout;
    const int inputLayout;
    RecordList databaseRecords;  // after the merge walk: the merged database
    std::vector<std::string> databaseComments;
    RecordList inputRecords;  // the merge walk empties it
    std::vector<std::string> inputComments;
    // Input records whose call is in the database but whose data differ, each with its match set.
    std::vector<std::unique_ptr<CallRecord>> differences;
    std::uint32_t insertedCount = 0;
    std::uint32_t autoCount = 0;
    std::uint32_t manualCount = 0;
    std::uint32_t knownCount = 0;  // input records whose call the database holds
    std::uint32_t writeCount = 0;  // records (not comment lines) to be written
    // How each file's bytes are to be read for display, and how edits are to be stored.
    TextEncoding databaseEncoding = TextEncoding::Windows1252;
    TextEncoding inputEncoding = TextEncoding::Windows1252;
    bool databaseHadByteOrderMark = false;
    std::optional<FileStamp> databaseStamp;  // Call3.txt as it was read
    std::string resumeKey;                   // where this merge's resolve decisions are kept, see ResumeStore
    std::optional<MergeChanges> changes;     // kept for reports only
};

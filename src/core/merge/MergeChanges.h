// The change list of one merge: what was added, converted and found different, and how each
// difference was settled. Front ends print it; the merge itself does not need it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/calldata/ReadResult.h"

class CallRecord;

struct MergeChanges {
    enum class Settlement {
        Unresolved,  // left in the list when the resolve step ended
        Original,    // the database's values kept
        Input,       // the input's values taken
        AsShown,     // the values the user saved for this one item
        Edited,      // decided field by field, some fields taken and some kept
    };
    // A new call: its record in the merged database, which lives as long as the change list (its line is
    // made when somebody asks, as most merges add many calls and most change lists are never read whole).
    struct Inserted {
        const CallRecord* record;
    };
    struct Updated {
        std::string call;
        std::string before;
        std::string after;
    };
    struct Difference {
        std::string call;
        std::string databaseLine;  // after the automatic conversions
        std::string inputLine;
        Settlement settlement = Settlement::Unresolved;
        std::string resultLine;              // the database line once the resolve step is over
        const CallRecord* record = nullptr;  // the database record
        // The fields that differed, each with "input" (taken), "kept" or "open" (undecided).
        std::vector<std::pair<std::string, std::string>> fields;
    };

    // A line of a file, by its number counted from 1 (0: not known, as for a line whose text was
    // converted to the other file's encoding).
    struct FileLine {
        std::string file;
        std::uint32_t line = 0;
        std::string text;
    };
    struct Duplicate {
        std::string file;
        DroppedLine dropped;
    };
    struct NearMatch {
        std::string inputCall;
        std::string databaseCall;
        FileLine input;
        FileLine database;
    };

    std::vector<Inserted> inserted;
    std::vector<Updated> updated;
    std::vector<Difference> differences;
    // What the reading left out or did not take as records, and calls that nearly met.
    std::vector<Duplicate> duplicates;
    std::vector<FileLine> commentLines;
    std::vector<NearMatch> nearMatches;

    void addDifference(Difference difference);
    // Notes what each difference's database record holds once the resolve step is over.
    void noteResultLines();
    void noteSettlement(const CallRecord* databaseRecord, Settlement settlement,
                        std::vector<std::pair<std::string, std::string>> fields = {});

  private:
    std::unordered_map<const CallRecord*, std::size_t> differenceIndex_;
};

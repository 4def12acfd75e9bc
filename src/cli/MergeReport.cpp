// Building the JSON report and the change list.
#include "cli/MergeReport.h"

#include "core/calldata/CallRecord.h"
#include "core/calldata/TextEncoding.h"

namespace {

const char* settlementName(MergeChanges::Settlement settlement) {
    switch (settlement) {
        case MergeChanges::Settlement::Original:
            return "original";
        case MergeChanges::Settlement::Input:
            return "input";
        case MergeChanges::Settlement::AsShown:
            return "shown";
        case MergeChanges::Settlement::Edited:
            return "edited";
        case MergeChanges::Settlement::Unresolved:
            break;
    }
    return "unresolved";
}

const char* outcomeName(MergeOutcome outcome) {
    switch (outcome) {
        case MergeOutcome::LayoutRefused:
            return "layout-refused";
        case MergeOutcome::CheckFailed:
            return "check-failed";
        case MergeOutcome::Cancelled:
            return "unresolved";
        case MergeOutcome::NoChanges:
            return "no-changes";
        case MergeOutcome::NotConfirmed:
            return "not-confirmed";
        case MergeOutcome::Written:
            return "written";
        case MergeOutcome::WriteFailed:
            return "write-failed";
        case MergeOutcome::DryRun:
            return "dry-run";
    }
    return "unknown";
}

nlohmann::ordered_json fileLine(const MergeChanges::FileLine& line) {
    return {{"file", toUtf8ForDisplay(line.file)},
            {"line", line.line == 0 ? nlohmann::ordered_json() : nlohmann::ordered_json(line.line)},
            {"text", toUtf8ForDisplay(line.text)}};
}

// Lines left out, lines read as comments and near matches.
void addReadFindings(nlohmann::ordered_json& report, const MergeChanges* changes) {
    using json = nlohmann::ordered_json;
    json duplicates = json::array();
    json comments = json::array();
    json near = json::array();
    if (changes != nullptr) {
        for (const MergeChanges::Duplicate& entry : changes->duplicates) {
            duplicates.push_back({{"file", toUtf8ForDisplay(entry.file)},
                                  {"line", entry.dropped.line},
                                  {"text", toUtf8ForDisplay(entry.dropped.text)},
                                  {"keptLine", entry.dropped.keptLine},
                                  {"keptText", toUtf8ForDisplay(entry.dropped.keptText)}});
        }
        for (const MergeChanges::FileLine& entry : changes->commentLines) {
            comments.push_back(fileLine(entry));
        }
        for (const MergeChanges::NearMatch& entry : changes->nearMatches) {
            near.push_back({{"inputCall", toUtf8ForDisplay(entry.inputCall)},
                            {"databaseCall", toUtf8ForDisplay(entry.databaseCall)},
                            {"input", fileLine(entry.input)},
                            {"database", fileLine(entry.database)}});
        }
    }
    report["duplicates"] = std::move(duplicates);
    report["commentLines"] = std::move(comments);
    report["nearMatches"] = std::move(near);
}

nlohmann::ordered_json textList(const std::vector<std::string>& lines) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const std::string& line : lines) {
        list.push_back(toUtf8ForDisplay(line));
    }
    return list;
}

}  // namespace

nlohmann::ordered_json MergeReport::toJson() const {
    using json = nlohmann::ordered_json;
    const int layout = dialog_.inputLayout;
    // An ordered object keeps its members in a vector that copies them whole when it grows: room for every
    // member first, so that the long lists are never copied.
    json report = json::object();
    report.get_ref<json::object_t&>().reserve(16);
    report["input"] = {
        {"path", toUtf8ForDisplay(dialog_.inputPath)},
        {"layout", layout},
        {"layoutName", layout >= 0 && static_cast<std::size_t>(layout) < layoutNames.size()
                           ? std::string(layoutNames[static_cast<std::size_t>(layout)])
                           : std::string()},
    };
    if (layout == customLayoutIndex) {
        report["input"]["fields"] = columnsText(dialog_.customColumns);
    }
    if (guess) {
        json scores;
        for (std::size_t i = 0; i < layoutNames.size(); ++i) {
            scores[std::string(layoutNames[i])] = guess->scores[i];
        }
        report["input"]["detected"] = true;
        report["input"]["layoutScores"] = scores;
    }
    report["outcome"] = outcomeName(outcome_);
    report["written"] = outcome_ == MergeOutcome::Written;
    report["dryRun"] = dialog_.dryRun;
    const MergeSession empty(dialog_.fieldDefinitions(), databaseLayoutIndex, false);
    const MergeSession& session = dialog_.session() != nullptr ? *dialog_.session() : empty;
    report["counts"] = {
        {"inserted", session.insertedCount},
        {"automaticallyUpdated", session.autoCount},
        {"manuallyUpdated", session.manualCount},
        {"recordsToWrite", session.writeCount},
    };
    json inserted = json::array();
    json updated = json::array();
    json differences = json::array();
    if (const MergeChanges* changes = changeList()) {
        for (const auto& entry : changes->inserted) {
            inserted.push_back({{"call", toUtf8ForDisplay(entry.record->call())},
                                {"line", toUtf8ForDisplay(entry.record->databaseLine())}});
        }
        for (const auto& entry : changes->updated) {
            updated.push_back({{"call", toUtf8ForDisplay(entry.call)},
                               {"before", toUtf8ForDisplay(entry.before)},
                               {"after", toUtf8ForDisplay(entry.after)}});
        }
        for (const auto& entry : changes->differences) {
            json fields = json::object();
            for (const auto& [field, decision] : entry.fields) {
                fields[field] = decision;
            }
            differences.push_back({{"call", toUtf8ForDisplay(entry.call)},
                                   {"databaseLine", toUtf8ForDisplay(entry.databaseLine)},
                                   {"inputLine", toUtf8ForDisplay(entry.inputLine)},
                                   {"settled", settlementName(entry.settlement)},
                                   {"fields", std::move(fields)},
                                   {"resultLine", toUtf8ForDisplay(entry.resultLine)}});
        }
    }
    report["inserted"] = std::move(inserted);
    report["automaticallyUpdated"] = std::move(updated);
    report["differences"] = std::move(differences);
    addReadFindings(report, changeList());
    report["status"] = textList(boxes_.statusLines());
    report["errors"] = textList(boxes_.errorLines());
    return report;
}

void MergeReport::printChanges(std::ostream& out) const {
    const MergeChanges* changes = changeList();
    if (changes == nullptr) {
        return;
    }
    for (const auto& entry : changes->inserted) {
        out << "New:      " << entry.record->databaseLine() << '\n';
    }
    for (const auto& entry : changes->updated) {
        out << "Updated:  " << entry.before << '\n' << "      to  " << entry.after << '\n';
    }
    for (const auto& entry : changes->differences) {
        out << "Differs:  " << entry.call << " (" << settlementName(entry.settlement) << ")\n"
            << "   Call3.txt:  " << entry.databaseLine << '\n'
            << "   Input file: " << entry.inputLine << '\n'
            << "   Result:     " << entry.resultLine << '\n';
    }
    out << "Lines left out as repeats of a call: " << changes->duplicates.size() << '\n'
        << "Lines read as comments: " << changes->commentLines.size() << '\n'
        << "Near matches (not merged): " << changes->nearMatches.size() << '\n';
}

// Building and saving the details list.
#include "core/workflow/MergeDetails.h"

#include "core/calldata/CallRecord.h"
#include "core/calldata/FieldDefinition.h"
#include "core/calldata/FileErrorCause.h"
#include "core/calldata/TextEncoding.h"
#include "core/platform/PathText.h"
#include "core/workflow/ReportFile.h"

namespace {

std::string shown(std::string_view bytes) {
    return toUtf8ForDisplay(bytes);
}

std::string where(const std::string& file, std::uint32_t line) {
    return shown(file) + (line == 0 ? std::string() : " line " + std::to_string(line));
}

// "Grid: AB12 -> FN31pr; Name: (empty) -> Alice": the fields of two database lines that differ.
std::string changedFields(const std::string& before, const std::string& after) {
    const std::vector<std::string> old = columnsOf(before);
    const std::vector<std::string> now = columnsOf(after);
    std::string text;
    for (std::size_t i = 1; i < columnNames.size(); ++i) {
        const std::string was = i < old.size() ? old[i] : std::string();
        const std::string is = i < now.size() ? now[i] : std::string();
        if (was != is) {
            text += (text.empty() ? "" : "; ") + std::string(columnNames[i]) + ": " +
                    (was.empty() ? "(empty)" : shown(was)) + " -> " + (is.empty() ? "(empty)" : shown(is));
        }
    }
    return text;
}

std::string settled(const MergeChanges::Difference& difference) {
    switch (difference.settlement) {
        case MergeChanges::Settlement::Original:
            return "original kept";
        case MergeChanges::Settlement::Input:
            return "input taken";
        case MergeChanges::Settlement::AsShown:
            return "saved as shown";
        case MergeChanges::Settlement::Edited: {
            std::string fields;
            for (const auto& [field, decision] : difference.fields) {
                fields += (fields.empty() ? "" : ", ") + field + " " + decision;
            }
            return "decided by field (" + fields + ")";
        }
        case MergeChanges::Settlement::Unresolved:
            break;
    }
    return "left open";
}

}  // namespace

MergeDetails::MergeDetails(const MergeChanges& changes) {
    std::vector<std::string> lines;
    for (const MergeChanges::Inserted& entry : changes.inserted) {
        lines.push_back(shown(entry.record->databaseLine()));
    }
    addGroup("New calls", lines);
    std::size_t unchanged = 0;  // a conversion may fire on a value the database holds already
    for (const MergeChanges::Updated& entry : changes.updated) {
        if (entry.before == entry.after) {
            ++unchanged;
        } else {
            lines.push_back(shown(entry.call) + "  " + changedFields(entry.before, entry.after));
        }
    }
    addGroup("Updated automatically", lines);
    if (unchanged != 0) {
        groups_.back().lines.push_back("(and " + std::to_string(unchanged) +
                                       " counted as updated whose values were the same already)");
    }
    for (const MergeChanges::Difference& entry : changes.differences) {
        lines.push_back(shown(entry.call) + "  " + settled(entry) + ": " + shown(entry.resultLine));
    }
    addGroup("Settled in the resolve step", lines);
    for (const MergeChanges::Duplicate& entry : changes.duplicates) {
        lines.push_back(where(entry.file, entry.dropped.line) + ": " + shown(entry.dropped.text) +
                        "  (line " + std::to_string(entry.dropped.keptLine) +
                        " kept: " + shown(entry.dropped.keptText) + ")");
    }
    addGroup("Left out: the call came earlier in the same file", lines);
    for (const MergeChanges::FileLine& entry : changes.commentLines) {
        lines.push_back(where(entry.file, entry.line) + ": " + shown(entry.text));
    }
    addGroup("Read as comments: the first field is not a call", lines);
    for (const MergeChanges::NearMatch& entry : changes.nearMatches) {
        lines.push_back(shown(entry.inputCall) + " (" + where(entry.input.file, entry.input.line) + ") and " +
                        shown(entry.databaseCall) + " (" + where(entry.database.file, entry.database.line) +
                        ")");
    }
    addGroup("Near matches, not merged", lines);
}

void MergeDetails::addGroup(std::string title, std::vector<std::string>& lines) {
    title += " (" + std::to_string(lines.size()) + ")";
    groups_.push_back({std::move(title), std::move(lines)});
    lines.clear();  // ready for the next group
}

std::string MergeDetails::text() const {
    std::string text;
    for (const Group& group : groups_) {
        text += group.title + '\n';
        for (const std::string& line : group.lines) {
            text += "    " + line + '\n';
        }
        text += '\n';
    }
    return text;
}

std::optional<std::string> MergeDetails::save(const std::filesystem::path& path,
                                              const std::vector<std::filesystem::path>& mergeFiles) const {
    if (ReportFile::isOneOf(path, mergeFiles)) {
        return "Choose another name: that is Call3.txt, Call3.bak or the input file.";
    }
    ReportFile file(path);
    std::error_code error = file.open();
    if (!error) {
        error = file.write(text());
    }
    if (error) {
        return "Cannot write " + utf8OfPath(path) + ".\n" + fileErrorText(error);
    }
    return std::nullopt;
}

// Settling the differing pairs as the options say, or as the user answers at the terminal.
#include "cli/CliResolveStep.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>

#include "core/calldata/TextEncoding.h"
#include "core/workflow/ResolveDialog.h"

namespace {

// "grid name" or "grid,name" as fields; nothing for a word that names none.
std::optional<std::vector<PairField>> fieldsNamed(const std::string& words) {
    std::string spaced = words;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    std::istringstream stream(spaced);
    std::vector<PairField> fields;
    for (std::string word; stream >> word;) {
        const auto found = std::find_if(pairFields.begin(), pairFields.end(), [&](PairField f) {
            return asciiLowerCase(fieldName(f)) == asciiLowerCase(word);
        });
        if (found == pairFields.end()) {
            return std::nullopt;
        }
        fields.push_back(*found);
    }
    return fields;
}

}  // namespace

DialogResult CliResolveStep::runResolve(ResolveDialog& dialog) {
    result_ = DialogResult::Cancel;
    dialog.setWindow(*this);
    dialog.onInitDialog();
    if (!take_.empty()) {
        for (std::size_t i = 0; i < dialog.pairs().size(); ++i) {
            if (dialog.pairs().pair(i).state == PairState::Open) {
                dialog.decidePair(i, take_);
            }
        }
    }
    switch (mode_) {
        case CliOptions::Resolve::Input:
            dialog.saveAllNew();
            break;
        case CliOptions::Resolve::Original:
            dialog.saveAllOriginal();
            break;
        case CliOptions::Resolve::Fail:
            if (dialog.pairs().openCount() != 0) {
                listPairs(dialog);
                endDialog(DialogResult::Cancel);
                return result_;
            }
            break;
        case CliOptions::Resolve::Ask:
            if (!askEachPair(dialog)) {
                endDialog(DialogResult::Cancel);
                return result_;
            }
            break;
    }
    dialog.onOk();
    return result_;
}

void CliResolveStep::listPairs(const ResolveDialog& dialog) {
    const PairTable& pairs = dialog.pairs();
    terminal_ << "There are " << pairs.openCount() << " duplicate calls that have different data.\n";
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const ResolvePair& pair = pairs.pair(i);
        if (pair.state == PairState::Open) {
            terminal_ << pair.input->call() << '\n'
                      << "   Call3.txt:  " << pair.database->databaseLine() << '\n'
                      << "   Input file: " << pair.input->line() << '\n';
        }
    }
}

void CliResolveStep::showPair(const ResolveDialog& dialog, std::size_t index, std::size_t number,
                              std::size_t count) {
    const ResolvePair& pair = dialog.pairs().pair(index);
    std::string differing;
    for (const PairField field : pairFields) {
        if (pair.differs(field)) {
            differing += (differing.empty() ? "" : ", ") + std::string(fieldName(field));
        }
    }
    terminal_ << "\nPair " << number << " of " << count << ": " << pair.input->call()
              << " (differs: " << differing << ")\n   Call3.txt:  " << pair.database->databaseLine()
              << "\n   Input file: " << pair.input->line()
              << "\n[i] take the input  [o] keep the original  [f] take fields...  [u] undo  "
                 "[s] keep the rest original  [q] quit without writing\n> "
              << std::flush;
}

bool CliResolveStep::askEachPair(ResolveDialog& dialog) {
    const PairTable& pairs = dialog.pairs();
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs.pair(i).state == PairState::Open) {
            order.push_back(i);
        }
    }
    std::size_t at = 0;
    while (at < order.size()) {
        showPair(dialog, order[at], at + 1, order.size());
        std::string answer;
        if (!std::getline(answers_, answer)) {
            terminal_ << '\n';
            return false;  // the end of the input: nothing is written
        }
        answer = asciiLowerCase(answer);
        if (answer == "i" || answer == "o") {
            dialog.decidePair(order[at], answer == "i"
                                             ? std::vector<PairField>(pairFields.begin(), pairFields.end())
                                             : std::vector<PairField>());
            ++at;
        } else if (answer == "f") {
            terminal_ << "Fields to take from the input (grid, eme, state, name, email, station): "
                      << std::flush;
            std::string words;
            const std::optional<std::vector<PairField>> fields =
                std::getline(answers_, words) ? fieldsNamed(words) : std::nullopt;
            if (!fields) {
                terminal_ << "No such field.\n";
                continue;
            }
            dialog.decidePair(order[at], *fields);
            ++at;
        } else if (answer == "u") {
            if (!dialog.canUndo() || at == 0) {
                terminal_ << "Nothing to undo.\n";
                continue;
            }
            dialog.onUndo();
            --at;
        } else if (answer == "s") {
            dialog.saveAllOriginal();
            return true;
        } else if (answer == "q") {
            return false;
        } else {
            terminal_ << "Answer i, o, f, u, s or q.\n";
        }
    }
    return true;
}

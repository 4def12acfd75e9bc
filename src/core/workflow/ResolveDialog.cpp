// The resolve dialog: showing one differing pair, editing its output line, moving, saving, deciding for
// many pairs at once, and undoing.
#include "core/workflow/ResolveDialog.h"

#include <cstdlib>
#include <utility>

#include "core/workflow/MessageList.h"

namespace {

constexpr unsigned nextToneHz = 840;
constexpr unsigned prevToneHz = 440;
constexpr unsigned toneMs = 250;

std::uint32_t leadingNumber(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

bool ask(MessageBoxes& boxes, const std::vector<std::string>& lines) {
    MessageList question;
    for (const std::string& line : lines) {
        question.addLine(line);
    }
    return question.show(boxes, std::nullopt, MessageList::Kind::Query) == 'Y';
}

void tell(MessageBoxes& boxes, const char* text) {
    MessageList messages;
    messages.addLine(text);
    messages.show(boxes);
}

MergeChanges::Settlement settlementOf(PairState state) {
    switch (state) {
        case PairState::Open:
            return MergeChanges::Settlement::Unresolved;
        case PairState::SavedAsShown:
            return MergeChanges::Settlement::AsShown;
        case PairState::TakenFromInput:
            return MergeChanges::Settlement::Input;
        case PairState::KeptOriginal:
            return MergeChanges::Settlement::Original;
        case PairState::Edited:
            break;
    }
    return MergeChanges::Settlement::Edited;
}

}  // namespace

ResolveDialog::ResolveDialog(MergeSession& session, const ResumeStore* resume, std::string resumeKey,
                             const MergeOptions& options)
    : session_(session),
      options_(options),
      pairs_(session, options),
      resume_(resume),
      resumeKey_(std::move(resumeKey)) {}

void ResolveDialog::onInitDialog() {
    // The pairs as they stand now: whoever runs the dialog fills the difference list first.
    pairs_ = PairTable(session_, options_);
    window().showValues(*this);
    const FieldDefinition* inputLayout = session_.inputRecords.layout();
    singleStationBox = inputLayout != nullptr && inputLayout->commaDelimited;
    warnOfLayout();
    if (singleStationBox) {
        window().hideControl(ResolveControl::InputBands);
        window().hideControl(ResolveControl::BandLabel);
    } else {
        window().hideControl(ResolveControl::InputStation);
        window().hideControl(ResolveControl::StationLabel);
    }
    offerResume();
    currentItem = 0;
    window().showPairs(*this);
    showPair(pairAt(0));
}

void ResolveDialog::warnOfLayout() {
    // A few differing calls out of a few prove nothing.
    constexpr std::uint32_t fewest = 20;
    const std::size_t differing = session_.differences.size();
    if (session_.knownCount >= fewest && differing * 2 > session_.knownCount) {
        layoutWarning =
            std::to_string(differing) + " of the " + std::to_string(session_.knownCount) +
            " calls found in both files differ. Check that the Field Definition fits the input file.";
    }
}

void ResolveDialog::offerResume() {
    if (resume_ == nullptr) {
        return;
    }
    const std::vector<SavedDecision> kept = resume_->load(resumeKey_);
    if (kept.empty()) {
        return;
    }
    MessageList question;
    question.addFormatted("Resume the %zu decisions from your last merge of this file?", kept.size());
    if (question.show(window().messageBoxes(), std::nullopt, MessageList::Kind::Query) == 'Y') {
        (void)ResumeStore::apply(kept, pairs_);
    }
}

void ResolveDialog::keepDecisions() {
    if (resume_ != nullptr) {
        (void)resume_->save(resumeKey_, pairs_);  // failing, the merge goes on; only the resume is lost
    }
}

std::optional<std::size_t> ResolveDialog::currentPair() const {
    return currentItem < pairs_.view().size() ? std::optional(pairs_.view()[currentItem]) : std::nullopt;
}

std::optional<std::size_t> ResolveDialog::pairAt(std::ptrdiff_t row) const {
    const auto& view = pairs_.view();
    return row >= 0 && static_cast<std::size_t>(row) < view.size()
               ? std::optional(view[static_cast<std::size_t>(row)])
               : std::nullopt;
}

bool& ResolveDialog::flag(OutputBox box) {
    switch (box) {
        case OutputBox::Grid:
            return gridModified;
        case OutputBox::Eme:
            return emeModified;
        case OutputBox::State:
            return stateModified;
        case OutputBox::Name:
            return nameModified;
        case OutputBox::Station:
            return stationModified;
        case OutputBox::Email:
            break;
    }
    return emailModified;
}

bool ResolveDialog::anyModified() const {
    return gridModified || emeModified || stateModified || nameModified || stationModified || emailModified;
}

CallRecord& ResolveDialog::inputRecord() {
    return *pairs_.pair(*currentPair()).input;
}

CallRecord& ResolveDialog::databaseRecord() {
    return *pairs_.pair(*currentPair()).database;
}

void ResolveDialog::loadCurrentItem() {
    countText =
        "There are " + std::to_string(pairs_.openCount()) + " duplicate calls that have different data.";
    positionText = "Item " + std::to_string(currentPair() ? currentItem + 1 : 0) + " of " +
                   std::to_string(pairs_.view().size());
    if (!currentPair()) {
        inCall = inGrid = inState = inName = inEmail = inStation = inLine = {};
        inEme = false;
        inBands = {};
        outCall = outGrid = outState = outName = outStation = outEmail = outLine = {};
        outEme = false;
        window().showValues(*this);
        return;
    }
    const CallRecord& input = inputRecord();
    inCall = input.call();
    inGrid = input.getGrid();
    inEme = input.hasEmeFlag();
    inState = input.getState();
    inName = input.getName();
    inEmail = input.getEmail();
    inLine = input.line();
    if (singleStationBox) {
        inStation = input.getStation();
    } else {
        inBands = {leadingNumber(input.getP1()), leadingNumber(input.getP2()), leadingNumber(input.getP3()),
                   leadingNumber(input.getP4())};
    }
    loadOutputValues();
    composeOutputLine();
}

void ResolveDialog::loadOutputValues() {
    const CallRecord& database = databaseRecord();
    outCall = database.call();
    outGrid = database.getGrid();
    outEme = database.hasEmeFlag();
    outState = database.getState();
    outName = database.getName();
    outStation = database.getStation();
    outEmail = database.getEmail();
}

void ResolveDialog::composeOutputLine() {
    // Exactly the line that will be written: the record as stored with the boxes' values, so that the
    // fields after the seventh stay and a typed comma shows as the ";" it will be written as.
    if (currentPair()) {
        CallRecord shown = databaseRecord();
        shown.setField("Grid", outGrid);
        shown.setField("EME", outEme ? "EME" : "");
        shown.setField("State", outState);
        shown.setField("Name", outName);
        shown.setField("Station", outStation);
        shown.setField("Email", outEmail);
        outLine = shown.databaseLine();
    }
    window().showValues(*this);
}

BoxSnapshot ResolveDialog::boxes() const {
    return {currentPair().value_or(0),
            outCall,
            outGrid,
            outState,
            outName,
            outStation,
            outEmail,
            outEme,
            {gridModified, emeModified, stateModified, nameModified, emailModified, stationModified}};
}

void ResolveDialog::putBack(const BoxSnapshot& shown) {
    if (currentPair() != shown.pair) {
        showPair(shown.pair);
    }
    outCall = shown.call;
    outGrid = shown.grid;
    outState = shown.state;
    outName = shown.name;
    outStation = shown.station;
    outEmail = shown.email;
    outEme = shown.eme;
    gridModified = shown.modified[0];
    emeModified = shown.modified[1];
    stateModified = shown.modified[2];
    nameModified = shown.modified[3];
    emailModified = shown.modified[4];
    stationModified = shown.modified[5];
    composeOutputLine();
    window().redrawAll(*this);
}

template <typename Edit>
void ResolveDialog::editBoxes(Edit edit, std::optional<PairField> typedInto) {
    if (!currentPair()) {
        return;
    }
    const BoxSnapshot before = boxes();
    edit();
    const BoxSnapshot after = boxes();
    if (!(before == after)) {
        history_.record({{}, {}, before, after, typedInto});
        window().showPairs(*this);
    }
}

void ResolveDialog::recordDecision(std::vector<PairSnapshot> before, std::optional<BoxSnapshot> boxesBefore) {
    if (before.empty()) {
        return;
    }
    std::vector<PairSnapshot> after = pairs_.snapshots(before);
    history_.record(
        {std::move(before), std::move(after), std::move(boxesBefore), std::nullopt, std::nullopt});
    keepDecisions();
}

void ResolveDialog::storeOutputValues() {
    const std::size_t pair = *currentPair();
    const BoxSnapshot shown = boxes();
    std::vector<PairSnapshot> before{pairs_.snapshot(pair)};
    CallRecord& database = databaseRecord();
    CallRecord stored;
    stored.copyFrom(database);
    for (std::string* typed : {&outGrid, &outState, &outName, &outStation, &outEmail}) {
        keepOutCommas(*typed);
    }
    database.setField("Grid", outGrid);
    database.setField("EME", outEme ? "EME" : "");
    database.setField("State", outState);
    database.setField("Name", outName);
    database.setField("Station", outStation);
    database.setField("Email", outEmail);
    pairs_.markSavedAsShown(pair, !database.sameAs(stored));
    recordDecision(std::move(before), shown);
}

bool ResolveDialog::saveIfModified() {
    // A failed validation leaves the values as read; the save goes on with them.
    window().readBoxes(*this);
    if (!currentPair() || !anyModified()) {
        return false;
    }
    if (!saveQuietly && !ask(window().messageBoxes(), {"Do you want to save the changes to this item?"})) {
        return false;
    }
    storeOutputValues();
    return true;
}

bool ResolveDialog::endIfAllSaved() {
    if (pairs_.openCount() != 0) {
        return false;
    }
    tell(window().messageBoxes(), "All Differences Saved.");
    noteSettlements();
    window().endDialog(DialogResult::Ok);
    return true;
}

void ResolveDialog::clearModified() {
    gridModified = emeModified = stateModified = nameModified = stationModified = emailModified = false;
}

void ResolveDialog::markModified(bool& modified) {
    if (!modified) {
        modified = true;
        window().redrawAll(*this);
    }
}

void ResolveDialog::refreshView(std::optional<std::size_t> keep) {
    pairs_.refreshView();
    window().showPairs(*this);
    showPair(keep);
}

void ResolveDialog::showPair(std::optional<std::size_t> pair) {
    // A pair that left the view gives its row to the one after it.
    const std::optional<std::size_t> row = pair ? pairs_.viewPosition(*pair) : std::nullopt;
    currentItem = row.value_or(std::min(currentItem, pairs_.view().empty() ? 0 : pairs_.view().size() - 1));
    clearModified();
    loadCurrentItem();
}

void ResolveDialog::moveBy(bool forward) {
    const std::optional<std::size_t> before = pairAt(static_cast<std::ptrdiff_t>(currentItem) - 1);
    const std::optional<std::size_t> after = pairAt(static_cast<std::ptrdiff_t>(currentItem) + 1);
    const std::optional<std::size_t> here = currentPair();
    const bool stored = saveIfModified();
    if (stored) {
        if (endIfAllSaved()) {
            return;
        }
        pairs_.refreshView();
        window().showPairs(*this);
    }
    if (const std::optional<std::size_t> target = forward ? after : before) {
        showPair(target);
        return;
    }
    window().tone(forward ? nextToneHz : prevToneHz, toneMs);
    // A stored pair may have left the view: its neighbour on the inner side is shown then.
    if (stored) {
        showPair(pairs_.viewPosition(*here) ? here : (forward ? before : after));
    }
}

void ResolveDialog::moveToEnd(bool first) {
    if (saveIfModified()) {
        if (endIfAllSaved()) {
            return;
        }
        pairs_.refreshView();
        window().showPairs(*this);
    }
    showPair(pairAt(first ? 0 : static_cast<std::ptrdiff_t>(pairs_.view().size()) - 1));
}

void ResolveDialog::onFirst() {
    moveToEnd(true);
}

void ResolveDialog::onPrev() {
    moveBy(false);
}

void ResolveDialog::onNext() {
    moveBy(true);
}

void ResolveDialog::onLast() {
    moveToEnd(false);
}

void ResolveDialog::onSelectRow(std::size_t row) {
    const std::optional<std::size_t> target = pairAt(static_cast<std::ptrdiff_t>(row));
    if (!target || target == currentPair()) {
        return;
    }
    if (saveIfModified()) {
        if (endIfAllSaved()) {
            return;
        }
        pairs_.refreshView();
        window().showPairs(*this);
    }
    showPair(target);
}

void ResolveDialog::onNextOpen() {
    const auto& view = pairs_.view();
    for (std::size_t row = currentItem + 1; row < view.size(); ++row) {
        if (pairs_.pair(view[row]).state == PairState::Open) {
            showPair(view[row]);
            return;
        }
    }
    window().tone(nextToneHz, toneMs);
}

void ResolveDialog::onSaveAsShown() {
    window().readBoxes(*this);
    if (!currentPair()) {
        return;
    }
    const std::optional<std::size_t> after = pairAt(static_cast<std::ptrdiff_t>(currentItem) + 1);
    const std::optional<std::size_t> before = pairAt(static_cast<std::ptrdiff_t>(currentItem) - 1);
    storeOutputValues();
    if (!endIfAllSaved()) {
        refreshView(after ? after : before);
    }
}

void ResolveDialog::onSaveAndNextOpen() {
    window().readBoxes(*this);
    if (!currentPair()) {
        return;
    }
    const std::size_t saved = *currentPair();
    const std::size_t row = currentItem;
    storeOutputValues();
    if (endIfAllSaved()) {
        return;
    }
    pairs_.refreshView();
    window().showPairs(*this);
    const auto& view = pairs_.view();
    const std::optional<std::size_t> savedRow = pairs_.viewPosition(saved);
    for (std::size_t next = savedRow ? *savedRow + 1 : row; next < view.size(); ++next) {
        if (pairs_.pair(view[next]).state == PairState::Open) {
            showPair(view[next]);
            return;
        }
    }
    window().tone(nextToneHz, toneMs);
    showPair(savedRow ? std::optional(saved)
                      : pairAt(static_cast<std::ptrdiff_t>(std::min(row, view.size() - 1))));
}

bool ResolveDialog::confirmSaveAll(bool takeInput) {
    const std::size_t open = pairs_.openCount();
    const std::array<std::size_t, pairFieldCount> counts = pairs_.saveAllCounts(takeInput);
    std::string perField;
    for (const PairField field : pairFields) {
        if (const std::size_t n = counts[static_cast<std::size_t>(field)]; n != 0) {
            perField += (perField.empty() ? "" : ", ") + std::string(fieldName(field)) + ": " +
                        std::to_string(n) + (takeInput ? " values replaced" : " values kept");
        }
    }
    const std::string what =
        takeInput ? "Save all New takes the input's values into " + std::to_string(open) +
                        " open pairs (empty values of the input are not taken)."
                  : "Save all Original keeps your values in " + std::to_string(open) + " open pairs.";
    return ask(window().messageBoxes(), {what, perField.empty() ? "No value changes." : perField, "Go on?"});
}

void ResolveDialog::saveAllNew() {
    window().readBoxes(*this);
    recordDecision(pairs_.saveAllNew());
    refreshView(currentPair());
}

void ResolveDialog::saveAllOriginal() {
    recordDecision(pairs_.saveAllOriginal());
    refreshView(currentPair());
}

void ResolveDialog::onSaveAllNew() {
    if (!confirmSaveAll(true)) {
        return;
    }
    saveAllNew();
    tell(window().messageBoxes(), "All duplicate calls updated from input list.");
}

void ResolveDialog::onSaveAllOriginal() {
    if (!confirmSaveAll(false)) {
        return;
    }
    saveAllOriginal();
    tell(window().messageBoxes(), "All duplicate calls unchanged.");
}

void ResolveDialog::onTakeInput(PairField field) {
    recordDecision(pairs_.takeInput(pairs_.takeable(field), field));
    refreshView(currentPair());
}

void ResolveDialog::onKeepMine(PairField field) {
    recordDecision(pairs_.keepMine(pairs_.keepable(field), field));
    refreshView(currentPair());
}

void ResolveDialog::decidePair(std::size_t pair, const std::vector<PairField>& take) {
    recordDecision(pairs_.decide(pair, take));
    refreshView(currentPair());
}

void ResolveDialog::onReopen(const std::vector<std::size_t>& rows) {
    std::vector<std::size_t> settled;
    for (const std::size_t row : rows) {
        const std::optional<std::size_t> pair = pairAt(static_cast<std::ptrdiff_t>(row));
        if (pair && pairs_.pair(*pair).state != PairState::Open) {
            settled.push_back(*pair);
        }
    }
    const std::optional<std::size_t> shown = currentPair();
    recordDecision(pairs_.reopen(settled));
    refreshView(settled.empty() ? shown : std::optional(settled.front()));
}

void ResolveDialog::applyStep(const HistoryStep& step, bool undo) {
    for (const PairSnapshot& snapshot : undo ? step.before : step.after) {
        pairs_.restore(snapshot);
    }
    if (!step.before.empty()) {
        pairs_.refreshView();
        keepDecisions();
    }
    window().showPairs(*this);
    if (const std::optional<BoxSnapshot>& shown = undo ? step.boxesBefore : step.boxesAfter) {
        putBack(*shown);
    } else {
        showPair(step.before.front().index);
    }
}

void ResolveDialog::onUndo() {
    if (history_.canUndo()) {
        applyStep(history_.undo(), true);
    }
}

void ResolveDialog::onRedo() {
    if (history_.canRedo()) {
        applyStep(history_.redo(), false);
    }
}

void ResolveDialog::noteSettlements() {
    if (MergeChanges* changes = session_.changeList()) {
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            const ResolvePair& pair = pairs_.pair(i);
            std::vector<std::pair<std::string, std::string>> fields;
            for (const PairField field : pairFields) {
                if (pair.differs(field)) {
                    const FieldDecision decision = pair.decision(field);
                    fields.emplace_back(fieldName(field), decision == FieldDecision::TakeInput  ? "input"
                                                          : decision == FieldDecision::KeepMine ? "kept"
                                                                                                : "open");
                }
            }
            changes->noteSettlement(pair.database, settlementOf(pair.state), std::move(fields));
        }
    }
}

void ResolveDialog::onOk() {
    // The boxes must read back; a failed validation keeps the dialog open.
    if (!window().readBoxes(*this)) {
        return;
    }
    if (currentPair() && anyModified() &&
        ask(window().messageBoxes(), {"Do you want to save the changes to this item?"})) {
        storeOutputValues();
        refreshView(currentPair());
    }
    if (const std::size_t open = pairs_.openCount(); open != 0) {
        MessageList question;
        question.addFormatted("%zu pairs are still open and keep your data. End the resolve step?", open);
        if (question.show(window().messageBoxes(), std::nullopt, MessageList::Kind::Query) != 'Y') {
            return;
        }
    }
    noteSettlements();
    window().endDialog(DialogResult::Ok);
}

void ResolveDialog::onCancel() {
    if (const std::size_t decided = pairs_.decidedCount(); decided != 0) {
        MessageList question;
        question.addFormatted("Discard the %zu decisions made and stop the merge?", decided);
        if (question.show(window().messageBoxes(), std::nullopt, MessageList::Kind::Query) != 'Y') {
            return;
        }
    }
    window().endDialog(DialogResult::Cancel);
}

void ResolveDialog::setFilter(PairFilter filter) {
    const std::optional<std::size_t> shown = currentPair();
    pairs_.setFilter(std::move(filter));
    window().showPairs(*this);
    if (!shown || !pairs_.viewPosition(*shown)) {
        currentItem = 0;
    }
    showPair(shown);
}

void ResolveDialog::setSort(PairColumn column, bool ascending) {
    const std::optional<std::size_t> shown = currentPair();
    pairs_.setSort(column, ascending);
    window().showPairs(*this);
    showPair(shown);
}

void ResolveDialog::onInputFieldFocus(InputBox box) {
    if (!currentPair()) {
        return;
    }
    const auto transfer = [this, box] {
        const CallRecord& database = databaseRecord();
        switch (box) {
            case InputBox::Grid:
                outGrid = inGrid;
                gridModified = outGrid != database.fieldView("Grid");
                break;
            case InputBox::Eme:
                outEme = inEme;
                emeModified = outEme != database.hasEmeFlag();
                break;
            case InputBox::State:
                outState = inState;
                stateModified = outState != database.fieldView("State");
                break;
            case InputBox::Name:
                outName = inName;
                nameModified = outName != database.fieldView("Name");
                break;
            case InputBox::Email:
                outEmail = inEmail;
                emailModified = outEmail != database.fieldView("Email");
                break;
            case InputBox::Station:
                outStation = inStation;
                stationModified = outStation != database.fieldView("Station");
                break;
            case InputBox::Band:
                outStation = inputRecord().stationFromBands();
                stationModified = outStation != database.fieldView("Station");
                break;
        }
        composeOutputLine();
    };
    editBoxes(transfer);
}

void ResolveDialog::onUse() {
    editBoxes([this] {
        const CallRecord& input = inputRecord();
        const CallRecord& database = databaseRecord();
        outCall = inCall;
        outGrid = inGrid;
        outEme = inEme;
        outState = inState;
        outName = inName;
        outEmail = inEmail;
        outStation = input.getStation();
        if (outStation == unknownField) {
            outStation = input.stationFromBands();
        }
        gridModified = outGrid != database.fieldView("Grid");
        emeModified = outEme != database.hasEmeFlag();
        stateModified = outState != database.fieldView("State");
        nameModified = outName != database.fieldView("Name");
        emailModified = outEmail != database.fieldView("Email");
        stationModified = outStation != database.fieldView("Station");
        composeOutputLine();
    });
}

void ResolveDialog::onOrg() {
    editBoxes([this] {
        loadOutputValues();
        clearModified();
        composeOutputLine();
    });
}

void ResolveDialog::onOutputFieldChange(OutputBox box) {
    static constexpr std::array<PairField, 6> fields{PairField::Grid, PairField::Eme,     PairField::State,
                                                     PairField::Name, PairField::Station, PairField::Email};
    if (!currentPair()) {
        return;
    }
    // The boxes already hold what the user typed: the step's "before" is what the dialog showed last.
    BoxSnapshot before = boxes();
    window().readBoxes(*this);
    composeOutputLine();
    markModified(flag(box));
    const BoxSnapshot after = boxes();
    if (!(before == after)) {
        history_.record({{}, {}, std::move(before), after, fields[static_cast<std::size_t>(box)]});
        window().showPairs(*this);
    }
}

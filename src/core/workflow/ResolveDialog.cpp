// The resolve dialog: showing one differing pair, editing its output line, moving and saving.
#include "core/workflow/ResolveDialog.h"

#include <cstdlib>

#include "core/workflow/MessageList.h"

namespace {

constexpr unsigned nextToneHz = 840;
constexpr unsigned prevToneHz = 440;
constexpr unsigned toneMs = 250;

std::uint32_t leadingNumber(const std::string& text) {
    return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
}

}  // namespace

void ResolveDialog::onInitDialog() {
    window().showValues(*this);
    singleStationBox = session_.inputLayout == databaseLayoutIndex;
    if (singleStationBox) {
        window().hideControl(ResolveControl::InputBands);
        window().hideControl(ResolveControl::BandLabel);
    } else {
        window().hideControl(ResolveControl::InputStation);
        window().hideControl(ResolveControl::StationLabel);
    }
    currentItem = 0;
    // The workflow opens the dialog only over a non-empty list.
    if (!session_.differences.empty()) {
        loadCurrentItem();
    }
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

CallRecord& ResolveDialog::inputRecord() {
    assert(currentItem < session_.differences.size());
    return *session_.differences[currentItem];
}

CallRecord& ResolveDialog::databaseRecord() {
    return *inputRecord().match();
}

void ResolveDialog::loadCurrentItem() {
    countText = "There are " + std::to_string(session_.differences.size()) +
                " duplicate calls that have different data.";
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
    outLine = outCall + ',' + outGrid + ',' + (outEme ? "EME" : "") + ',' + outState + ',' + outName + ',' +
              outEmail + ',' + outStation;
    window().showValues(*this);
}

void ResolveDialog::storeOutputValues() {
    CallRecord& database = databaseRecord();
    CallRecord before;
    before.copyFrom(database);
    for (std::string* typed : {&outGrid, &outState, &outName, &outStation, &outEmail}) {
        keepOutCommas(*typed);
    }
    database.setField("Grid", outGrid);
    database.setField("EME", outEme ? "EME" : "");
    database.setField("State", outState);
    database.setField("Name", outName);
    database.setField("Station", outStation);
    database.setField("Email", outEmail);
    if (!database.sameAs(before)) {
        ++modifiedCount;
    }
    if (MergeChanges* changes = session_.changeList()) {
        changes->noteSettlement(&database, MergeChanges::Settlement::AsShown);
    }
    session_.differences.erase(session_.differences.begin() + static_cast<std::ptrdiff_t>(currentItem));
}

bool ResolveDialog::saveIfModified() {
    // A failed validation leaves the values as read; the save goes on with them.
    window().readBoxes(*this);
    if (!gridModified && !emeModified && !stateModified && !nameModified && !stationModified &&
        !emailModified) {
        return false;
    }
    if (!saveQuietly) {
        MessageList question;
        question.addLine("Do you want to save the changes to this item?");
        if (question.show(window().messageBoxes(), std::nullopt, MessageList::Kind::Query) != 'Y') {
            return false;
        }
    }
    storeOutputValues();
    if (session_.differences.empty()) {
        showAllSaved();
    }
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

void ResolveDialog::showItem(std::size_t item) {
    currentItem = item;
    clearModified();
    loadCurrentItem();
}

void ResolveDialog::showAllSaved() {
    MessageList messages;
    messages.addLine("All Differences Saved.");
    messages.show(window().messageBoxes());
}

void ResolveDialog::moveBy(bool forward) {
    const bool atEnd = forward ? currentItem + 1 >= session_.differences.size() : currentItem == 0;
    const bool stored = saveIfModified();
    if (session_.differences.empty()) {
        window().endDialog(DialogResult::Ok);
        return;
    }
    if (atEnd) {
        window().tone(forward ? nextToneHz : prevToneHz, toneMs);
        // The stored item has left the list: show its neighbour on the inner side.
        if (stored) {
            showItem(forward ? currentItem - 1 : currentItem);
        }
        return;
    }
    // Going forward, a stored item's successor has moved up into its place.
    showItem(forward ? (stored ? currentItem : currentItem + 1) : currentItem - 1);
}

void ResolveDialog::moveToEnd(bool first) {
    (void)saveIfModified();
    if (session_.differences.empty()) {
        window().endDialog(DialogResult::Ok);
        return;
    }
    showItem(first ? 0 : session_.differences.size() - 1);
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

void ResolveDialog::onSaveAsShown() {
    window().readBoxes(*this);
    const bool hasNext = currentItem + 1 < session_.differences.size();
    const bool hasPrev = currentItem > 0;
    storeOutputValues();
    if (hasNext) {
        showItem(currentItem);
    } else if (hasPrev) {
        showItem(currentItem - 1);
    } else {
        showAllSaved();
        window().endDialog(DialogResult::Ok);
    }
}

void ResolveDialog::onSaveAllNew() {
    window().readBoxes(*this);
    for (const auto& item : session_.differences) {
        CallRecord& database = *item->match();
        // A field the input layout lacks is skipped rather than set to "unknown".
        for (const char* name : {"Grid", "State", "Name", "Email"}) {
            const std::string_view value = item->fieldView(name);
            if (value != unknownField) {
                database.setField(name, std::string(value));
            }
        }
        // The input's station data, as its own text or made from its bands; EME stays as it is.
        std::string station = item->getStation();
        if (station == unknownField) {
            station = item->stationFromBands();
        }
        if (!station.empty()) {
            database.setField("Station", std::move(station));
        }
    }
    modifiedCount += static_cast<std::uint32_t>(session_.differences.size());
    removeAllItems(MergeChanges::Settlement::Input);
    finish("All duplicate calls updated from input list.");
}

void ResolveDialog::onSaveAllOriginal() {
    removeAllItems(MergeChanges::Settlement::Original);
    finish("All duplicate calls unchanged.");
}

void ResolveDialog::onOk() {
    // The items not yet settled stay in the list; the workflow leaves their records as they are.
    if (window().readBoxes(*this)) {
        window().endDialog(DialogResult::Ok);
    }
}

void ResolveDialog::onCancel() {
    window().endDialog(DialogResult::Cancel);
}

void ResolveDialog::onInputFieldFocus(InputBox box) {
    const CallRecord& database = databaseRecord();
    switch (box) {
        case InputBox::Grid:
            outGrid = inGrid;
            gridModified = outGrid != database.fieldView("Grid");
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
}

void ResolveDialog::onUse() {
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
}

void ResolveDialog::onOrg() {
    loadOutputValues();
    clearModified();
    composeOutputLine();
}

void ResolveDialog::onOutputFieldChange(OutputBox box) {
    window().readBoxes(*this);
    composeOutputLine();
    markModified(flag(box));
}

void ResolveDialog::removeAllItems(MergeChanges::Settlement settlement) {
    if (MergeChanges* changes = session_.changeList()) {
        for (const auto& item : session_.differences) {
            changes->noteSettlement(item->match(), settlement);
        }
    }
    session_.differences.clear();
    currentItem = 0;
}

void ResolveDialog::finish(const char* message) {
    MessageList messages;
    messages.addLine(message);
    messages.show(window().messageBoxes());
    window().endDialog(DialogResult::Ok);
}

// Opening the resolve dialog and settling all pairs at once.
#include "resolve/ResolveDialog.h"

#include "app/MergeDialog.h"
#include "app/MessageList.h"

void ResolveDialog::onInitDialog() {
    window().showValues(*this);
    singleStationBox = owner.inputLayout == databaseLayoutIndex;
    currentItem = 0;
}

void ResolveDialog::onSaveAllNew() {
    window().readBoxes(*this);
    for (const auto& item : owner.differences) {
        CallRecord& database = *item->match;
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
    modifiedCount += static_cast<std::uint32_t>(owner.differences.size());
    removeAllItems(MergeChanges::Settlement::Input);
    finish("All duplicate calls updated from input list.");
}

void ResolveDialog::onSaveAllOriginal() {
    removeAllItems(MergeChanges::Settlement::Original);
    finish("All duplicate calls unchanged.");
}

void ResolveDialog::onCancel() {
    window().endDialog(DialogResult::Cancel);
}

void ResolveDialog::removeAllItems(MergeChanges::Settlement settlement) {
    if (MergeChanges* changes = owner.changes()) {
        for (const auto& item : owner.differences) {
            changes->noteSettlement(item->match, settlement);
        }
    }
    owner.differences.clear();
    currentItem = 0;
}

void ResolveDialog::finish(const char* message) {
    MessageList messages;
    messages.addLine(message);
    messages.show(window().messageBoxes());
    window().endDialog(DialogResult::Ok);
}

// velkmerge-resolve-bench: times the resolve window over many differing pairs: opening it with its
// overview, moving, sorting, filtering, deciding for all pairs at once and undoing.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/calldata/CallRecord.h"
#include "core/workflow/MergeSession.h"
#include "core/workflow/ResolveDialog.h"
#include "gui/resolve/ResolveWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers every question yes, and keeps no box.
struct YesBoxes final : MessageBoxes {
    void showError(const std::string& /*caption*/, const std::string& /*text*/) override {}
    void showStatus(const std::string& /*caption*/, const std::string& /*text*/) override {}
    bool askYesNo(const std::string& /*caption*/, const std::string& /*text*/) override { return true; }
};

// `pairs` differing pairs: grids, names and station texts that differ in varying mixes, as a yearly list's
// do.
void fillSession(MergeSession& session, std::size_t pairs) {
    for (std::size_t i = 0; i < pairs; ++i) {
        std::string call = "QA" + std::to_string(i % 10) + "A";
        for (std::size_t rest = i / 10, n = 0; n < 5; ++n, rest /= 26) {
            call += static_cast<char>('A' + rest % 26);
        }
        const std::string name = i % 3 == 0 ? "Name" + std::to_string(i % 977) : "Same";
        const std::string station = i % 2 == 0 ? "144: 4x17el " + std::to_string(i % 1000) + "W" : "6M:1";
        CallRecord database(&session.databaseLayout);
        database.cutOwnLine(call + ",JO" + std::to_string(10 + i % 80) + "aa,,,Same,,6M:1");
        session.databaseRecords.append(std::move(database));
        auto input = std::make_unique<CallRecord>(session.inputRecords.layout());
        input->cutOwnLine(call + ",JO" + std::to_string(10 + (i * 7) % 80) + "bb,,," + name + ",," + station);
        input->setMatch(&session.databaseRecords.at(session.databaseRecords.size() - 1));
        session.differences.push_back(std::move(input));
    }
}

double median(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

double timed(const std::function<void()>& action) {
    const Clock::time_point start = Clock::now();
    action();
    QApplication::processEvents();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* what, double seconds, double limit) {
    std::printf("%-44s %8.1f ms  (limit %.0f ms)  %s\n", what, seconds * 1000, limit * 1000,
                seconds <= limit ? "PASS" : "FAIL");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::size_t pairs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const std::vector<FieldDefinition> layouts = buildFieldDefinitions();
    MergeSession session(layouts, 0, false);
    fillSession(session, pairs);
    std::printf("%zu differing pairs\n", pairs);

    YesBoxes boxes;
    ResolveDialog dialog(session);
    std::unique_ptr<ResolveWindow> window;
    report("open the window with its overview", timed([&] {
               window = std::make_unique<ResolveWindow>(dialog, nullptr, &boxes);
               dialog.setWindow(*window);
               dialog.onInitDialog();
               window->show();
           }),
           1.0);

    std::vector<double> moves;
    for (int i = 0; i < 50; ++i) {
        moves.push_back(timed([&] { dialog.onNext(); }));
    }
    report("move to the next pair (median of 50)", median(moves), 0.05);
    std::vector<double> selections;
    for (int i = 0; i < 20; ++i) {
        selections.push_back(timed([&] { dialog.onSelectRow(static_cast<std::size_t>(i) * (pairs / 21)); }));
    }
    report("choose a row of the overview (median of 20)", median(selections), 0.05);
    for (const auto& [name, column] :
         {std::pair{"sort by name", PairColumn::Name}, std::pair{"sort by station", PairColumn::Station},
          std::pair{"sort by call", PairColumn::Call}}) {
        report(name, timed([&] { dialog.setSort(column, true); }), 0.05);
    }
    PairFilter filter;
    filter.text = "qa3aab";
    report("filter by text", timed([&] { dialog.setFilter(filter); }), 0.05);
    filter.text.clear();
    filter.fields = PairFilter::Fields::Only;
    filter.field = PairField::Station;
    report("filter by the fields that differ", timed([&] { dialog.setFilter(filter); }), 0.05);
    report("all pairs again", timed([&] { dialog.setFilter({}); }), 0.05);
    report("take the input's name in every open pair", timed([&] { dialog.onTakeInput(PairField::Name); }),
           1.0);
    report("undo it", timed([&] { dialog.onUndo(); }), 1.0);
    report("Save all New", timed([&] { dialog.saveAllNew(); }), 1.0);
    report("undo it", timed([&] { dialog.onUndo(); }), 1.0);
    return 0;
}

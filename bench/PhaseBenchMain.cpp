// velkmerge-phase-bench: times reading and comparing through the desktop main window and through the CLI's.
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <unistd.h>

#include "cli/CliMergeWindow.h"
#include "cli/CliMessageBoxes.h"
#include "cli/CliOptions.h"
#include "core/workflow/CommentsStep.h"
#include "core/workflow/MergeDialog.h"
#include "core/workflow/ResolveStep.h"
#include "gui/main/MergeWindow.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::string_view usage =
    "usage: velkmerge-phase-bench DATABASE INPUT [--runs N] [--layout L] [--scratch DIR]\n"
    "Times a merge from pressing Merge until the resolve step (or, without differences, the comments\n"
    "step) opens, through the desktop main window (offscreen) and through the CLI's main window, N runs\n"
    "each (default 5), alternating, each on a fresh copy of the two files in a scratch folder; the steps\n"
    "cancel, so nothing is written. Prints both medians and their ratio; the last line reads\n"
    "  result cli=SECONDS gui=SECONDS ratio=GUI/CLI\n";

// Stands in for both steps: notes when the workflow gets there, then cancels so that nothing is written.
struct TimingSteps final : ResolveStep, CommentsStep {
    std::optional<Clock::time_point> reachedAt;
    std::string reached;

    [[nodiscard]] DialogResult runResolve(ResolveDialog& /*dialog*/) override { return note("resolve"); }
    [[nodiscard]] DialogResult runComments(CommentsDialog& /*dialog*/) override { return note("comments"); }

  private:
    DialogResult note(const char* step) {
        reachedAt = Clock::now();
        reached = std::string(step) + " step";
        return DialogResult::Cancel;
    }
};

// The desktop program would show these boxes; the timing must not wait for anyone to close them.
struct SilentMessageBoxes final : MessageBoxes {
    std::vector<std::string> errors;

    void showError(const std::string& /*caption*/, const std::string& text) override {
        errors.push_back(text);
    }
    void showStatus(const std::string& /*caption*/, const std::string& /*text*/) override {}
    [[nodiscard]] bool askYesNo(const std::string& /*caption*/, const std::string& text) override {
        errors.push_back("unexpected question: " + text);
        return false;
    }
};

// Counts paints of the progress widgets, to show how much drawing the progress reports cause.
struct PaintCounter final : QObject {
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

// What one timed run saw; both ways must agree on everything but the time.
struct RunResult {
    double seconds = 0;
    std::string step;
    std::size_t differences = 0;
    std::uint32_t inserted = 0;
    std::uint32_t automatic = 0;
    int paints = 0;
};

// A scratch folder this program made; a failed run must not leave copies of large files behind.
fs::path ownedScratch;

[[noreturn]] void fail(const std::string& why) {
    std::cerr << "velkmerge-phase-bench: " << why << '\n';
    if (!ownedScratch.empty()) {
        std::error_code ignored;
        fs::remove_all(ownedScratch, ignored);
    }
    std::exit(1);
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail("cannot read " + path.string());
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh copy per run: the merge must never touch the originals, and every run starts from the same bytes.
fs::path prepareRun(const fs::path& scratch, const fs::path& database, const fs::path& input) {
    const fs::path folder = scratch / "run";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(database, folder / "Call3.txt");
    fs::copy_file(input, folder / "input.txt");
    return folder;
}

// Cancelled steps write nothing; a backup or a changed database means the timing included a write.
void checkNothingWritten(const fs::path& folder, const std::string& databaseBytes, const char* way) {
    if (fs::exists(folder / "Call3.bak") || readAll(folder / "Call3.txt") != databaseBytes) {
        fail(std::string(way) + ": the merge wrote to Call3.txt although its step cancelled");
    }
}

// Without any change the workflow opens neither step; it then ends with its status box, just after the
// phases, so the return from the merge stands in for the step.
RunResult finish(const TimingSteps& steps, const MergeDialog& dialog, Clock::time_point start,
                 Clock::time_point returned, const std::vector<std::string>& errors, const char* way) {
    if (!errors.empty()) {
        std::string why = std::string(way) + ": the merge stopped with an error";
        for (const std::string& error : errors) {
            why += "\n  " + error;
        }
        fail(why);
    }
    RunResult result;
    result.seconds = std::chrono::duration<double>(steps.reachedAt.value_or(returned) - start).count();
    result.step = steps.reachedAt ? steps.reached : "end of the merge (no changes)";
    if (const MergeSession* session = dialog.session()) {
        result.differences = session->differences.size();
        result.inserted = session->insertedCount;
        result.automatic = session->autoCount;
    }
    return result;
}

RunResult runCli(const fs::path& folder, int layout) {
    // As velkmerge-cli -q sets them up: status lines dropped, errors kept.
    CliOptions options;
    options.input = "input.txt";
    options.folder = folder.string();
    options.layout = layout;
    options.quiet = true;
    std::ostringstream errorText;
    CliMessageBoxes boxes(nullptr, errorText);
    CliMergeWindow window(options, boxes);
    TimingSteps steps;
    ProgramSettings settings;
    MergeDialog dialog(window, steps, steps, settings);
    dialog.workFolder = options.folder;
    dialog.onInitDialog();

    const Clock::time_point start = Clock::now();
    (void)dialog.onMerge();
    const Clock::time_point returned = Clock::now();
    return finish(steps, dialog, start, returned, boxes.errorLines(), "CLI");
}

RunResult runGui(const fs::path& folder, int layout) {
    TimingSteps steps;
    SilentMessageBoxes boxes;
    ProgramSettings settings;
    MergeWindow window(settings, &steps, &steps, &boxes);
    window.dialog().workFolder = folder;
    window.show();
    // Drawn once before the clock starts, so that the run pays only for the progress updates.
    const Clock::time_point shown = Clock::now();
    while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
        QApplication::processEvents();
        if (Clock::now() - shown > std::chrono::seconds(10)) {
            fail("GUI: the main window was never exposed");
        }
    }
    QApplication::processEvents();

    auto* path = window.findChild<QLineEdit*>(QStringLiteral("inputPath"));
    auto* layouts = window.findChild<QComboBox*>(QStringLiteral("layoutCombo"));
    auto* merge = window.findChild<QPushButton*>(QStringLiteral("mergeButton"));
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    auto* label = window.findChild<QLabel*>(QStringLiteral("statusLabel"));
    if (path == nullptr || layouts == nullptr || merge == nullptr || bar == nullptr || label == nullptr) {
        fail("GUI: the main window lacks the path box, layout list, Merge button, progress bar or label");
    }
    path->setText(QString::fromStdString((folder / "input.txt").string()));
    layouts->setCurrentIndex(layout);
    PaintCounter counter;
    bar->installEventFilter(&counter);
    label->installEventFilter(&counter);
    // A cancelled resolve step sets the bar back, so whether it reached its end is watched as it moves.
    bool barEnded = false;
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [bar, &barEnded](int value) { barEnded = barEnded || value == bar->maximum(); });

    const Clock::time_point start = Clock::now();
    merge->click();
    const Clock::time_point returned = Clock::now();
    RunResult result = finish(steps, window.dialog(), start, returned, boxes.errors, "GUI");
    result.paints = counter.paints;
    // The bar must have been driven to its end, or the window's progress was not part of the timing.
    if (!barEnded) {
        fail("GUI: the progress bar did not follow the merge");
    }
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

bool same(const RunResult& a, const RunResult& b) {
    return a.step == b.step && a.differences == b.differences && a.inserted == b.inserted &&
           a.automatic == b.automatic;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    int runs = 5;
    int layout = 0;
    fs::path scratch;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << usage;
            return 0;
        }
        if (arg == "--runs" || arg == "--layout" || arg == "--scratch") {
            if (i + 1 >= argc) {
                std::cerr << "velkmerge-phase-bench: " << arg << " needs a value\n" << usage;
                return 2;
            }
            const std::string value = argv[++i];
            if (arg == "--scratch") {
                scratch = value;
                continue;
            }
            char* end = nullptr;
            const long number = std::strtol(value.c_str(), &end, 10);
            const bool bad = value.empty() || *end != '\0' ||
                             (arg == "--runs" ? number < 1 || number > 1000 : number < 0 || number > 2);
            if (bad) {
                std::cerr << "velkmerge-phase-bench: bad value for " << arg << ": " << value << '\n';
                return 2;
            }
            (arg == "--runs" ? runs : layout) = static_cast<int>(number);
        } else if (arg.starts_with("-")) {
            std::cerr << "velkmerge-phase-bench: unknown option " << arg << '\n' << usage;
            return 2;
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.size() != 2) {
        std::cerr << usage;
        return 2;
    }
    const fs::path database = fs::absolute(files[0]);
    const fs::path input = fs::absolute(files[1]);
    for (const fs::path& file : {database, input}) {
        std::error_code error;
        if (!fs::is_regular_file(file, error)) {
            fail(file.string() + " is not a file");
        }
    }
    const bool ownScratch = scratch.empty();
    if (ownScratch) {
        scratch = fs::temp_directory_path() / ("velkmerge-phase-bench-" + std::to_string(getpid()));
    }
    scratch = fs::absolute(scratch);
    if (ownScratch) {
        ownedScratch = scratch;
    }
    fs::create_directories(scratch / "config");

    // No display is needed, and nothing the window might remember may reach the user's own settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((scratch / "config").string()));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder; the scratch folder keeps it out of shared /tmp names.
        const fs::path runtime = scratch / "runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
    }
    QApplication app(argc, argv);

    const std::string databaseBytes = readAll(database);
    std::cout << "velkmerge-phase-bench: " << database.string() << " + " << input.string() << ", " << runs
              << " runs each way, alternating (platform " << QApplication::platformName().toStdString()
              << ")\n";
    std::vector<double> cliTimes;
    std::vector<double> guiTimes;
    std::vector<double> paints;
    std::optional<RunResult> first;
    for (int run = 1; run <= runs; ++run) {
        // The order swaps every run, so that neither way always runs on a cache the other warmed.
        for (const bool gui : run % 2 == 1 ? std::vector{false, true} : std::vector{true, false}) {
            RunResult result;
            try {
                const fs::path folder = prepareRun(scratch, database, input);
                result = gui ? runGui(folder, layout) : runCli(folder, layout);
                checkNothingWritten(folder, databaseBytes, gui ? "GUI" : "CLI");
            } catch (const std::exception& error) {
                fail(std::string(gui ? "GUI" : "CLI") + ": " + error.what());
            }
            if (!first) {
                first = result;
            } else if (!same(*first, result)) {
                fail("the runs disagree on the step reached or on the counts of differences and changes");
            }
            (gui ? guiTimes : cliTimes).push_back(result.seconds);
            if (gui) {
                paints.push_back(result.paints);
            }
            std::printf("run %d %s %8.3f s\n", run, gui ? "gui" : "cli", result.seconds);
        }
    }
    fs::remove_all(scratch / "run");
    if (ownScratch) {
        fs::remove_all(scratch);
    }

    const double cli = median(cliTimes);
    const double gui = median(guiTimes);
    std::printf("reached the %s: %zu differing pairs, %u new, %u automatically updated\n",
                first->step.c_str(), first->differences, first->inserted, first->automatic);
    std::printf("CLI phases (CliMergeWindow):          median %8.3f s\n", cli);
    std::printf(
        "GUI phases (MergeWindow, offscreen):  median %8.3f s, progress bar and label painted %g times\n",
        gui, median(paints));
    std::printf("GUI / CLI: %.3f\n", gui / cli);
    std::printf("result cli=%.6f gui=%.6f ratio=%.6f\n", cli, gui, gui / cli);
    return 0;
}

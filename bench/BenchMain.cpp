// velkmerge-bench: Google Benchmark timings of line cutting, reading, merging and writing.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "CallFileGenerator.h"
#include "core/calldata/CallFileReader.h"
#include "core/calldata/CallRecord.h"
#include "core/calldata/DatabaseWriter.h"
#include "core/calldata/FieldDefinition.h"
#include "core/calldata/NullProgressDisplay.h"
#include "core/calldata/RecordList.h"
#include "core/merge/MergeEngine.h"
#include "core/merge/MergeOptions.h"
#include "core/workflow/MergeSession.h"
#include "core/workflow/ReadFindings.h"

namespace {

constexpr std::size_t fileLines = 100000;

// Records point at their layout, so the layouts outlive every list the benchmarks read.
const std::vector<FieldDefinition>& layouts() {
    static const std::vector<FieldDefinition> definitions = buildFieldDefinitions();
    return definitions;
}

const GeneratedFiles& files(int layout) {
    static std::vector<std::optional<GeneratedFiles>> cache(3);
    auto& slot = cache.at(static_cast<std::size_t>(layout));
    if (!slot) {
        GeneratorOptions options;
        options.lines = fileLines;
        options.layout = layout;
        slot = CallFileGenerator(options).generate();
    }
    return *slot;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

struct ReadLists {
    RecordList database{&layouts()[databaseLayoutIndex]};
    RecordList input{&layouts()[0]};
    std::vector<std::string> comments;
    bool hadByteOrderMark = false;
};

// Reads both generated texts the way a merge does: the input is stored in the database's encoding.
std::unique_ptr<ReadLists> readBoth(int inputLayout) {
    auto lists = std::make_unique<ReadLists>();
    lists->input.setLayout(&layouts()[static_cast<std::size_t>(inputLayout)]);
    NullProgressDisplay progress;
    const ReadResult database = readCallText(lists->database, lists->comments,
                                             std::make_shared<const FileText>(files(inputLayout).database),
                                             layouts()[databaseLayoutIndex], "Call3.txt", progress);
    const std::optional<TextEncoding> storeAs =
        database.encodingKnown() ? std::optional(database.encoding) : std::nullopt;
    (void)readCallText(lists->input, lists->comments,
                       std::make_shared<const FileText>(files(inputLayout).input),
                       layouts()[static_cast<std::size_t>(inputLayout)], "Input File", progress, storeAs);
    lists->hadByteOrderMark = database.hadByteOrderMark;
    return lists;
}

void BM_ParseLine(benchmark::State& state) {
    const int layout = static_cast<int>(state.range(0));
    const FieldDefinition& definition = layouts()[static_cast<std::size_t>(layout)];
    const std::vector<std::string> lines = splitLines(files(layout).input);
    const TextEncoding encoding = inspectCallText(files(layout).input).encoding;
    std::size_t bytes = 0;
    for (const std::string& line : lines) {
        bytes += line.size();
    }
    std::size_t stations = 0;
    for (auto _ : state) {
        stations = 0;
        for (const std::string& line : lines) {
            CallRecord record(&definition);
            record.cutLine(line, encoding);  // as a file is read: the lines outlive the records
            stations += record.isComment() ? 0 : 1;
            benchmark::DoNotOptimize(record.call().data());
        }
    }
    // A cutter that took station lines for comments would look fast; say so instead.
    if (stations + 3 < lines.size()) {
        state.SkipWithError("station lines were read as comments");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.SetLabel(std::string(layoutNames[static_cast<std::size_t>(layout)]));
}
BENCHMARK(BM_ParseLine)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_ReadCallText(benchmark::State& state) {
    const std::string& text = files(0).database;
    NullProgressDisplay progress;
    std::size_t records = 0;
    for (auto _ : state) {
        RecordList list(&layouts()[databaseLayoutIndex]);
        std::vector<std::string> comments;
        const ReadResult result = readCallText(list, comments, std::make_shared<const FileText>(text),
                                               layouts()[databaseLayoutIndex], "Call3.txt", progress);
        benchmark::DoNotOptimize(result);
        records = list.size();
        state.PauseTiming();  // freeing 100k records is not reading
        list.clear();
        state.ResumeTiming();
    }
    if (records + 4 != fileLines) {
        state.SkipWithError("the read list lost or gained records");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * fileLines));
}
BENCHMARK(BM_ReadCallText)->Unit(benchmark::kMillisecond);

void BM_CompareFiles(benchmark::State& state) {
    const int inputLayout = static_cast<int>(state.range(0));
    const MergeOptions options;
    NullProgressDisplay progress;
    std::size_t resultSize = 0;
    std::size_t inputSize = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<ReadLists> lists = readBoth(inputLayout);
        inputSize = lists->input.size();
        std::vector<std::unique_ptr<CallRecord>> differences;
        state.ResumeTiming();
        const MergeEngine::Counts counts =
            compareFiles(lists->database, lists->input, differences, options, progress, nullptr);
        benchmark::DoNotOptimize(counts);
        state.PauseTiming();
        resultSize = lists->database.size();
        if (resultSize < inputSize || counts.insertedCount == 0) {
            state.SkipWithError("the merge lost records or added none");
        }
        lists.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * inputSize));
    state.counters["merged"] = static_cast<double>(resultSize);
}
BENCHMARK(BM_CompareFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the details list and the report add to a merge: the lines left out, the comment lines and the near
// matches, noted from both lists as read. Set beside BM_ReadCallText, BM_CompareFiles and BM_DatabaseWriter
// of the same run, it is the share of a merge that the reports cost.
void BM_ReadFindings(benchmark::State& state) {
    MergeSession session(layouts(), 0, true);
    NullProgressDisplay progress;
    const ReadResult database = readCallText(session.databaseRecords, session.databaseComments,
                                             std::make_shared<const FileText>(files(0).database),
                                             layouts()[0], "Call3.txt", progress);
    const ReadResult input =
        readCallText(session.inputRecords, session.inputComments,
                     std::make_shared<const FileText>(files(0).input), layouts()[0], "Input File", progress);
    std::size_t found = 0;
    for (auto _ : state) {
        session.changes.emplace();
        noteReadFindings(session, database, input, "input.txt");
        found = session.changes->duplicates.size() + session.changes->nearMatches.size();
    }
    // Findings that are never noted would look free; say so instead.
    if (found == 0) {
        state.SkipWithError("no repeated call and no near match was found");
    }
    state.counters["findings"] = static_cast<double>(found);
}
BENCHMARK(BM_ReadFindings)->Unit(benchmark::kMillisecond);

// A fresh folder under the system's temporary folder for each run of the process.
std::filesystem::path scratchFolder() {
    static std::atomic<int> counter{0};
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("velkmerge-bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
         "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    return folder;
}

void BM_DatabaseWriter(benchmark::State& state) {
    std::unique_ptr<ReadLists> lists = readBoth(0);
    const std::filesystem::path folder = scratchFolder();
    // A merge only ever writes over an existing Call3.txt; the writer moves it to Call3.bak first.
    {
        std::ofstream old(folder / databaseFileName, std::ios::binary);
        old << files(0).database;
    }
    const DatabaseWriter writer;
    for (auto _ : state) {
        const DatabaseWriter::Result result =
            writer.write(lists->database, folder, lists->hadByteOrderMark, std::nullopt);
        if (!result.ok) {
            const std::string why = "the write failed at stage " +
                                    std::to_string(static_cast<int>(result.failedStage)) + ", cause " +
                                    std::to_string(result.cause);
            state.SkipWithError(why.c_str());
            break;
        }
    }
    std::error_code ignored;
    const auto written = std::filesystem::file_size(folder / databaseFileName, ignored);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (ignored ? 0 : written)));
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_DatabaseWriter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

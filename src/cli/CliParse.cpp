// Command-line parsing with CLI11.
#include "cli/CliParse.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <vector>

#include "core/calldata/FieldDefinition.h"
#include "core/calldata/TextEncoding.h"
#include "core/platform/PathText.h"

namespace {

// "0" to "3" or a layout's list text; -1 for anything else.
int layoutIndex(const std::string& text) {
    for (std::size_t i = 0; i < layoutNames.size(); ++i) {
        if (text == std::to_string(i) || text == layoutNames[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// --layout and --fields into `parsed`; false, with the reason on `err`, when they do not make a layout.
bool takeLayout(CliOptions& parsed, const std::string& layout, bool layoutGiven, const std::string* fields,
                std::ostream& err) {
    parsed.detectLayout = layout == "auto";
    parsed.layout = parsed.detectLayout ? databaseLayoutIndex : layoutIndex(layout);
    if (parsed.layout < 0) {
        err << "--layout: " << layout << " is not a layout; use 0, 1, 2, auto or --fields.\n";
        return false;
    }
    if (fields == nullptr) {
        return true;
    }
    if (layoutGiven && parsed.layout != customLayoutIndex) {
        err << "--fields makes the layout: leave out --layout " << layout << ".\n";
        return false;
    }
    parsed.fields = columnsOf(*fields);
    if (!customCommaLayout(parsed.fields)) {
        err << "--fields: " << *fields
            << " names no layout. Name each column Call, Grid, EME, State, Name, Email or Station, or leave "
               "it "
               "empty to skip it; one column must be Call, and no name may come twice.\n";
        return false;
    }
    parsed.layout = customLayoutIndex;
    return true;
}

// CLI11's own check takes the name in the local code page on Windows, where a UTF-8 name may not fit.
std::string existingFolder(std::string& name) {
    std::error_code error;
    return std::filesystem::is_directory(pathFromUtf8(name), error) ? std::string()
                                                                    : "Directory does not exist: " + name;
}

std::vector<std::string> optionNames() {
    std::vector<std::string> names;
    for (const auto& [name, member] : mergeOptionMembers) {
        names.emplace_back(name);
    }
    return names;
}

}  // namespace

CliParse parseCliOptions(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CliOptions parsed;
    CLI::App app{
        "Merges INPUT, a newer callsign list, into Call3.txt of the current folder (or of -C DIR).\n"
        "New calls are added, known calls get the automatic conversions the options allow, and calls\n"
        "whose data still differ are settled as --resolve says. The old file is kept as Call3.bak.\n"
        "Standard output gets the final status lines; standard error gets error messages.\n"
        "Exit status: 0 done, 1 a file check or the write failed (or another merge holds Call3.txt),\n"
        "2 bad usage, 3 differences left unresolved (--resolve fail, or quit in --resolve ask),\n"
        "4 written but the report failed.",
        "velkmerge-cli"};
    app.set_version_flag("--version", "velkmerge-cli " VELKMERGE_VERSION);
    app.get_formatter()->column_width(30);

    app.add_option("INPUT", parsed.input, "The callsign file to merge into Call3.txt")->required();
    app.add_option("-C,--folder", parsed.folder, "Work as if started in DIR, the folder that holds Call3.txt")
        ->type_name("DIR")
        ->check(CLI::Validator(existingFolder, ""));
    std::string layout = "0";
    CLI::Option* layoutOption =
        app.add_option(
               "-l,--layout", layout,
               "Layout of INPUT: 0 \"VELK Standard\" (default), 1 \"VELK <=  V4.6\", 2 \"Old Nohr Style\", "
               "or auto: the one INPUT fits best, named on standard error")
            ->type_name("L");
    std::string fields;
    CLI::Option* fieldsOption =
        app.add_option(
               "--fields", fields,
               "INPUT is comma-delimited with these columns in order, e.g. Call,,Name,Grid (an empty name "
               "skips a column): the layout \"Custom Comma Delimited\"")
            ->type_name("LIST");
    app.add_flag(
        "--force-layout", [&parsed](std::int64_t) { parsed.checkLayoutFit = false; },
        "Merge even when most lines of INPUT do not fit the layout");
    std::vector<std::string> setNames;
    std::vector<std::string> unsetNames;
    const std::string optionHelp =
        "useGrid, useName, useEme, useEmail, useState and useStation are on by default; "
        "alwaysGrid, alwaysName, alwaysEmail, alwaysState, alwaysStation, removeEme, "
        "differentIfInputEmpty and ignoreNameStar are off";
    app.add_option("--set", setNames, "Turn a merge option on (repeatable). " + optionHelp)
        ->type_name("NAME")
        ->expected(1)
        ->allow_extra_args(false)
        ->take_all()
        ->check(CLI::IsMember(optionNames()).description(""));
    app.add_option("--unset", unsetNames, "Turn a merge option off (repeatable)")
        ->type_name("NAME")
        ->expected(1)
        ->allow_extra_args(false)
        ->take_all()
        ->check(CLI::IsMember(optionNames()).description(""));
    std::string resolve = "original";
    app.add_option("--resolve", resolve,
                   "Calls whose data differ: keep the database's values (original), take the input's "
                   "non-empty values (input), stop before writing, list them and exit with 3 (fail), or "
                   "decide pair by pair at the terminal (ask)")
        ->check(CLI::IsMember({"original", "input", "fail", "ask"}))
        ->type_name("MODE")
        ->capture_default_str();
    std::vector<std::string> take;
    app.add_option("--take", take,
                   "In every pair that differs, take the input's non-empty value of FIELD and keep the "
                   "database's other values (repeatable; grid, eme, state, name, email, station)")
        ->type_name("FIELD")
        ->expected(1)
        ->allow_extra_args(false)
        ->take_all()
        ->check(CLI::IsMember({"grid", "eme", "state", "name", "email", "station"}));
    std::string comments = "both";
    app.add_option("--comments", comments,
                   "Comment lines of the new file: both files' (both), Call3.txt's only (database), or none")
        ->check(CLI::IsMember({"both", "database", "none"}))
        ->type_name("MODE")
        ->capture_default_str();
    app.add_flag("-n,--dry-run", parsed.dryRun, "Do everything but write");
    app.add_option("--report", parsed.reportPath,
                   "Write a JSON report of the merge to FILE (- for standard output)")
        ->type_name("FILE");
    app.add_flag("-q,--quiet", parsed.quiet, "Print nothing but errors");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        return {std::nullopt, status == 0 ? 0 : 2};
    }

    if (!takeLayout(parsed, layout, layoutOption->count() > 0, fieldsOption->count() > 0 ? &fields : nullptr,
                    err)) {
        err << "Run with --help for more information.\n";
        return {std::nullopt, 2};
    }
    for (const std::string& name : setNames) {
        *parsed.options.member(name) = true;
    }
    for (const std::string& name : unsetNames) {
        if (std::find(setNames.begin(), setNames.end(), name) != setNames.end()) {
            err << "--set and --unset both name " << name << ".\nRun with --help for more information.\n";
            return {std::nullopt, 2};
        }
        *parsed.options.member(name) = false;
    }
    parsed.resolve = resolve == "input"  ? CliOptions::Resolve::Input
                     : resolve == "fail" ? CliOptions::Resolve::Fail
                     : resolve == "ask"  ? CliOptions::Resolve::Ask
                                         : CliOptions::Resolve::Original;
    for (const std::string& name : take) {
        for (const PairField field : pairFields) {
            if (asciiLowerCase(fieldName(field)) == name) {
                parsed.take.push_back(field);
            }
        }
    }
    parsed.comments = comments == "database" ? CliOptions::Comments::Database
                      : comments == "none"   ? CliOptions::Comments::None
                                             : CliOptions::Comments::Both;
    return {std::move(parsed), 0};
}

// Reads a callsign file into a record list in call order and a list of comment lines.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calldata/FieldDefinition.h"
#include "calldata/FileText.h"
#include "calldata/ProgressDisplay.h"
#include "calldata/ReadResult.h"
#include "calldata/RecordList.h"

// Fills `records` (empty on entry) and appends to `comments`. Each comment keeps its blanks and
// its line feed; the end marker is dropped; of several lines with one call the first wins.
// `labelName` completes the progress label "Loading %s". With `storeAs`, records and comments of a file in
// another encoding are converted to it, so that they can join a file in that encoding.
[[nodiscard]] ReadResult readCallFile(RecordList& records, std::vector<std::string>& comments,
                                      const std::filesystem::path& path, const FieldDefinition& layout,
                                      const std::string& labelName, ProgressDisplay& progress,
                                      std::optional<TextEncoding> storeAs = std::nullopt);

// The same from bytes already in memory.
[[nodiscard]] ReadResult readCallText(RecordList& records, std::vector<std::string>& comments,
                                      std::string_view bytes, const FieldDefinition& layout,
                                      const std::string& labelName, ProgressDisplay& progress,
                                      std::optional<TextEncoding> storeAs = std::nullopt);

// The same from a file's text that the list keeps; its records point into it rather than copy it.
// `inspected`, what inspectCallText found for the same text, saves looking at its bytes twice.
[[nodiscard]] ReadResult readSharedText(RecordList& records, std::vector<std::string>& comments,
                                        std::shared_ptr<const FileText> fileText,
                                        const FieldDefinition& layout, const std::string& labelName,
                                        ProgressDisplay& progress,
                                        std::optional<TextEncoding> storeAs = std::nullopt,
                                        const ReadResult* inspected = nullptr);

// What reading the bytes of a file will find about it: its byte-order mark, encoding and non-ASCII bytes.
[[nodiscard]] ReadResult inspectCallText(std::string_view bytes);

// The text that ends a database: "ZZZZZZ,End-Of-Callsign-Database".
inline constexpr std::string_view endMarkerLine{"ZZZZZZ,End-Of-Callsign-Database"};

// Reads a callsign file's text into a record list in call order and a list of comment lines.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/calldata/FieldDefinition.h"
#include "core/calldata/FileText.h"
#include "core/calldata/ProgressDisplay.h"
#include "core/calldata/ReadResult.h"
#include "core/calldata/RecordList.h"

// Fills `records` (empty on entry) from a file's text, which the list keeps (its records point into it
// rather than copy it), and appends to `comments`. Each comment keeps its blanks and its line feed; the
// end marker is dropped; of several lines with one call the first wins. `labelName` completes the progress
// label "Loading %s". With `storeAs`, records and comments of a file in another encoding are converted to
// it, so that they can join a file in that encoding. `inspected`, what inspectCallText found for the same
// text, saves looking at its bytes twice.
[[nodiscard]] ReadResult readCallText(RecordList& records, std::vector<std::string>& comments,
                                      std::shared_ptr<const FileText> fileText, const FieldDefinition& layout,
                                      const std::string& labelName, ProgressDisplay& progress,
                                      std::optional<TextEncoding> storeAs = std::nullopt,
                                      const ReadResult* inspected = nullptr);

// What reading the bytes of a file will find about it: its byte-order mark, encoding and non-ASCII bytes.
[[nodiscard]] ReadResult inspectCallText(std::string_view bytes);

// The text that ends a database: "ZZZZZZ,End-Of-Callsign-Database".
inline constexpr std::string_view endMarkerLine{"ZZZZZZ,End-Of-Callsign-Database"};

// The numbers, counted from 1, of the lines of a file's bytes that hold the given places (in any order),
// as the reading counts its lines.
[[nodiscard]] std::vector<std::uint32_t> lineNumbersOf(std::string_view bytes,
                                                       const std::vector<std::uint32_t>& places);

// The decisions of a resolve step kept on disk, outside the Velk folder, so that a merge cancelled or cut
// short can take them up again. They are kept under a key made from both files' bytes: a file that
// changed since never gets stale decisions.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/workflow/PairTable.h"

struct SavedDecision {
    std::string call;
    std::string inputLine;  // the pair it belongs to: its input line and its database values as it began
    std::string original;
    std::string values;  // the database record's values as decided
    PairState state = PairState::Open;
    std::array<FieldDecision, pairFieldCount> decisions{};
    bool counted = false;
};

class ResumeStore {
  public:
    explicit ResumeStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    // The key of a merge of `input` (in layout `layout`) into `database`.
    [[nodiscard]] static std::string keyOf(std::string_view database, std::string_view input, int layout);

    // The decisions kept under `key`; none when there are none, or they cannot be read.
    [[nodiscard]] std::vector<SavedDecision> load(const std::string& key) const;
    // Keeps the decisions of every pair the user decided anything on, replacing what `key` held. False when
    // they could not be written (nothing is lost by that: the merge itself goes on).
    bool save(const std::string& key, const PairTable& pairs) const;
    void forget(const std::string& key) const;

    // Applies kept decisions to the pairs they belong to; returns how many it applied.
    static std::size_t apply(const std::vector<SavedDecision>& decisions, PairTable& pairs);

  private:
    [[nodiscard]] std::filesystem::path pathOf(const std::string& key) const;

    std::filesystem::path folder_;
};

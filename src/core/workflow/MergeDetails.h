// The details list of a merge: what it added, changed and settled, the lines it left out or read as
// comments, and the calls that nearly met; grouped, counted, as text a person reads.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/merge/MergeChanges.h"

class MergeDetails {
  public:
    struct Group {
        std::string title;  // with the count, "New calls (3)"
        std::vector<std::string> lines;
    };

    explicit MergeDetails(const MergeChanges& changes);

    [[nodiscard]] const std::vector<Group>& groups() const { return groups_; }
    // Every group under its title, in UTF-8, as the list is saved.
    [[nodiscard]] std::string text() const;
    // Writes text() to `path`, never over one of `mergeFiles` and never half; the reason when it could not.
    [[nodiscard]] std::optional<std::string> save(const std::filesystem::path& path,
                                                  const std::vector<std::filesystem::path>& mergeFiles) const;

  private:
    // Takes `lines` as a group, and leaves it empty.
    void addGroup(std::string title, std::vector<std::string>& lines);

    std::vector<Group> groups_;
};

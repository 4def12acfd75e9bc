// Lookup of merge options by name.
#include "core/merge/MergeOptions.h"

bool* MergeOptions::member(std::string_view name) {
    for (const auto& [memberName, pointer] : mergeOptionMembers) {
        if (memberName == name) {
            return &(this->*pointer);
        }
    }
    return nullptr;
}

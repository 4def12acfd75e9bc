// The fourteen option check boxes that steer the automatic conversions and the difference test.
#pragma once

#include <array>
#include <string_view>
#include <utility>

struct MergeOptions {
    bool alwaysGrid = false;
    bool useGrid = true;
    bool alwaysName = false;
    bool useName = true;
    bool removeEme = false;
    bool useEme = true;
    bool useEmail = true;
    bool alwaysEmail = false;
    bool useState = true;
    bool useStation = true;
    bool alwaysStation = false;
    bool alwaysState = false;
    bool differentIfInputEmpty = false;
    bool ignoreNameStar = false;

    // The member of that name, or nullptr; lets front ends set options by name.
    [[nodiscard]] bool* member(std::string_view name);
};

// The members by name, in their declaration order.
inline constexpr std::array<std::pair<std::string_view, bool MergeOptions::*>, 14> mergeOptionMembers{{
    {"alwaysGrid", &MergeOptions::alwaysGrid},
    {"useGrid", &MergeOptions::useGrid},
    {"alwaysName", &MergeOptions::alwaysName},
    {"useName", &MergeOptions::useName},
    {"removeEme", &MergeOptions::removeEme},
    {"useEme", &MergeOptions::useEme},
    {"useEmail", &MergeOptions::useEmail},
    {"alwaysEmail", &MergeOptions::alwaysEmail},
    {"useState", &MergeOptions::useState},
    {"useStation", &MergeOptions::useStation},
    {"alwaysStation", &MergeOptions::alwaysStation},
    {"alwaysState", &MergeOptions::alwaysState},
    {"differentIfInputEmpty", &MergeOptions::differentIfInputEmpty},
    {"ignoreNameStar", &MergeOptions::ignoreNameStar},
}};

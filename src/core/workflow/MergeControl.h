// The main window's controls that explain themselves in a tooltip.
#pragma once

enum class MergeControl {
    Merge,
    InputPath,
    Browse,
    Layout,
    UseEme,
    UseGrid,
    UseState,
    UseName,
    UseEmail,
    UseStation,
    RemoveEme,
    AlwaysGrid,
    AlwaysState,
    AlwaysName,
    AlwaysEmail,
    AlwaysStation,
    DifferentIfInputEmpty,
    IgnoreNameStar,
};

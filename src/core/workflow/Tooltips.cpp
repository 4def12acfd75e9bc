// Tooltip texts of the main window.
#include "core/workflow/Tooltips.h"

std::string_view tooltipText(MergeControl control) {
    switch (control) {
        case MergeControl::Merge:
            return "Read the files and show merge results.  You will be prompted before your file is "
                   "modified.";
        case MergeControl::InputPath:
            return "Path and filename of file to be merged with your callsign.txt file";
        case MergeControl::Browse:
            return "Browse for input file";
        case MergeControl::Layout:
            return "Format of file to be merged with your callsign.txt file.\n"
                   "VELK Standard is the Ver 4.9 comma delimited file.\n"
                   "Old VELK has 9 fields (position:field):\n"
                   "    0:Call  7:Grid  15:State  19:Name\n"
                   "    27:6M  32:2M  37:222  42:432  48:Email\n"
                   "Old Nohr has 5 fields (position:field):\n"
                   "    0:Call  7:Grid  15:State  19:Name  28:Email";
        case MergeControl::UseEme:
        case MergeControl::UseGrid:
        case MergeControl::UseState:
        case MergeControl::UseName:
        case MergeControl::UseEmail:
        case MergeControl::UseStation:
            return "Sets this value in your file only if it does not already exist, but does exist in the "
                   "input file";
        case MergeControl::RemoveEme:
        case MergeControl::AlwaysGrid:
        case MergeControl::AlwaysState:
        case MergeControl::AlwaysName:
        case MergeControl::AlwaysEmail:
        case MergeControl::AlwaysStation:
            return "Over rides this value in your file if it exists in the input file";
        case MergeControl::DifferentIfInputEmpty:
            return "If a record in your file has data that is missing in the input file, this does not cause "
                   "the "
                   "record to be flagged as different and displayed as a merge difference.  Setting this "
                   "flag "
                   "causes all such differences to be shown in the difference list";
        case MergeControl::IgnoreNameStar:
            return "Ignore an asterisk after the Name field when comparing names. This option is for Nohr "
                   "generated files that use an asterisk to indicate that the station is active on six "
                   "meters";
    }
    return {};
}

// The main window's tooltip texts, word for word as users have always seen them.
#include "core/workflow/Tooltips.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TEST(Tooltips, EveryControlExplainsItselfInItsExactWords) {
    const std::string use =
        "Sets this value in your file only if it does not already exist, but does exist in the input file";
    const std::string always = "Over rides this value in your file if it exists in the input file";
    const std::vector<std::pair<MergeControl, std::string>> expected = {
        {MergeControl::Merge,
         "Read the files and show merge results.  You will be prompted before your file is modified."},
        {MergeControl::InputPath, "Path and filename of file to be merged with your callsign.txt file"},
        {MergeControl::Browse, "Browse for input file"},
        {MergeControl::Layout,
         "Format of file to be merged with your callsign.txt file.\nVELK Standard is the Ver 4.9 comma "
         "delimited file.\nOld VELK has 9 fields (position:field):\n    0:Call  7:Grid  15:State  19:Name\n"
         "    27:6M  32:2M  37:222  42:432  48:Email\nOld Nohr has 5 fields (position:field):\n"
         "    0:Call  7:Grid  15:State  19:Name  28:Email"},
        {MergeControl::UseEme, use},
        {MergeControl::UseGrid, use},
        {MergeControl::UseState, use},
        {MergeControl::UseName, use},
        {MergeControl::UseEmail, use},
        {MergeControl::UseStation, use},
        {MergeControl::RemoveEme, always},
        {MergeControl::AlwaysGrid, always},
        {MergeControl::AlwaysState, always},
        {MergeControl::AlwaysName, always},
        {MergeControl::AlwaysEmail, always},
        {MergeControl::AlwaysStation, always},
        {MergeControl::DifferentIfInputEmpty,
         "If a record in your file has data that is missing in the input file, this does not cause the "
         "record "
         "to be flagged as different and displayed as a merge difference.  Setting this flag causes all such "
         "differences to be shown in the difference list"},
        {MergeControl::IgnoreNameStar,
         "Ignore an asterisk after the Name field when comparing names. This option is for Nohr generated "
         "files that use an asterisk to indicate that the station is active on six meters"},
    };
    for (const auto& [control, text] : expected) {
        EXPECT_EQ(tooltipText(control), text) << static_cast<int>(control);
    }
}

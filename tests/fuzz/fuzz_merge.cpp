// Fuzz target: a whole merge of a fuzzed database and input file, held to the shared merge invariants.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    // Byte 0: input layout and how differences are settled; bytes 1 and 2: the fourteen options; then
    // the database and the input, cut at a separator line or else in the middle.
    constexpr std::string_view separator{"\n###\n"};
    MergeCase c;
    c.layout = data[0] % 3;
    c.takeInput = (data[0] & 0x80) != 0;
    const unsigned optionBits = data[1] | (static_cast<unsigned>(data[2]) << 8);
    for (std::size_t i = 0; i < mergeOptionMembers.size(); ++i) {
        c.options.*mergeOptionMembers[i].second = ((optionBits >> i) & 1U) != 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t cut = rest.find(separator);
    c.database = cut == rest.npos ? rest.substr(0, rest.size() / 2) : rest.substr(0, cut);
    c.input = cut == rest.npos ? rest.substr(rest.size() / 2) : rest.substr(cut + separator.size());
    fuzzCheck(mergeFault(c, scratchFolder(), false));
    return 0;
}

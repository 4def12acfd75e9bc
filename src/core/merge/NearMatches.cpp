// Finding calls that differ only by a portable suffix or a country prefix.
#include "core/merge/NearMatches.h"

#include <algorithm>
#include <array>
#include <iterator>

std::string_view baseCall(std::string_view call) {
    if (call.find('/') == std::string_view::npos) {
        return call;
    }
    static constexpr std::array<std::string_view, 6> portable{"P", "M", "MM", "AM", "QRP", "A"};
    std::string_view best;
    bool first = true;
    for (std::size_t start = 0; start <= call.size();) {
        const std::size_t slash = std::min(call.find('/', start), call.size());
        const std::string_view part = call.substr(start, slash - start);
        const bool mark = !first && std::find(portable.begin(), portable.end(), part) != portable.end();
        if (!mark && part.size() > best.size()) {
            best = part;
        }
        first = false;
        start = slash + 1;
    }
    return best;
}

namespace {

const auto byCall = [](const CallRecord* record, std::string_view call) { return record->call() < call; };

// The record of `call` in a list in call order, or none.
const CallRecord* find(const RecordList::Entries& list, std::string_view call) {
    const auto at = std::lower_bound(list.begin(), list.end(), call, byCall);
    return at != list.end() && (*at)->call() == call ? *at : nullptr;
}

// A call with a slash, by its station's call.
struct Slashed {
    std::string_view base;
    const SlashedCall* call;
};

// The first line of each slashed call, in the order of their base calls, then of the calls.
std::vector<Slashed> byBase(const std::vector<SlashedCall>& calls) {
    std::vector<Slashed> list;
    list.reserve(calls.size());
    for (const SlashedCall& slashed : calls) {
        list.push_back({baseCall(slashed.call), &slashed});
    }
    // In file order already: a stable sort keeps the first line of a call first.
    std::stable_sort(list.begin(), list.end(),
                     [](const Slashed& a, const Slashed& b) { return a.call->call < b.call->call; });
    list.erase(std::unique(list.begin(), list.end(),
                           [](const Slashed& a, const Slashed& b) { return a.call->call == b.call->call; }),
               list.end());
    std::stable_sort(list.begin(), list.end(),
                     [](const Slashed& a, const Slashed& b) { return a.base < b.base; });
    return list;
}

NearCall nearCall(const SlashedCall& slashed) {
    return {slashed.call, slashed.line, slashed.text};
}

NearCall nearCall(const CallRecord& record) {
    return {record.call(), 0, trimWhiteSpace(record.line())};
}

}  // namespace

// A record's call lies wherever its line was in the file, so that a look at every record would wait for
// memory at each one; the few calls with a slash, noted by the reading, are looked up instead.
std::vector<NearMatch> findNearMatches(const RecordList& database, const ReadResult& databaseRead,
                                       const RecordList& input, const ReadResult& inputRead) {
    const std::vector<Slashed> databaseSlashed = byBase(databaseRead.slashedCalls);
    const RecordList::Entries& known = database.entries();
    std::vector<NearMatch> found;
    // The database's calls with a slash whose station is `base`.
    const auto relativesOf = [&](std::string_view base) {
        return std::equal_range(databaseSlashed.begin(), databaseSlashed.end(), Slashed{base, nullptr},
                                [](const Slashed& a, const Slashed& b) { return a.base < b.base; });
    };
    const auto addRelatives = [&](const NearCall& call, std::string_view base) {
        const auto [from, to] = relativesOf(base);
        for (auto it = from; it != to; ++it) {
            found.push_back({call, nearCall(*it->call)});
        }
    };
    // Input calls with a slash: the database's call of their station, and its calls with a slash.
    for (const Slashed& slashed : byBase(inputRead.slashedCalls)) {
        const auto [from, to] = relativesOf(slashed.base);
        if (std::any_of(from, to,
                        [&](const Slashed& relative) { return relative.call->call == slashed.call->call; })) {
            continue;  // the same call is merged, not near
        }
        if (const CallRecord* home = find(known, slashed.base)) {
            found.push_back({nearCall(*slashed.call), nearCall(*home)});
        }
        addRelatives(nearCall(*slashed.call), slashed.base);
    }
    // Input calls without a slash that are the station of a database call with one.
    for (auto it = databaseSlashed.begin(); it != databaseSlashed.end(); ++it) {
        if (it != databaseSlashed.begin() && std::prev(it)->base == it->base) {
            continue;
        }
        const CallRecord* record = find(input.entries(), it->base);
        if (record != nullptr && find(known, it->base) == nullptr) {
            addRelatives(nearCall(*record), it->base);
        }
    }
    std::sort(found.begin(), found.end(), [](const NearMatch& a, const NearMatch& b) {
        return a.input.call != b.input.call ? a.input.call < b.input.call : a.database.call < b.database.call;
    });
    return found;
}

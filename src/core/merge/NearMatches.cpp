// Finding calls that differ only by a portable suffix or a country prefix.
#include "core/merge/NearMatches.h"

#include <algorithm>
#include <array>
#include <unordered_map>

std::string_view baseCall(std::string_view call) {
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

std::vector<NearMatch> findNearMatches(const RecordList& database, const RecordList& input) {
    // Few calls carry a slash: the database's are looked up by their base call.
    std::unordered_multimap<std::string_view, const CallRecord*> slashed;
    for (const CallRecord* record : database) {
        if (record->call().find('/') != std::string_view::npos) {
            slashed.emplace(baseCall(record->call()), record);
        }
    }
    std::vector<NearMatch> found;
    const RecordList::Entries& known = database.entries();
    std::size_t next = 0;
    const auto byCall = [](const CallRecord* record, std::string_view call) { return record->call() < call; };
    for (const CallRecord* record : input) {
        const std::string_view call = record->call();
        while (next < known.size() && known[next]->call() < call) {
            ++next;
        }
        if (next < known.size() && known[next]->call() == call) {
            continue;  // the same call: merged, not near
        }
        std::vector<const CallRecord*> near;
        const std::string_view base = baseCall(call);
        if (base != call) {
            const auto home = std::lower_bound(known.begin(), known.end(), base, byCall);
            if (home != known.end() && (*home)->call() == base) {
                near.push_back(*home);
            }
        }
        const auto [from, to] = slashed.equal_range(base);
        for (auto it = from; it != to; ++it) {
            near.push_back(it->second);
        }
        std::sort(near.begin(), near.end(),
                  [](const CallRecord* a, const CallRecord* b) { return a->call() < b->call(); });
        for (const CallRecord* match : near) {
            found.push_back({record, match});
        }
    }
    return found;
}

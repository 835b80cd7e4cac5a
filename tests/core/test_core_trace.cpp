// The core against its recorded trace: the same seeded sessions, 100,000
// spins in all, must show the same items, lists, counters, clock and errors
// after every spin as when the trace was recorded.
#include "core_trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace {

using vantel::testing::TraceCheckpoint;
using vantel::testing::TraceConfig;

std::map<std::string, std::vector<TraceCheckpoint>> recordedTrace() {
    std::map<std::string, std::vector<TraceCheckpoint>> out;
    std::ifstream file(VANTEL_CORE_TRACE);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream in(line);
        std::string name;
        std::string chained;
        TraceCheckpoint c;
        in >> name >> c.spin >> chained >> c.digests;
        c.chained = std::stoull(chained, nullptr, 16);
        out[name].push_back(c);
    }
    return out;
}

using vantel::testing::Road;

class CoreTrace : public ::testing::TestWithParam<std::tuple<TraceConfig, Road>> {};

TEST_P(CoreTrace, EverySpinShowsWhatTheRecordedCoreShowed) {
    static const auto recorded = recordedTrace();
    const TraceConfig& config = std::get<0>(GetParam());
    const auto it = recorded.find(config.name);
    ASSERT_NE(it, recorded.end()) << "no recorded trace for " << config.name;
    const std::vector<TraceCheckpoint> played =
        vantel::testing::playTrace(config, std::get<1>(GetParam()));
    ASSERT_EQ(played.size(), it->second.size());
    for (size_t k = 0; k < played.size(); ++k) {
        const TraceCheckpoint& want = it->second[k];
        const TraceCheckpoint& got = played[k];
        ASSERT_EQ(got.spin, want.spin);
        if (got.chained == want.chained && got.digests == want.digests) continue;
        const int first = got.spin - static_cast<int>(got.digests.size() / 2) + 1;
        int differing = first;
        for (size_t d = 0; d + 1 < got.digests.size(); d += 2, ++differing)
            if (got.digests.compare(d, 2, want.digests, d, 2) != 0) break;
        if (differing > got.spin)
            FAIL() << config.name << ": the state differs from spin " << first << " to "
                   << got.spin;
        FAIL() << config.name << ": the state first differs after spin " << differing;
    }
}

INSTANTIATE_TEST_SUITE_P(Sessions, CoreTrace,
                         ::testing::Combine(::testing::ValuesIn(vantel::testing::traceConfigs()),
                                            ::testing::Values(Road::Window, Road::Headless)),
                         [](const ::testing::TestParamInfo<std::tuple<TraceConfig, Road>>& info) {
                             std::string name = std::get<0>(info.param).name;
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name + (std::get<1>(info.param) == Road::Window ? "_window"
                                                                                    : "_headless");
                         });

} // namespace

#include "session_file.h"

#include "read_file.h"
#include "sat_math.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <type_traits>

namespace vantel {

namespace {

using json = nlohmann::json;

constexpr const char* kFormatName = "vantel-session";
constexpr const char* kChecksumPrefix = "fnv1a64:";
// A session's JSON nests five deep; anything far deeper is not one, and
// refusing it early keeps the checks below from recursing without end.
constexpr int kMaxNesting = 32;
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

const char* const kTimerNames[kTrackerTimerCount] = {"Classic", "FixedMatrix", "Mode2",
                                                     "Sequential"};

static_assert(sizeof(TrackerState) == 96,
              "TrackerState has a new field: keep it in the session file below");

// Every field of the tracker's state with the values it can take. Counters
// that the tracker raises by one are held below the top of their type, so a
// session opened can never make them overflow.
template <class State, class Field> void eachStateField(State& s, Field&& f) {
    f("Classic_Step", s.Classic_Step, 0, 19);
    f("Sequential_Started", s.Sequential_Started, 0, 1);
    f("Last_Win", s.Last_Win, 0, 1);
    f("Loss_Streak", s.Loss_Streak, -1, kInt32Max);
    f("Win_Stake", s.Win_Stake, kInt32Min, kInt32Max);
    f("Progression_Index", s.Progression_Index, 0, kInt32Max);
    f("Bet_Active", s.Bet_Active, 0, 1);
    f("Balance_Value", s.Balance_Value, kInt32Min, kInt32Max);
    f("Balance2_Value", s.Balance2_Value, kInt32Min, kInt32Max);
    f("Sequential_Count", s.Sequential_Count, 0, 18);
    f("Picked_Number", s.Picked_Number, 0, kHighestNumber);
    f("Mode2_Step", s.Mode2_Step, 0, 19);
    f("Sequential_Step", s.Sequential_Step, 0, 19);
    f("Fixed_Matrix_Step", s.Fixed_Matrix_Step, 0, 19);
    f("Sequential_Stake", s.Sequential_Stake, 0, kInt64Max);
    f("Sequential_Miss_Run", s.Sequential_Miss_Run, 0, kInt32Max);
    f("Sequential_Win_Run", s.Sequential_Win_Run, 0, kInt32Max);
    f("Sequential_Result", s.Sequential_Result, kInt64Min, kInt64Max);
    f("Sequential_Base", s.Sequential_Base, 0, kInt64Max);
    f("Sequential_Own", s.Sequential_Own, 0, 1);
}

// The working lists with the most lines each can hold.
template <class Snap, class List> void eachList(Snap& s, List&& f) {
    f("Prediction_List", s.Prediction_List, 18);
    f("Classic_Numbers_Cur1", s.Classic_Numbers_Cur1, 13);
    f("Classic_Numbers_Cur2", s.Classic_Numbers_Cur2, 12);
    f("Classic_Numbers_Cur3", s.Classic_Numbers_Cur3, 12);
    f("Sequential_Numbers_Cur", s.Sequential_Numbers_Cur, kBoardNumbers);
    f("Mode2_Numbers_Cur", s.Mode2_Numbers_Cur, kBoardNumbers);
}

// ---- Writing ----

std::string hex64(uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016" PRIx64, v);
    return buf;
}

json listJson(const NumberList& list) {
    json a = json::array();
    for (int i = 0; i < list.count(); ++i) {
        // The tracker writes only numbers; any other line is kept as its text,
        // which the reader refuses rather than misreads.
        if (const auto v = list.intAt(i))
            a.push_back(*v);
        else
            a.push_back(list.get(i));
    }
    return a;
}

json snapshotJson(const Snapshot& s) {
    json j;
    json state = json::object();
    eachStateField(s.state,
                   [&](const char* name, auto value, int64_t, int64_t) { state[name] = value; });
    j["state"] = std::move(state);
    j["generator"] = hex64(s.generator.state());
    j["numbersCount"] = s.numbersCount;
    json lists = json::object();
    eachList(s, [&](const char* name, const NumberList& l, int) { lists[name] = listJson(l); });
    j["lists"] = std::move(lists);
    j["currentNum"] = s.currentNum;
    json lit = json::array();
    for (int n = 0; n <= kHighestNumber; ++n)
        if ((s.actNumbers >> n) & 1u) lit.push_back(n);
    j["lit"] = std::move(lit);
    j["historyText"] = s.historyText;
    j["historyColour"] = s.historyColour;
    j["bet"] = s.betText;
    j["progressBar"] = s.progressBar;
    json timers = json::object();
    for (TimerId id : kTrackerTimers) {
        const Snapshot::TimerSetting& t = s.timers[static_cast<size_t>(id)];
        timers[kTimerNames[static_cast<size_t>(id)]] = {{"on", t.on}, {"interval", t.interval}};
    }
    j["timers"] = std::move(timers);
    return j;
}

// What of target differs from base: the members that differ, objects compared
// member by member, anything else whole.
json deltaOf(const json& base, const json& target) {
    json d = json::object();
    for (auto it = target.begin(); it != target.end(); ++it) {
        const auto b = base.find(it.key());
        if (b != base.end() && *b == *it) continue;
        if (b != base.end() && b->is_object() && it->is_object())
            d[it.key()] = deltaOf(*b, *it);
        else
            d[it.key()] = *it;
    }
    return d;
}

json spinJson(const EnteredSpin& e) {
    // A spin with nothing lit is its number alone: most spins of a session.
    if (e.outlay.lit == 0) return e.number;
    return json::array({e.number, e.outlay.stake, e.outlay.lit, e.outlay.hit});
}

json contentJson(const Session& s) {
    json c;
    json settings = json::object();
    for (const SettingField& f : kSettingFields) {
        const std::string key(f.sessionKey);
        // A choice kept by its name is written by its name, any other by its index.
        if (f.text)
            settings[key] = s.settings.*f.text;
        else if (f.flag)
            settings[key] = s.settings.*f.flag;
        else
            settings[key] = s.settings.*f.number;
    }
    c["settings"] = std::move(settings);
    json spins = json::array();
    for (const EnteredSpin& e : s.entered)
        spins.push_back(spinJson(e));
    c["spins"] = std::move(spins);
    json newer = snapshotJson(s.tracker);
    c["tracker"] = newer;
    // Each step keeps only what differs from the step after it (the last: from
    // the tracker as it stands), written from the newest back.
    std::vector<json> steps(s.undo.size());
    for (size_t i = s.undo.size(); i-- > 0;) {
        json before = snapshotJson(s.undo[i].before);
        steps[i] = {{"number", s.undo[i].number}, {"before", deltaOf(newer, before)}};
        newer = std::move(before);
    }
    c["undo"] = std::move(steps);
    c["redo"] = s.redo;
    return c;
}

// ---- Reading ----

// A count as a player reads it: from six digits on in groups of three
// ("8,388,608"); shorter ones as they are ("10000").
std::string grouped(uint64_t value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 6) return digits;
    for (size_t at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, 1, ',');
        if (at < 3) break;
    }
    return digits;
}

std::string grouped(int64_t value) {
    const bool negative = value < 0;
    const uint64_t magnitude =
        negative ? uint64_t(0) - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return (negative ? "-" : "") + grouped(magnitude);
}

// "1 entry", "2 entries".
std::string counted(uint64_t n, const char* one, const char* many) {
    return grouped(n) + " " + (n == 1 ? one : many);
}

// What a place in the file is to the player: a setting by the name the window
// gives it, a spin by its position (the first is 1); the tracker's own state,
// which has no name in the window, by its key.
std::string spoken(const std::string& path) {
    const auto after = [&](const std::string& prefix, std::string* rest) {
        if (path.compare(0, prefix.size(), prefix) != 0) return false;
        *rest = path.substr(prefix.size());
        return true;
    };
    // "[7]..." -> 8 and what follows the brackets.
    const auto position = [](const std::string& rest, std::string* tail) -> std::string {
        const size_t close = rest.find(']');
        if (rest.empty() || rest[0] != '[' || close == std::string::npos) return {};
        *tail = rest.substr(close + 1);
        return grouped(static_cast<int64_t>(std::stoll(rest.substr(1, close - 1))) + 1);
    };
    std::string rest;
    std::string tail;
    if (after("content.settings.", &rest))
        for (const SettingField& f : kSettingFields)
            if (rest == f.sessionKey) return std::string(f.name.name);
    if (path == "content.settings") return "the settings";
    if (path == "content.spins") return "the list of spins";
    if (after("content.spins", &rest)) {
        const std::string at = position(rest, &tail);
        if (!at.empty()) {
            static const char* const parts[] = {"number", "stake", "count of lit numbers",
                                                "hit mark"};
            if (tail.empty()) return "the spin at position " + at;
            std::string part;
            const std::string index = position(tail, &part);
            if (!index.empty() && part.empty() && std::stoll(index) <= 4)
                return "the " + std::string(parts[std::stoll(index) - 1]) +
                       " of the spin at position " + at;
        }
    }
    if (path == "content.undo") return "the list of spins to take back";
    if (after("content.undo", &rest)) {
        const std::string at = position(rest, &tail);
        if (!at.empty()) {
            if (tail.empty()) return "the spin to take back at position " + at;
            if (tail == ".number") return "the spin to take back at position " + at;
            if (after("content.undo" + rest.substr(0, rest.find(']') + 1) + ".before", &tail))
                return "the board before the spin to take back at position " + at +
                       (tail.empty() ? "" : " (" + tail.substr(1) + ")");
        }
    }
    if (path == "content.redo") return "the list of spins to enter again";
    if (after("content.redo", &rest)) {
        const std::string at = position(rest, &tail);
        if (!at.empty() && tail.empty()) return "the spin to enter again at position " + at;
    }
    if (path == "content.tracker") return "the board's saved state";
    if (after("content.tracker.", &rest)) return "the board's saved state (" + rest + ")";
    return path;
}

// The checks of one file: every fault is one sentence naming the file.
class Reader {
  public:
    explicit Reader(const std::string& file) : m_file(file) {}

    [[noreturn]] void fail(const std::string& what) const {
        throw SessionFileError(m_file + ": " + what);
    }
    [[noreturn]] void outOfRange(const std::string& path, const std::string& what) const {
        fail("not opened, a value is out of range: " + spoken(path) + " " + what);
    }

    const json& member(const json& object, const char* key, const std::string& path) const {
        if (!object.is_object()) outOfRange(path, "is not a JSON object");
        const auto it = object.find(key);
        if (it == object.end()) fail("not opened, " + spoken(path + "." + key) + " is missing");
        return *it;
    }
    int64_t integer(const json& v, const std::string& path, int64_t lo, int64_t hi) const {
        if (!v.is_number_integer()) outOfRange(path, "is not a whole number");
        if (v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(kInt64Max))
            outOfRange(path, "is " + grouped(v.get<uint64_t>()) + ", beyond " + grouped(hi));
        const int64_t x = v.get<int64_t>();
        if (x < lo || x > hi)
            outOfRange(path, "is " + grouped(x) + ", not " + grouped(lo) +
                                 (lo == hi ? "" : " to " + grouped(hi)));
        return x;
    }
    int64_t integer(const json& object, const char* key, const std::string& path, int64_t lo,
                    int64_t hi) const {
        return integer(member(object, key, path), path + "." + key, lo, hi);
    }
    bool boolean(const json& v, const std::string& path) const {
        if (!v.is_boolean()) outOfRange(path, "is not true or false");
        return v.get<bool>();
    }
    std::string text(const json& v, const std::string& path, size_t maxLength) const {
        if (!v.is_string()) outOfRange(path, "is not a text");
        const std::string& s = v.get_ref<const std::string&>();
        if (s.size() > maxLength)
            outOfRange(path, "is " + counted(s.size(), "character", "characters") +
                                 " long, more than " + grouped(maxLength));
        return s;
    }
    const json& array(const json& v, const std::string& path, size_t maxSize) const {
        if (!v.is_array()) outOfRange(path, "is not a list");
        if (v.size() > maxSize)
            outOfRange(path, "holds " + counted(v.size(), "entry", "entries") + ", more than " +
                                 grouped(maxSize));
        return v;
    }
    const json& array(const json& v, const std::string& path, size_t minSize,
                      size_t maxSize) const {
        array(v, path, maxSize);
        if (v.size() < minSize)
            outOfRange(path, "holds " + counted(v.size(), "entry", "entries") + ", not " +
                                 grouped(minSize));
        return v;
    }

    // The ranges and choices are the window's own (settings.h); the fields are
    // checked in the table's order, so the first fault named is the same
    // whatever order the file keeps them in.
    SessionSettings settings(const json& j, const std::string& path) const {
        SessionSettings s;
        for (const SettingField& f : kSettingFields) {
            const std::string key(f.sessionKey);
            const std::string at = path + "." + key;
            const json& v = member(j, key.c_str(), path);
            if (f.text) {
                const std::string name = text(v, at, 16);
                if (f.indexOf(name) < 0) {
                    std::string names;
                    for (int i = 0; i < f.choiceCount; ++i)
                        names +=
                            (names.empty() ? "\"" : " or \"") + std::string(f.choiceName(i)) + "\"";
                    outOfRange(at, "is " + json(name).dump() + ", not " + names);
                }
                s.*f.text = name;
            } else if (f.flag) {
                s.*f.flag = boolean(v, at);
            } else {
                s.*f.number = static_cast<int>(integer(v, at, f.min, f.max));
            }
        }
        return s;
    }

    EnteredSpin spin(const json& v, const std::string& path) const {
        EnteredSpin e;
        if (!v.is_array()) {
            e.number = static_cast<int>(integer(v, path, 0, kHighestNumber));
            return e;
        }
        array(v, path, 4, 4);
        e.number = static_cast<int>(integer(v[0], path + "[0]", 0, kHighestNumber));
        SpinOutlay& o = e.outlay;
        o.stake = integer(v[1], path + "[1]", 0, kInt64Max);
        o.lit = static_cast<int>(integer(v[2], path + "[2]", 1, kBoardNumbers));
        o.hit = boolean(v[3], path + "[3]");
        if (o.hit && o.stake == 0) outOfRange(path, "is a hit with nothing staked");
        o.staked = satMul(o.stake, o.lit);
        o.returned = o.hit ? satMul(o.stake, 36) : 0;
        return e;
    }

    NumberList list(const json& v, const std::string& path, int maxLines) const {
        array(v, path, static_cast<size_t>(maxLines));
        NumberList l;
        for (size_t i = 0; i < v.size(); ++i)
            l.append(integer(v[i], path + "[" + std::to_string(i) + "]", 0, kHighestNumber));
        return l;
    }

    Snapshot snapshot(const json& j, const std::string& path, int numbersCount) const {
        Snapshot s;
        const json& state = member(j, "state", path);
        eachStateField(s.state, [&](const char* name, auto& field, int64_t lo, int64_t hi) {
            field = static_cast<std::remove_reference_t<decltype(field)>>(
                integer(state, name, path + ".state", lo, hi));
        });
        const json& gen = member(j, "generator", path);
        const std::string g = text(gen, path + ".generator", 16);
        uint64_t state64 = 0;
        if (g.size() != 16) outOfRange(path + ".generator", "is not 16 hexadecimal digits");
        for (char c : g) {
            int d = -1;
            if (c >= '0' && c <= '9') d = c - '0';
            if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            if (d < 0) outOfRange(path + ".generator", "is not 16 hexadecimal digits");
            state64 = state64 << 4 | static_cast<uint64_t>(d);
        }
        s.generator = Generator::fromState(state64);
        s.numbersCount =
            static_cast<int>(integer(j, "numbersCount", path, numbersCount, numbersCount));
        const json& lists = member(j, "lists", path);
        eachList(s, [&](const char* name, NumberList& l, int maxLines) {
            l = list(member(lists, name, path + ".lists"), path + ".lists." + name, maxLines);
        });
        s.currentNum = static_cast<int>(integer(j, "currentNum", path, 0, kHighestNumber));
        const json& lit = array(member(j, "lit", path), path + ".lit", kBoardNumbers);
        int last = -1;
        for (size_t i = 0; i < lit.size(); ++i) {
            const std::string at = path + ".lit[" + std::to_string(i) + "]";
            const auto n = static_cast<int>(integer(lit[i], at, last + 1, kHighestNumber));
            s.actNumbers |= uint64_t{1} << n;
            last = n;
        }
        const json& texts = array(member(j, "historyText", path), path + ".historyText",
                                  kHistoryCells, kHistoryCells);
        const json& colours = array(member(j, "historyColour", path), path + ".historyColour",
                                    kHistoryCells, kHistoryCells);
        for (size_t c = 0; c < static_cast<size_t>(kHistoryCells); ++c) {
            const std::string at = "[" + std::to_string(c) + "]";
            s.historyText[c] = text(texts[c], path + ".historyText" + at, 8);
            s.historyColour[c] = static_cast<uint32_t>(
                integer(colours[c], path + ".historyColour" + at, 0, 0xFFFFFF));
        }
        s.betText = text(member(j, "bet", path), path + ".bet", 32);
        s.progressBar = static_cast<int>(integer(j, "progressBar", path, 0, 18));
        const json& timers = member(j, "timers", path);
        for (TimerId id : kTrackerTimers) {
            const char* name = kTimerNames[static_cast<size_t>(id)];
            const std::string at = path + ".timers." + name;
            const json& t = member(timers, name, path + ".timers");
            Snapshot::TimerSetting& setting = s.timers[static_cast<size_t>(id)];
            setting.on = boolean(member(t, "on", at), at + ".on");
            setting.interval = static_cast<int>(integer(t, "interval", at, 0, 3600000));
        }
        return s;
    }

    // Lays delta over base as the writer took it off: members of objects one
    // by one, anything else whole.
    void layOver(json& base, const json& delta, const std::string& path) const {
        if (!delta.is_object()) outOfRange(path, "is not a JSON object");
        for (auto it = delta.begin(); it != delta.end(); ++it) {
            json& b = base[it.key()];
            if (b.is_object() && it->is_object())
                layOver(b, *it, path + "." + it.key());
            else
                b = *it;
        }
    }

    Session content(const json& c) const {
        const std::string path = "content";
        Session s;
        s.settings = settings(member(c, "settings", path), path + ".settings");

        const json& spins = array(member(c, "spins", path), path + ".spins", kSessionMaxSpins);
        s.entered.reserve(spins.size());
        for (size_t i = 0; i < spins.size(); ++i)
            s.entered.push_back(spin(spins[i], path + ".spins[" + std::to_string(i) + "]"));
        const int count = static_cast<int>(s.entered.size());

        json newer = member(c, "tracker", path);
        s.tracker = snapshot(newer, path + ".tracker", count);
        // A session is saved between spins, never during the draw that follows one.
        for (TimerId id : kTrackerTimers)
            if (s.tracker.timers[static_cast<size_t>(id)].on)
                fail(std::string("not opened, it was saved while the board was locked (the ") +
                     kTimerNames[static_cast<size_t>(id)] + " timer runs)");

        const json& undo = array(member(c, "undo", path), path + ".undo", kSessionMaxUndo);
        if (undo.size() > s.entered.size())
            outOfRange(path + ".undo", "holds " + counted(undo.size(), "spin", "spins") +
                                           ", more than the " + counted(count, "spin", "spins") +
                                           " entered");
        s.undo.resize(undo.size());
        for (size_t i = undo.size(); i-- > 0;) {
            const std::string at = path + ".undo[" + std::to_string(i) + "]";
            UndoStep& step = s.undo[i];
            step.number = static_cast<int>(integer(undo[i], "number", at, 0, kHighestNumber));
            const size_t entered = s.entered.size() - undo.size() + i;
            if (step.number != s.entered[entered].number)
                outOfRange(at + ".number", "is " + std::to_string(step.number) +
                                               ", not the spin it takes back (" +
                                               std::to_string(s.entered[entered].number) + ")");
            layOver(newer, member(undo[i], "before", at), at + ".before");
            step.before = snapshot(newer, at + ".before", static_cast<int>(entered));
        }

        const json& redo = array(member(c, "redo", path), path + ".redo", kSessionMaxUndo);
        for (size_t i = 0; i < redo.size(); ++i)
            s.redo.push_back(static_cast<int>(
                integer(redo[i], path + ".redo[" + std::to_string(i) + "]", 0, kHighestNumber)));
        return s;
    }

  private:
    const std::string& m_file;
};

// How deep the text's arrays and objects nest, strings skipped.
int nesting(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

size_t bomLength(const std::string& text) {
    return text.rfind("\xef\xbb\xbf", 0) == 0 ? 3 : 0;
}

} // namespace

uint64_t fnv1a64(const std::string& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

bool looksLikeSession(const std::string& text) {
    for (size_t i = bomLength(text); i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        return c == '{';
    }
    return false;
}

std::string sessionText(const Session& session) {
    const json content = contentJson(session);
    // The checksum covers the contents as the reader serialises them again:
    // compact, members in name order.
    const std::string canonical = content.dump();
    std::string out;
    out.reserve(canonical.size() + 256);
    out += "{\n\"format\": \"";
    out += kFormatName;
    out += "\",\n\"version\": " + std::to_string(kSessionVersion) + ",\n\"checksum\": \"";
    out += kChecksumPrefix + hex64(fnv1a64(canonical));
    out += "\",\n\"content\": {\n";
    // One member a line, and one undo step a line, so the file reads in an editor.
    bool first = true;
    for (auto it = content.begin(); it != content.end(); ++it) {
        if (!first) out += ",\n";
        first = false;
        out += json(it.key()).dump() + ": ";
        if (it.key() == "undo" && !it->empty()) {
            out += "[\n";
            for (size_t i = 0; i < it->size(); ++i)
                out += (i ? ",\n" : "") + (*it)[i].dump();
            out += "\n]";
        } else {
            out += it->dump();
        }
    }
    out += "\n}\n}\n";
    return out;
}

Session parseSession(const std::string& text, const std::string& fileName) {
    const Reader r(fileName);
    if (text.size() > kSessionMaxBytes)
        r.fail("not opened, it is " + grouped(text.size()) +
               " bytes long, more than a session file can be (" + grouped(kSessionMaxBytes) + ")");
    if (!looksLikeSession(text)) r.fail("not opened, it is not a Vantel session file");
    if (nesting(text) > kMaxNesting)
        r.fail("not opened, it is not a Vantel session file (its JSON nests too deeply)");
    json file;
    try {
        file = json::parse(text.begin() + static_cast<std::ptrdiff_t>(bomLength(text)), text.end());
    } catch (const json::parse_error& e) {
        if (e.byte >= text.size() - bomLength(text))
            r.fail("not opened, it is truncated: the file ends before the session does");
        r.fail("not opened, it is damaged: not valid JSON at byte " + std::to_string(e.byte));
    } catch (const json::exception&) {
        // A number beyond what a double holds (1e400): valid JSON, but no session's.
        r.fail("not opened, it is damaged: it holds a number too large to read");
    }
    const auto format = file.find("format");
    if (!file.is_object() || format == file.end() || *format != kFormatName)
        r.fail("not opened, it is not a Vantel session file");
    const auto version = file.find("version");
    if (version == file.end() || !version->is_number_integer())
        r.fail("not opened, it has no version number");
    if (!version->is_number_unsigned() || version->get<uint64_t>() != kSessionVersion)
        r.fail("not opened, it is a session file of version " + version->dump() +
               "; this program reads version " + std::to_string(kSessionVersion));
    const auto checksum = file.find("checksum");
    const auto content = file.find("content");
    if (checksum == file.end() || !checksum->is_string() || content == file.end() ||
        !content->is_object())
        r.fail("not opened, it is damaged: its checksum or contents are missing");
    std::string canonical;
    try {
        canonical = content->dump();
    } catch (const json::exception&) {
        r.fail("not opened, it is damaged: its contents cannot be read");
    }
    if (*checksum != kChecksumPrefix + hex64(fnv1a64(canonical)))
        r.fail("not opened, it is damaged: its checksum does not match its contents");
    try {
        return r.content(*content);
    } catch (const json::exception& e) {
        // Only what the checks above let through reaches the library; should
        // anything slip past them it is still a refusal, never a crash.
        r.fail(std::string("not opened, it is damaged: ") + e.what());
    }
}

Session readSessionFile(const std::string& path) {
    const FileRead file = readRegularFile(path, kSessionMaxBytes);
    switch (file.fault) {
    case ReadFault::None:
        return parseSession(file.bytes, path);
    case ReadFault::Folder:
        throw SessionFileError(path + ": not opened, it is a folder");
    case ReadFault::NotAFile:
        throw SessionFileError(path + ": not opened, " + file.reason);
    case ReadFault::TooLarge:
        throw SessionFileError(path + ": not opened, it is " +
                               grouped(static_cast<uint64_t>(file.size)) +
                               " bytes long, more than a session file can be (" +
                               grouped(static_cast<uint64_t>(kSessionMaxBytes)) + ")");
    case ReadFault::Missing:
    case ReadFault::Unreadable:
        break;
    }
    throw SessionFileError(path + ": not opened, the file cannot be read");
}

} // namespace vantel

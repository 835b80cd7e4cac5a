// The spin-edit rules against the reference model: the input sets the bounds
// and a starting value, then plays typed characters, steps, value writes,
// reads and leaving; after every operation the text, the value read and the
// number of change notifications must agree.
#include "reference.h"
#include "spin_rules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    template <typename T> T take() {
        T v{};
        const size_t n = size < sizeof v ? size : sizeof v;
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
    bool empty() const { return size == 0; }
};

// Small bounds most of the time, so that clamps and steps meet the ends often.
int32_t bound(Input& in) {
    const uint8_t kind = in.take<uint8_t>();
    if (kind & 1) return in.take<int32_t>();
    return static_cast<int8_t>(in.take<uint8_t>());
}

[[noreturn]] void disagree(const char* what, const std::string& text, const std::string& ref) {
    std::fprintf(stderr, "%s: text '%s', reference '%s'\n", what, text.c_str(), ref.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    const vantel::SpinBounds bounds{bound(in), bound(in), bound(in)};
    const int32_t initial = bound(in);
    const uint32_t separator = in.take<uint8_t>() & 1 ? ',' : '.';

    vantel::SpinValue spin(bounds, initial);
    int changes = 0;
    spin.OnChange = [&] { ++changes; };
    reference::Spin ref{{bounds.min, bounds.max, bounds.increment},
                        std::to_string(reference::clamp({bounds.min, bounds.max, 0}, initial))};
    if (spin.text() != ref.text) disagree("initial", spin.text(), ref.text);

    for (int step = 0; step < 64 && !in.empty(); ++step) {
        const uint8_t op = in.take<uint8_t>() % 7;
        switch (op) {
        case 0: { // a typed character, inserted or (Backspace) deleting
            const uint32_t code = in.take<uint8_t>() & 1 ? in.take<uint16_t>() : in.take<uint8_t>();
            const size_t at = in.take<uint8_t>() % (spin.text().size() + 1);
            const bool accepted = vantel::spinAcceptsChar(code, separator);
            if (accepted != reference::acceptsChar(code, separator))
                disagree("key filter", std::to_string(code), "");
            if (!accepted) break;
            std::string t = spin.text();
            if (code == 8) {
                if (at > 0) t.erase(at - 1, 1);
            } else {
                t.insert(at, 1, static_cast<char>(code & 0x7F));
            }
            spin.setText(t);
            ref.setText(t);
            break;
        }
        case 1: { // a whole text (a paste)
            const size_t n = in.take<uint8_t>() % 16;
            std::string t;
            for (size_t i = 0; i < n && !in.empty(); ++i)
                t += static_cast<char>(in.take<uint8_t>());
            spin.setText(t);
            ref.setText(t);
            break;
        }
        case 2:
            spin.upStep();
            ref.up();
            break;
        case 3:
            spin.downStep();
            ref.down();
            break;
        case 4: {
            const int64_t v = in.take<uint8_t>() & 1 ? in.take<int64_t>() : in.take<int32_t>();
            spin.setValue(v);
            ref.write(v);
            break;
        }
        case 5:
            spin.leave();
            ref.leave();
            if (bounds.min < bounds.max) {
                const int32_t v = spin.value();
                if (v < bounds.min || v > bounds.max)
                    disagree("left out of range", spin.text(), "");
            }
            break;
        default:
            if (spin.value() != ref.read()) disagree("value", spin.text(), ref.text);
            break;
        }
        if (spin.text() != ref.text) disagree("text", spin.text(), ref.text);
        if (changes != ref.changes) disagree("change count", spin.text(), ref.text);
    }
    return 0;
}

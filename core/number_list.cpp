#include "number_list.h"

#include "int_convert.h"

namespace vantel {

NumberList NumberList::range(int first, int last) {
    NumberList list;
    for (int v = first; v <= last; ++v)
        list.append(v);
    return list;
}

NumberList NumberList::of(std::initializer_list<int64_t> values) {
    NumberList list;
    for (int64_t v : values)
        list.append(v);
    return list;
}

std::string NumberList::get(int i) const {
    if (i < 0 || i >= count()) return {};
    return m_lines[static_cast<size_t>(i)];
}

void NumberList::remove(int i) {
    if (i < 0 || i >= count()) return;
    m_lines.erase(m_lines.begin() + i);
}

int NumberList::indexOf(const std::string& line) const {
    for (int i = 0; i < count(); ++i)
        if (m_lines[static_cast<size_t>(i)] == line) return i;
    return -1;
}

std::vector<int> NumberList::values() const {
    std::vector<int> out;
    out.reserve(m_lines.size());
    for (const auto& line : m_lines)
        if (auto v = tryStrToInt(line)) out.push_back(*v);
    return out;
}

} // namespace vantel

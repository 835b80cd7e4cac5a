#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantel {

// An ordered list of decimal integers held as text lines. No operation fails:
// a line past the end reads as the empty text, deleting past the end does nothing.
class NumberList {
  public:
    NumberList() = default;
    // Lines first, first + 1, ..., last.
    static NumberList range(int first, int last);
    static NumberList of(std::initializer_list<int64_t> values);

    int count() const { return static_cast<int>(m_lines.size()); }
    std::string get(int i) const;
    void append(const std::string& line) { m_lines.push_back(line); }
    void append(int64_t value) { m_lines.push_back(std::to_string(value)); }
    void remove(int i);
    void clear() { m_lines.clear(); }
    void assign(const NumberList& other) { m_lines = other.m_lines; }
    int indexOf(const std::string& line) const;
    // Every line as an integer; lines that are not integers are skipped.
    std::vector<int> values() const;

    bool operator==(const NumberList& other) const { return m_lines == other.m_lines; }

  private:
    std::vector<std::string> m_lines;
};

} // namespace vantel

#pragma once

#include "remainder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vantel {

// An ordered list of decimal integers held as text lines. No operation fails:
// a line past the end reads as the empty text, deleting past the end does nothing.
//
// The lines are kept as numbers while every line is the decimal text of its
// number (all the tracker ever writes), so that reading, comparing and deleting
// lines costs no text; a line of any other text turns the list into text lines
// for good (the numbers then only keep the count).
class NumberList {
  public:
    NumberList() = default;
    // Lines first, first + 1, ..., last.
    static NumberList range(int first, int last);
    static NumberList of(std::initializer_list<int64_t> values);
    template <size_t N> static NumberList of(const std::array<int64_t, N>& values) {
        NumberList list;
        for (int64_t v : values)
            list.append(v);
        return list;
    }

    int count() const { return static_cast<int>(m_values.size()); }
    std::string get(int i) const;
    void append(const std::string& line);
    void append(int64_t value) {
        // Text lines and a full buffer take the long way, out of line, so that
        // the draw's appends stay short.
        if (m_asText || m_values.size() == m_values.capacity()) return appendSlowly(value);
        m_values.push_back(value);
    }
    void remove(int i) {
        if (i < 0 || i >= count()) return;
        if (m_asText) m_lines.erase(m_lines.begin() + i);
        m_values.erase(m_values.begin() + i);
    }
    void clear() {
        m_values.clear();
        m_lines.clear();
        m_asText = false;
    }
    void assign(const NumberList& other) {
        if (this == &other) return;
        if (m_asText || other.m_asText) return assignText(other);
        // One copy into the room the list already has (copy-assigning copies
        // the lines it holds and the rest apart).
        m_values.clear();
        m_values.insert(m_values.end(), other.m_values.begin(), other.m_values.end());
    }
    int indexOf(const std::string& line) const;
    // Every line as an integer; lines that are not integers are skipped.
    std::vector<int> values() const;

    // Line i read as an integer, as tryStrToInt(get(i)) reads it.
    std::optional<int32_t> intAt(int i) const {
        if (i < 0 || i >= count()) return std::nullopt;
        if (m_asText) return textIntAt(i);
        const int64_t v = m_values[static_cast<size_t>(i)];
        if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(v);
    }
    // Line x % count() (x >= 0, the list not empty; the line's index given in
    // index) read as intAt reads it and, when it is an integer, deleted and
    // given in value; false, and the list unchanged, when it is not. How the
    // draw picks a line at random.
    bool takeIntAtRemainder(int32_t x, int& index, int32_t& value) {
        const int i = remainderOf(x, count());
        index = i;
        if (m_asText) return textTakeIntAt(i, value);
        int64_t* line = m_values.data() + i;
        const int64_t v = *line;
        if (v < INT32_MIN || v > INT32_MAX) return false;
        // The lines after it move up, two at a time (the lists are short, and
        // a call to memmove would cost more than the moves).
        for (int64_t* const last = m_values.data() + m_values.size() - 1; line < last; ++line)
            line[0] = line[1];
        m_values.pop_back();
        value = static_cast<int32_t>(v);
        return true;
    }
    // Whether line i is the decimal text of v: get(i) == IntToStr(v).
    bool holds(int i, int64_t v) const {
        if (i < 0 || i >= count()) return false;
        if (m_asText) return textHolds(i, v);
        return m_values[static_cast<size_t>(i)] == v;
    }

    // How many lines hold v: the lines i for which holds(i, v).
    int countHolding(int64_t v) const {
        if (m_asText) return textCountHolding(v);
        const int64_t* line = m_values.data();
        const int64_t* const end = line + m_values.size();
        int64_t n = 0;
#ifdef __SSE2__
        // Two lines at a time. SSE2 compares 32-bit halves: a line holds v when
        // both of its halves match, and each one that does subtracts -1.
        const __m128i want = _mm_set1_epi64x(v);
        __m128i held = _mm_setzero_si128();
        for (; end - line >= 2; line += 2) {
            const __m128i same =
                _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(line)), want);
            held = _mm_sub_epi64(held, _mm_and_si128(same, _mm_shuffle_epi32(same, 0xB1)));
        }
        n = _mm_cvtsi128_si64(held) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(held, held));
#endif
        for (; line != end; ++line)
            n += *line == v;
        return static_cast<int>(n);
    }

    bool operator==(const NumberList& other) const;

    // Memory the lines hold outside the object (an estimate for text lines:
    // one string object per line, short texts held in place).
    size_t lineBytes() const;

  private:
    void appendSlowly(int64_t value);
    bool textTakeIntAt(int i, int32_t& value);
    void toText();
    void assignText(const NumberList& other);
    std::optional<int32_t> textIntAt(int i) const;
    bool textHolds(int i, int64_t v) const;
    int textCountHolding(int64_t v) const;

    std::vector<int64_t> m_values;
    std::vector<std::string> m_lines;
    bool m_asText = false;
};

} // namespace vantel

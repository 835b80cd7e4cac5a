#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantel {

// The board: the numbers 0 to 36; 0 is green, the 18 below red, the rest black.
constexpr int kHighestNumber = 36;
constexpr int kBoardNumbers = kHighestNumber + 1;
constexpr std::array<int, 18> kRedNumbers = {1,  3,  5,  7,  9,  12, 14, 16, 18,
                                             19, 21, 23, 25, 27, 30, 32, 34, 36};

enum class NumberColour { Green, Red, Black };

constexpr std::array<NumberColour, kBoardNumbers> kNumberColours = [] {
    std::array<NumberColour, kBoardNumbers> colours{};
    for (NumberColour& c : colours)
        c = NumberColour::Black;
    for (int red : kRedNumbers)
        colours[static_cast<std::size_t>(red)] = NumberColour::Red;
    colours[0] = NumberColour::Green;
    return colours;
}();

// The colour of board number n (0..36).
constexpr NumberColour colourOf(int n) {
    return kNumberColours[static_cast<std::size_t>(n)];
}
constexpr bool isRed(int n) {
    return n >= 1 && n <= kHighestNumber && colourOf(n) == NumberColour::Red;
}

} // namespace vantel

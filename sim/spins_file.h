#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantel::sim {

// A file, or a line of it, that cannot be used as recorded spins. The message
// names the file and, for a bad line, its number and text.
class SpinsFileError : public std::runtime_error {
  public:
    SpinsFileError(const std::string& message, int line)
        : std::runtime_error(message), m_line(line) {}
    // The 1-based line at fault, or 0 when the file as a whole is.
    int line() const { return m_line; }

  private:
    int m_line;
};

// Reads recorded spins: one number from 0 to 36 a line. Blank lines are
// skipped, and "#" starts a comment that runs to the end of its line.
// Everything is checked before anything is returned.
std::vector<int> parseSpins(const std::string& text, const std::string& fileName);
// The spins of a file that is either recorded spins as above or a saved
// session (whose text opens a JSON object): a session gives the spins entered
// in it, and is refused whole as the window would refuse it.
std::vector<int> spinsOfText(const std::string& text, const std::string& fileName);
// The longest spins file read: a million spins of two digits with their
// line ends, and room for comments.
constexpr uint64_t kSpinsFileMaxBytes = uint64_t{64} << 20;
// Reads the file at path as above. Only a regular file is read (never a pipe,
// device or socket, which could keep the reader waiting), and only up to
// kSpinsFileMaxBytes.
std::vector<int> readSpinsFile(const std::string& path);

} // namespace vantel::sim

#pragma once

// What vantel-sim's --help says below its options, and so its manual page
// (made from --help): what each line of the report means, the chart, --exact,
// and the exit statuses.
#include <string>

namespace vantel::sim {

const std::string& simHelpFooter();

} // namespace vantel::sim

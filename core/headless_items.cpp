#include "headless_items.h"

namespace vantel {

HeadlessItems::HeadlessItems() = default;

} // namespace vantel

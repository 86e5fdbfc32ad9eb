#include "library/name_order.h"

namespace tesmar {

int ExplorerCompare(std::u16string_view a, std::u16string_view b) { return LogicalCompare(a, b); }

}  // namespace tesmar

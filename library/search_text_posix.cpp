#include "library/search_text.h"

namespace tesmar {

std::u16string FoldForSearch(std::u16string_view text) { return PortableSearchFold(text); }

}  // namespace tesmar

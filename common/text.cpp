#include "common/text.h"

namespace quillon {

std::wstring FoldedAZ(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) c = FoldAZ(c);
    return folded;
}

int CompareFoldedAZ(std::wstring_view a, std::wstring_view b) noexcept {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(FoldAZ(a[i])) - static_cast<int>(FoldAZ(b[i]));
        if (d != 0) return d;
    }
    // A text that is a prefix of the other compares as if followed by its terminating NUL.
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -static_cast<int>(FoldAZ(b[n])) : static_cast<int>(FoldAZ(a[n]));
}

}  // namespace quillon

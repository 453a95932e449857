#pragma once
#include <optional>

namespace ZoomStep {
// The next zoom percent from the page's last one: raised to 15 first, then 10 up or down.
// None when the step would leave the 16-bit range the percent is kept in.
inline std::optional<int> next(int current, bool in)
{
    const int from = current < 15 ? 15 : current;
    const int to = in ? from + 10 : from - 10;
    if (to > 32767 || to < -32768)
        return std::nullopt;
    return to;
}
} // namespace ZoomStep

#include "views/charts/trend_history.h"

#include <algorithm>

namespace views::charts {

bool TrendHistory::sample(std::int64_t nowSeconds, const std::vector<double>& values) {
    std::int64_t elapsed = kSamples - 1;
    if (last_) {
        if (nowSeconds - *last_ < 1) return false;
        elapsed = std::min<std::int64_t>(nowSeconds - *last_, kSamples - 1);
    }
    last_ = nowSeconds;
    const auto shift = static_cast<std::size_t>(elapsed);
    for (std::size_t p = 0; p < histories_.size(); ++p) {
        auto& history = histories_[p];
        std::rotate(history.begin(), history.begin() + static_cast<std::ptrdiff_t>(shift), history.end());
        const double value = p < values.size() ? values[p] : 0.0;
        std::fill(history.end() - static_cast<std::ptrdiff_t>(shift), history.end(), value);
    }
    return true;
}

ValueWindow visibleRange(double minimum, double maximum, double lowerPercent, double upperPercent) {
    const double span = maximum - minimum;
    return {minimum + lowerPercent * 0.01 * span, maximum - (100.0 - upperPercent) * 0.01 * span};
}

std::array<SignaturePoint, 9> signaturePoints(const std::array<double, 9>& first,
                                              const std::array<double, 9>& second,
                                              double lowerBound, double upperBound) {
    const double low = lowerBound * 0.004;
    const double high = upperBound * 0.004;
    std::array<SignaturePoint, 9> points{};
    for (std::size_t j = 0; j < points.size(); ++j) {
        points[j] = {12.5 * static_cast<double>(j), low + (high - low) * first[j] / 255.0,
                     low + (high - low) * second[j] / 255.0};
    }
    return points;
}

}  // namespace views::charts

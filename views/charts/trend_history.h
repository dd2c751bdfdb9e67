#pragma once
// The trend chart's samples: 301 per parameter, one a second at most. A new
// sample shifts every history left by the seconds elapsed (at most 300) and
// fills the freed slots with the current values.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace views::charts {

class TrendHistory {
public:
    static constexpr int kSamples = 301;

    explicit TrendHistory(std::size_t parameters) : histories_(parameters) {
        for (auto& history : histories_) history.fill(0.0);
    }

    // Takes the values at `nowSeconds`; false (nothing taken) when less than
    // a second has passed since the last sample. `values` holds one value per
    // parameter.
    bool sample(std::int64_t nowSeconds, const std::vector<double>& values);

    const std::array<double, kSamples>& history(std::size_t parameter) const {
        return histories_.at(parameter);
    }
    std::optional<std::int64_t> lastSample() const { return last_; }
    std::size_t parameters() const { return histories_.size(); }

private:
    std::vector<std::array<double, kSamples>> histories_;
    std::optional<std::int64_t> last_;
};

// The visible value range: lower and upper in percent of the span.
struct ValueWindow {
    double low = 0;
    double high = 0;
};
ValueWindow visibleRange(double minimum, double maximum, double lowerPercent, double upperPercent);

// Signature points: x = 12.5 × j, y = low + (high − low) × s / 255 with the
// bounds scaled by 0.004.
struct SignaturePoint {
    double x = 0;
    double y1 = 0;
    double y2 = 0;
};
std::array<SignaturePoint, 9> signaturePoints(const std::array<double, 9>& first,
                                              const std::array<double, 9>& second,
                                              double lowerBound, double upperBound);

}  // namespace views::charts

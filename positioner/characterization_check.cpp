#include "positioner/characterization_check.h"

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "positioner/message_format.h"

namespace positioner {

namespace {

constexpr double kEndMarker = 255;            // x from here on ends the characteristic
constexpr double kPercentPerStep = 0.390625;  // 100 / 256
constexpr double kLowestSlope = 0.08;
constexpr double kHighestSlope = 12;
constexpr double kMostSlopeRise = 3;
constexpr double kMostSlopeFall = 0.3;
constexpr std::size_t kMessageLength = 199;

struct Point {
    double x = 0;
    double y = 0;
};
using Points = std::array<Point, ids::kCharacteristicPoints.size()>;

std::string pointText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%3.2f", value);
    return text;
}

Points readPoints(const EngineLink& engine) {
    Points points;
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i] = {engine.getNumber(ids::kCharacteristicPoints[i].x),
                     engine.getNumber(ids::kCharacteristicPoints[i].y)};
    }
    return points;
}

void writePoint(EngineLink& engine, const Points& points, std::size_t i) {
    engine.set(ids::kCharacteristicPoints[i].x, pointText(points[i].x));
    engine.set(ids::kCharacteristicPoints[i].y, pointText(points[i].y));
}

// Passes over neighbouring points up to the end marker, until one swaps nothing.
void sortPoints(EngineLink& engine, Points& points) {
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            if (points[i].x >= kEndMarker || points[i + 1].x >= kEndMarker) break;
            if (points[i].x <= points[i + 1].x) continue;
            std::swap(points[i], points[i + 1]);
            writePoint(engine, points, i);
            writePoint(engine, points, i + 1);
            swapped = true;
        }
    }
}

// The reason why the segment from start to end fails, or null.
const char* segmentFault(const Point& start, const Point& end, double& previousSlope, bool first) {
    if (end.x == start.x) return "InvalidSegmentSameX";
    const double slope = (end.y - start.y) / (end.x - start.x);
    if (first) previousSlope = slope;
    if (slope < kLowestSlope) return "InvalidSegmentLowSlope";
    if (slope > kHighestSlope) return "InvalidSegmentHighSlope";
    const double change = slope / previousSlope;
    if (change > kMostSlopeRise) return "InvalidSegmentSlopeChangeTooMuch";
    if (change < kMostSlopeFall) return "InvalidSegmentSlopeChangeTooSlow";
    previousSlope = slope;
    return nullptr;
}

}  // namespace

bool checkCharacteristic(EngineLink& engine) {
    Points points = readPoints(engine);
    sortPoints(engine, points);
    double previousSlope = 0;
    for (std::size_t q = 0; q < points.size(); ++q) {
        const Point start = q == 0 ? Point{} : points[q - 1];
        if (start.x >= kEndMarker) {
            points[q].y = kEndMarker;
            engine.set(ids::kCharacteristicPoints[q].y, pointText(kEndMarker));
            continue;
        }
        const char* fault = segmentFault(start, points[q], previousSlope, q == 0);
        if (fault == nullptr) continue;
        const double percent = (q == 0 ? points[0].x : start.x) * kPercentPerStep;
        const std::string text = formatWithNumber(engine.translate(fault), percent);
        engine.messageBox(cutToCharacters(text, kMessageLength), kMessageOk);
        return false;
    }
    return true;
}

}  // namespace positioner

#include "engine/parameters/date_time_parameter.h"

#include "engine/parameters/device_object.h"
#include "engine/parameters/wire_coding.h"

namespace engine {
namespace {

// The year range that three device bytes can carry.
constexpr int kFirstWireYear = 1900;
constexpr int kLastWireYear = 1900 + 255;

}  // namespace

DateTimeParameter::DateTimeParameter(const ParameterSpec& spec) : ValueParameter(spec) {}

std::string DateTimeParameter::getValueText(int mode) const {
    const DateTimeFormat& format = owner().dateTimeFormat();
    switch (kind()) {
        case ParameterKind::Date:
            if (isDeviceMode(mode)) return wire::encodeDate({date_.day, date_.month, date_.year});
            return format.formatDate(date_);
        case ParameterKind::Time:
            return isDeviceMode(mode) ? std::string() : format.formatTime(time_);
        default:
            return isDeviceMode(mode) ? std::string() : format.formatDateTime(date_, time_);
    }
}

void DateTimeParameter::setValueText(std::string_view text, int mode) {
    if (isDeviceMode(mode)) {
        setDeviceText(text);
    } else {
        setDisplayText(text);
    }
}

void DateTimeParameter::setDisplayText(std::string_view text) {
    const DateTimeFormat& format = owner().dateTimeFormat();
    CalendarDate date = date_;
    TimeOfDay time = time_;
    if (kind() == ParameterKind::Date) {
        const std::optional<CalendarDate> parsed = format.parseDate(text);
        if (!parsed || parsed->year < kFirstWireYear || parsed->year > kLastWireYear) {
            return refuseValue();
        }
        date = *parsed;
    } else if (kind() == ParameterKind::Time) {
        const std::optional<TimeOfDay> parsed = format.parseTime(text);
        if (!parsed) return refuseValue();
        time = *parsed;
    } else {
        const auto parsed = format.parseDateTime(text);
        if (!parsed) return refuseValue();
        date = parsed->first;
        time = parsed->second;
    }
    takeValue(!(date == date_) || !(time == time_), false, [&] {
        date_ = date;
        time_ = time;
    });
}

void DateTimeParameter::setDeviceText(std::string_view text) {
    if (kind() != ParameterKind::Date) return;  // the time kinds have no device coding
    wire::WireDate wire{date_.day, date_.month, date_.year};
    wire::decodeDate(text, wire);
    const CalendarDate date{wire.year, wire.month, wire.day};
    takeValue(!(date == date_), true, [&] { date_ = date; });
}

size_t DateTimeParameter::wireByteCount() const {
    if (kind() != ParameterKind::Date) return 0;
    const int size = describedSize();
    return size > 0 ? static_cast<size_t>(size) : 3;
}

}  // namespace engine

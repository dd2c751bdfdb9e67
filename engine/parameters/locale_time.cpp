#include "engine/parameters/locale_time.h"

#include <langinfo.h>
#include <time.h>

#include <chrono>
#include <vector>

namespace engine {
namespace {

// Short-date patterns of some locales write a two-digit year; a four-digit
// one keeps every date readable back.
std::string withFullYear(std::string pattern) {
    for (size_t pos = 0; (pos = pattern.find('%', pos)) != std::string::npos; pos += 2) {
        if (pos + 1 >= pattern.size()) break;
        if (pattern[pos + 1] == 'y') {
            pattern[pos + 1] = 'Y';
        } else if (pattern[pos + 1] == 'D') {
            pattern.replace(pos, 2, "%m/%d/%Y");
            pos += 6;
        }
    }
    return pattern;
}

bool validDate(const CalendarDate& d) {
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= 31;
}

bool validTime(const TimeOfDay& t) {
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59;
}

struct tm toTm(const CalendarDate& date, const TimeOfDay& time) {
    struct tm value {};
    value.tm_year = date.year - 1900;
    value.tm_mon = date.month - 1;
    value.tm_mday = date.day;
    value.tm_hour = time.hour;
    value.tm_min = time.minute;
    value.tm_sec = time.second;
    const std::chrono::year_month_day ymd{std::chrono::year(date.year),
                                          std::chrono::month(static_cast<unsigned>(date.month)),
                                          std::chrono::day(static_cast<unsigned>(date.day))};
    if (ymd.ok()) {
        const std::chrono::sys_days days(ymd);
        value.tm_wday = static_cast<int>(std::chrono::weekday(days).c_encoding());
        const std::chrono::sys_days newYear(std::chrono::year(date.year) / 1 / 1);
        value.tm_yday = static_cast<int>((days - newYear).count());
    }
    return value;
}

}  // namespace

DateTimeFormat::DateTimeFormat(const char* localeName) {
    locale_ = newlocale(LC_ALL_MASK, localeName, static_cast<locale_t>(nullptr));
    if (locale_ == static_cast<locale_t>(nullptr)) {
        locale_ = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    }
    dateFormat_ = withFullYear(nl_langinfo_l(D_FMT, locale_));
    timeFormat_ = nl_langinfo_l(T_FMT, locale_);
    if (dateFormat_.empty()) dateFormat_ = "%m/%d/%Y";
    if (timeFormat_.empty()) timeFormat_ = "%H:%M:%S";
}

DateTimeFormat::~DateTimeFormat() {
    if (locale_ != static_cast<locale_t>(nullptr)) freelocale(locale_);
}

const DateTimeFormat& DateTimeFormat::userDefault() {
    static const DateTimeFormat format("");
    return format;
}

std::string DateTimeFormat::format(const std::string& pattern, const CalendarDate& date,
                                   const TimeOfDay& time) const {
    const struct tm value = toTm(date, time);
    std::vector<char> buffer(64);
    while (buffer.size() <= 65536) {
        const size_t length = strftime_l(buffer.data(), buffer.size(), pattern.c_str(), &value,
                                         locale_);
        if (length > 0) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
    return {};
}

std::optional<std::pair<CalendarDate, TimeOfDay>> DateTimeFormat::parse(
    const std::string& pattern, std::string_view text) const {
    const std::string input(text);
    struct tm value {};
    value.tm_mday = 1;
    const char* end = strptime_l(input.c_str(), pattern.c_str(), &value, locale_);
    if (end == nullptr) return std::nullopt;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return std::nullopt;
    CalendarDate date{value.tm_year + 1900, value.tm_mon + 1, value.tm_mday};
    TimeOfDay time{value.tm_hour, value.tm_min, value.tm_sec};
    if (!validDate(date) || !validTime(time)) return std::nullopt;
    return std::make_pair(date, time);
}

std::string DateTimeFormat::formatDate(const CalendarDate& date) const {
    return format(dateFormat_, date, {});
}

std::optional<CalendarDate> DateTimeFormat::parseDate(std::string_view text) const {
    auto parsed = parse(dateFormat_, text);
    if (!parsed) return std::nullopt;
    return parsed->first;
}

std::string DateTimeFormat::formatTime(const TimeOfDay& time) const {
    return format(timeFormat_, {}, time);
}

std::optional<TimeOfDay> DateTimeFormat::parseTime(std::string_view text) const {
    auto parsed = parse(timeFormat_, text);
    if (!parsed) return std::nullopt;
    return parsed->second;
}

std::string DateTimeFormat::formatDateTime(const CalendarDate& date, const TimeOfDay& time) const {
    return format(dateFormat_ + " " + timeFormat_, date, time);
}

std::optional<std::pair<CalendarDate, TimeOfDay>> DateTimeFormat::parseDateTime(
    std::string_view text) const {
    return parse(dateFormat_ + " " + timeFormat_, text);
}

}  // namespace engine

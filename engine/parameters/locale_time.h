#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <locale.h>

namespace engine {

struct CalendarDate {
    int year = 1900;
    int month = 1;
    int day = 1;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

// Date and time texts in the short formats of one locale. The year is always
// written with four digits, so that a text reads back to the same date.
// Parsing accepts exactly the locale's format (blanks around it allowed) and
// refuses impossible fields (month 13, minute 60, day 0).
class DateTimeFormat {
public:
    // The formats of the named locale ("" for the user's default from the
    // environment); the "C" formats when that locale is not available.
    explicit DateTimeFormat(const char* localeName);
    ~DateTimeFormat();
    DateTimeFormat(const DateTimeFormat&) = delete;
    DateTimeFormat& operator=(const DateTimeFormat&) = delete;

    // The user's default formats, read once from the environment.
    static const DateTimeFormat& userDefault();

    std::string formatDate(const CalendarDate& date) const;
    std::optional<CalendarDate> parseDate(std::string_view text) const;
    std::string formatTime(const TimeOfDay& time) const;
    std::optional<TimeOfDay> parseTime(std::string_view text) const;
    // The date, a blank and the time.
    std::string formatDateTime(const CalendarDate& date, const TimeOfDay& time) const;
    std::optional<std::pair<CalendarDate, TimeOfDay>> parseDateTime(std::string_view text) const;

    const std::string& dateFormat() const { return dateFormat_; }
    const std::string& timeFormat() const { return timeFormat_; }

private:
    std::string format(const std::string& pattern, const CalendarDate& date,
                       const TimeOfDay& time) const;
    std::optional<std::pair<CalendarDate, TimeOfDay>> parse(const std::string& pattern,
                                                            std::string_view text) const;

    locale_t locale_;
    std::string dateFormat_;
    std::string timeFormat_;
};

}  // namespace engine

#include "engine/parameters/locale_time.h"

#include <gtest/gtest.h>

namespace engine {
namespace {

TEST(ParameterDateTimeFormat, CLocaleWritesFourDigitYears) {
    const DateTimeFormat format("C");
    EXPECT_EQ(format.dateFormat(), "%m/%d/%Y");
    EXPECT_EQ(format.formatDate({1950, 3, 7}), "03/07/1950");
    EXPECT_EQ(format.parseDate("03/07/1950"), (CalendarDate{1950, 3, 7}));
    EXPECT_EQ(format.formatTime({9, 5, 0}), "09:05:00");
    EXPECT_EQ(format.formatDateTime({2024, 12, 24}, {23, 59, 58}), "12/24/2024 23:59:58");
}

TEST(ParameterDateTimeFormat, ParsingRefusesWhatIsNotADateOrTime) {
    const DateTimeFormat format("C");
    const char* badDates[] = {"", "12/24", "13/01/2024", "00/10/2024", "12/24/2024 extra", "x"};
    for (const char* text : badDates) EXPECT_FALSE(format.parseDate(text)) << text;
    const char* badTimes[] = {"24:00:00", "12:60:00", "noon", "12:00"};
    for (const char* text : badTimes) EXPECT_FALSE(format.parseTime(text)) << text;
    EXPECT_EQ(format.parseTime(" 12:30:15 "), (TimeOfDay{12, 30, 15}));
    EXPECT_FALSE(format.parseDateTime("12/24/2024"));
}

}  // namespace
}  // namespace engine

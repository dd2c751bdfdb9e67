#pragma once

#include "engine/parameters/locale_time.h"
#include "engine/parameters/value_parameter.h"

namespace engine {

// "date", "time" and "time_date". Display texts use the owner's date and time
// formats (the user's default locale); a text that does not parse sets
// outOfRange. Only the date has a device text: day, month and year - 1900 as
// three bytes. The time kinds answer an empty device text and ignore device
// texts.
class DateTimeParameter : public ValueParameter {
public:
    explicit DateTimeParameter(const ParameterSpec& spec);

    const CalendarDate& date() const { return date_; }
    const TimeOfDay& time() const { return time_; }

    std::string getValueText(int mode) const override;
    void setValueText(std::string_view text, int mode) override;
    size_t wireByteCount() const override;

private:
    void setDisplayText(std::string_view text);
    void setDeviceText(std::string_view text);

    CalendarDate date_;
    TimeOfDay time_;
};

}  // namespace engine

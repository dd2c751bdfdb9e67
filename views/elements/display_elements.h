#pragma once
// The elements that only show: panel, group box, text element, bitmap and
// state box (whose click is the one thing the user does with it).

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <string>

#include "views/elements/viewing_element.h"

namespace views::elements {

// The text a text element or caption shows for its label key: "ParaName",
// "ParaDescription", "ParaValue", "ParaMinRange", "ParaMaxRange" read from
// the parameter, any other key the key itself; translated afterwards.
std::string keyText(const EngineCalls& engine, std::string_view key, std::int32_t id,
                    std::string_view format);

// A plain container of elements.
class Panel : public CZorViewingElement {
public:
    void create(bool hidden);
};

// A framed box around elements; its caption follows the label key like a
// text element ("ParaValue" as value and unit).
class GroupBox : public CZorViewingElement {
public:
    void create(std::string key, std::int32_t id);
    void onChanged(std::int32_t id) override;

private:
    QGroupBox* box_ = nullptr;
};

// One attribute of a parameter, or a fixed translated label.
class TextElement : public CZorViewingElement {
public:
    void create(std::string key, std::int32_t id, std::string format, bool rightAligned);
    void onChanged(std::int32_t id) override;
    QString shownText() const;

private:
    QLabel* label_ = nullptr;
};

// A bitmap file from the view's bitmap directory; empty when it does not load.
class BitmapElement : public CZorViewingElement {
public:
    // `name` begins with "\"; the separator becomes the platform's.
    void create(std::string name);
    bool loaded() const { return loaded_; }

private:
    bool loaded_ = false;
};

// The path a bitmap name stands for in a bitmap directory.
std::string bitmapPath(std::string_view directory, std::string_view name);

// A check box ticked by the program when the parameter meets the condition.
// A click writes "0" (a ticked two-state box) or the condition and hands the
// script to the engine.
class StateBox : public CZorViewingElement {
public:
    void create(std::string key, std::int32_t id, std::string condition, std::string script,
                bool withCaption, bool readOnly);
    void onChanged(std::int32_t id) override;
    void click();
    bool ticked() const;

private:
    QCheckBox* box_ = nullptr;
    std::string condition_;
    std::string script_;
    bool readOnly_ = false;
};

}  // namespace views::elements

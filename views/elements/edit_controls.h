#pragma once
// The elements the user edits or presses: value field, enumeration box and
// row, action button.

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <string>

#include "views/elements/viewing_element.h"

namespace views::elements {

// One line of text for a parameter value. While it has the focus (editing)
// incoming changes leave the text alone; a change of the text that the
// program did not make itself is committed to the engine at once.
class ValueField : public CZorViewingElement {
public:
    ~ValueField() override;
    void create(std::int32_t id, std::string format, bool readOnly, bool noScaling);
    void onChanged(std::int32_t id) override;

    // The control's notifications, also driven by the frame's commands.
    void focusGained();
    void focusLost();
    void textChanged();

    QLineEdit* edit() const { return edit_; }
    bool editing() const { return editing_; }

private:
    void showEngineValue();
    void commit(const std::string& text);

    QLineEdit* edit_ = nullptr;
    QPointer<QObject> focusWatch_;  // a FocusWatch; goes with the line edit
    bool readOnly_ = false;
    bool noScaling_ = false;
    bool editing_ = false;
    // True while the program itself sets the text: that change is no typing.
    bool programSetsText_ = false;
};

// A drop-down list of the entries of the parameter's range.
class EnumBox : public CZorViewingElement {
public:
    void create(std::string labelKey, std::int32_t id, std::string format, bool editable);
    void onChanged(std::int32_t id) override;
    // The user picked the entry at index.
    void chosen(int index);
    // The user typed into the edit part (editable boxes).
    void typed(const QString& text);
    QComboBox* box() const { return box_; }

private:
    QComboBox* box_ = nullptr;
    bool programSelects_ = false;
};

// The parameter's name on the left half and its enumeration box on the right.
class EnumRow : public CZorViewingElement {
public:
    void create(std::string labelKey, std::int32_t id, std::string format, bool editable, int split);
};

// A push button that hands its script to the engine; enabled while the
// enable parameter (when greater than 0) is valid.
class ActionButton : public CZorViewingElement {
public:
    void create(std::string captionKey, std::string script, std::int32_t enableId);
    void onChanged(std::int32_t id) override;
    void press();
    QPushButton* button() const { return button_; }

private:
    QPushButton* button_ = nullptr;
    std::string script_;
    std::int32_t enableId_ = 0;
};

}  // namespace views::elements

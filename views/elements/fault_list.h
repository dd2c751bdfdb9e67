#pragma once
// The fault list: one row per observed parameter, "TITLE: LABEL" with an
// icon chosen by the value, rows with the greater value text first.

#include <QTreeWidget>
#include <span>
#include <string>
#include <vector>

#include "views/elements/viewing_element.h"

namespace views::elements {

class FaultList : public CZorViewingElement {
public:
    // `rowKeys[i]` titles the row of ids[i]; empty or missing: the name.
    void create(std::span<const std::int32_t> ids, std::vector<std::string> rowKeys = {});
    void onChanged(std::int32_t id) override;
    // The rows' texts from top to bottom.
    std::vector<std::string> rowTexts() const;

private:
    QTreeWidget* list_ = nullptr;
    std::vector<std::int32_t> observed_;
    std::vector<std::string> rowKeys_;
};

}  // namespace views::elements

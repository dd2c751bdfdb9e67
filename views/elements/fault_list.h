#pragma once
// The fault list: one row per observed parameter, "TITLE: LABEL" with an
// icon chosen by the value, rows with the greater value text first.

#include <QTreeWidget>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/loop/timer_host.h"
#include "views/elements/viewing_element.h"

namespace views::elements {

class FaultList : public CZorViewingElement {
public:
    // `rowKeys[i]` titles the row of ids[i]; empty or missing: the name.
    void create(std::span<const std::int32_t> ids, std::vector<std::string> rowKeys = {});
    void onChanged(std::int32_t id) override;
    // The rows' texts from top to bottom.
    std::vector<std::string> rowTexts() const;
    // The key the sort reads for a row.
    const FaultRowKey* sortKey(std::int32_t id) const;

private:
    // Sorts the rows; after a burst of changes once, on the apartment loop.
    void sortRows();
    void scheduleSort();

    QTreeWidget* list_ = nullptr;
    std::unique_ptr<hartdtm::loop::TimerHost> sortTimer_;
    std::vector<std::int32_t> observed_;
    std::vector<std::string> rowKeys_;
    std::map<std::int32_t, FaultRowKey> sortKeys_;  // by parameter id
};

}  // namespace views::elements

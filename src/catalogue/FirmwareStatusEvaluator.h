#pragma once

#include "records/DisplayEntry.h"

#include <functional>

class FirmwareDatabase;

// Matches display rows to their firmware release and decides each row's firmware status, copying
// the release's update settings into the row. Holds no state beyond the database it reads and the
// legacy-model setting; every call recomputes the rows from their current contents.
class FirmwareStatusEvaluator
{
public:
    explicit FirmwareStatusEvaluator(const FirmwareDatabase &database, bool legacySupport = false);

    void setLegacySupport(bool on);
    bool legacySupport() const;

    // Finds releases by walking the whole catalogue instead of through its model index; the
    // reference the indexed lookup is measured and checked against.
    void setLinearLookup(bool on);

    // Every row in table order; rowEvaluated (when set) is called after each row with its index,
    // including rows for which no release was found.
    void evaluateFirmwareStatus(DisplayEntryList &rows, bool autoSelect,
                                const std::function<void(int)> &rowEvaluated = {}) const;
    void evaluateRow(DisplayEntry &row, bool autoSelect) const;

private:
    const FirmwareDatabase &m_database;
    bool m_legacySupport = false;
    bool m_linearLookup = false;
};

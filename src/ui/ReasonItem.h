#pragma once

#include "ReportScorer.h"

#include <QTreeWidgetItem>

namespace norvale {

// One row of the reason list: points, type, description and rule name of the
// reason with the given index (counted from 1). The row's key, "k" and the
// index, is kept in KeyRole of column 0 so the row names its reason whatever
// the order. Sorted by the points column the rows go by value (2 before 12);
// the other columns sort as text.
class ReasonItem : public QTreeWidgetItem
{
public:
    static constexpr int KeyRole = Qt::UserRole;
    enum Column
    {
        PointsColumn,
        TypeColumn,
        DescriptionColumn,
        RuleColumn
    };

    ReasonItem(int index, const Reason &reason);

    QString key() const;
    float points() const { return m_points; }
    bool operator<(const QTreeWidgetItem &other) const override;

private:
    float m_points = 0.0f;
};

} // namespace norvale

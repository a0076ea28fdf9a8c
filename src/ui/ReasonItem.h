#pragma once

#include "ReportScorer.h"

#include <QTreeWidgetItem>

namespace norvale {

// One row of the reason list: points, type, description and rule name of the
// reason with the given index (counted from 1). The row's key, "k" and the
// index, is kept in KeyRole of column 0 so the row names its reason whatever
// the order. Sorted by the points column the rows go by value (2 before 12);
// the other columns sort as text.
//
// A cell shows at most ListChars characters of its field and the details box
// at most DetailChars, each cut with an ellipsis: a report field can be
// megabytes long, and laying that out froze the window for seconds. The
// report and norvale-check's JSON keep the whole text.
class ReasonItem : public QTreeWidgetItem
{
public:
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr qsizetype ListChars = 300;
    static constexpr qsizetype DetailChars = 3000;
    enum Column
    {
        PointsColumn,
        TypeColumn,
        DescriptionColumn,
        RuleColumn
    };

    ReasonItem(int index, const Reason &reason);

    QString key() const;
    // The column's field as the details box shows it.
    QString detailText(int column) const;
    float points() const { return m_points; }
    bool operator<(const QTreeWidgetItem &other) const override;

private:
    float m_points = 0.0f;
    Reason m_reason;
};

} // namespace norvale

#include "ReasonItem.h"

#include "Numbers.h"

#include <QTreeWidget>

namespace norvale {

ReasonItem::ReasonItem(int index, const Reason &reason)
    : QTreeWidgetItem(QTreeWidgetItem::UserType)
    , m_points(reason.points)
{
    setText(PointsColumn, FormatUserNumber(reason.points));
    setText(TypeColumn, reason.type);
    setText(DescriptionColumn, reason.description);
    setText(RuleColumn, reason.ruleName);
    setData(PointsColumn, KeyRole, QStringLiteral("k%1").arg(index));
}

QString ReasonItem::key() const
{
    return data(PointsColumn, KeyRole).toString();
}

bool ReasonItem::operator<(const QTreeWidgetItem &other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : PointsColumn;
    if (column == PointsColumn && other.type() == QTreeWidgetItem::UserType)
        return m_points < static_cast<const ReasonItem &>(other).m_points;
    return QTreeWidgetItem::operator<(other);
}

} // namespace norvale

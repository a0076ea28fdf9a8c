#include "ReasonItem.h"

#include "Numbers.h"
#include "Text.h"

#include <QTreeWidget>

namespace norvale {

ReasonItem::ReasonItem(int index, const Reason &reason)
    : QTreeWidgetItem(QTreeWidgetItem::UserType)
    , m_points(reason.points)
    , m_reason(reason)
{
    setText(PointsColumn, FormatUserNumber(reason.points));
    setText(TypeColumn, ElideText(reason.type, ListChars));
    setText(DescriptionColumn, ElideText(reason.description, ListChars));
    setText(RuleColumn, ElideText(reason.ruleName, ListChars));
    setData(PointsColumn, KeyRole, QStringLiteral("k%1").arg(index));
}

QString ReasonItem::detailText(int column) const
{
    switch (column) {
    case TypeColumn:
        return ElideText(m_reason.type, DetailChars);
    case DescriptionColumn:
        return ElideText(m_reason.description, DetailChars);
    case RuleColumn:
        return ElideText(m_reason.ruleName, DetailChars);
    default:
        return text(column);
    }
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

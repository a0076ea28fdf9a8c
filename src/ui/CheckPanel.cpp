#include "CheckPanel.h"

#include <QWidget>

namespace norvale {

CheckPanel::CheckPanel(QWidget *window)
    : QObject(window)
{
}

void CheckPanel::setFileName(const QString &path)
{
    Q_UNUSED(path);
}

bool CheckPanel::isChecking() const
{
    return false;
}

void CheckPanel::stop() { }

} // namespace norvale

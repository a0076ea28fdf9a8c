#include "MessageBox.h"

#include <QMessageBox>

namespace norvale {

namespace {

struct Record
{
    bool testMode = false;
    QString lastText;
    int shownCount = 0;
};

Record &record()
{
    static Record instance;
    return instance;
}

void Show(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    Record &r = record();
    r.lastText = text;
    ++r.shownCount;
    if (r.testMode)
        return;
    QMessageBox box(icon, QStringLiteral("Norvale"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void MessageBox::warning(QWidget *parent, const QString &text)
{
    Show(parent, QMessageBox::Warning, text);
}

void MessageBox::information(QWidget *parent, const QString &text)
{
    Show(parent, QMessageBox::Information, text);
}

void MessageBox::setTestMode(bool on)
{
    record() = Record { on, QString(), 0 };
}

QString MessageBox::lastText()
{
    return record().lastText;
}

int MessageBox::shownCount()
{
    return record().shownCount;
}

} // namespace norvale

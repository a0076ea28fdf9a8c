#include "MessageBox.h"

#include <QMessageBox>

namespace norvale {

namespace {

struct Record
{
    bool testMode = false;
    QString lastText;
    Qt::TextFormat lastTextFormat = Qt::AutoText; // until a box is built
    int shownCount = 0;
};

Record &record()
{
    static Record instance;
    return instance;
}

void Show(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, QStringLiteral("Norvale"), text, QMessageBox::Ok, parent);
    // The texts carry file names and report fields, which are data: a name
    // like "<a href=...>" must show as written, never as a link or markup.
    box.setTextFormat(Qt::PlainText);
    Record &r = record();
    r.lastText = box.text();
    r.lastTextFormat = box.textFormat();
    ++r.shownCount;
    if (r.testMode)
        return;
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
    record() = Record { on, QString(), Qt::AutoText, 0 };
}

QString MessageBox::lastText()
{
    return record().lastText;
}

Qt::TextFormat MessageBox::lastTextFormat()
{
    return record().lastTextFormat;
}

int MessageBox::shownCount()
{
    return record().shownCount;
}

} // namespace norvale

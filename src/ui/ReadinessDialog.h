#pragma once

#include <QDialog>

class QTextBrowser;

namespace norvale {

// A window showing the sending readiness report of the last check, as the
// report library renders it. The browser follows no link and loads no
// resource: everything in it is escaped text.
class ReadinessDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ReadinessDialog(QWidget *parent = nullptr);

    void setReport(const QString &html);
    QString reportHtml() const;

private:
    QTextBrowser *m_browser = nullptr;
};

} // namespace norvale

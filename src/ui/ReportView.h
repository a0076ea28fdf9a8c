#pragma once

#include "ReportRenderer.h"

#include <QDialog>
#include <QString>

class QPushButton;
class QTextBrowser;
class QTextDocument;

namespace norvale {

// The full report of the last check in a resizable window of its own: score,
// verdict, the rows with the guide and the evidence, the fix plan and the
// change since the last check. It can be saved as a self-contained HTML file
// or as PDF, and printed. The view follows the report it is given: setReport
// again when the evidence arrives.
class ReportView : public QDialog
{
    Q_OBJECT

public:
    explicit ReportView(QWidget *parent = nullptr);

    void setReport(const FullReport &report);
    QString html() const { return m_html; }
    // Scrolls to the sending readiness section.
    void showReadiness();

    // Writes the report; the error text when that failed, empty on success.
    QString saveHtml(const QString &path) const;
    QString savePdf(const QString &path) const;

private:
    void onSaveHtml();
    void onSavePdf();
    void onPrint();
    void warnIfFailed(const QString &path, const QString &error);

    QTextBrowser *m_browser = nullptr;
    QString m_html;
};

} // namespace norvale

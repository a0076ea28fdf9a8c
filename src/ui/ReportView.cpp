#include "ReportView.h"

#include "FileDialog.h"
#include "MessageBox.h"
#include "ReportTexts.h"
#include "TextCatalogue.h"

#include <QDialogButtonBox>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace norvale {

namespace {

// Shows the report and nothing else: no image, style sheet or page is ever
// loaded for it, whatever its text names, and nothing in it is followed.
class ReportBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int, const QUrl &) override { return QVariant(); }
};

// A document of the report for printing and PDF, loading nothing either.
class ReportDocument : public QTextDocument
{
public:
    explicit ReportDocument(const QString &html) { setHtml(html); }

protected:
    QVariant loadResource(int, const QUrl &) override { return QVariant(); }
};

} // namespace

ReportView::ReportView(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReport"));
    setWindowTitle(GetText(ReportText::Title));
    setSizeGripEnabled(true);
    resize(720, 640);

    m_browser = new ReportBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtReport"));
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->setUndoRedoEnabled(false);

    auto *buttons = new QDialogButtonBox(this);
    const auto addButton = [&](const QString &name, int textId, QDialogButtonBox::ButtonRole role) {
        QPushButton *button = buttons->addButton(GetText(textId), role);
        button->setObjectName(name);
        button->setAutoDefault(false);
        return button;
    };
    connect(addButton(QStringLiteral("cmdSaveHtml"), ReportText::SaveHtml, QDialogButtonBox::ActionRole),
        &QPushButton::clicked, this, &ReportView::onSaveHtml);
    connect(addButton(QStringLiteral("cmdSavePdf"), ReportText::SavePdf, QDialogButtonBox::ActionRole),
        &QPushButton::clicked, this, &ReportView::onSavePdf);
    connect(addButton(QStringLiteral("cmdPrint"), ReportText::Print, QDialogButtonBox::ActionRole),
        &QPushButton::clicked, this, &ReportView::onPrint);
    connect(addButton(QStringLiteral("cmdClose"), ReportText::Close, QDialogButtonBox::RejectRole),
        &QPushButton::clicked, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
}

void ReportView::setReport(const FullReport &report)
{
    m_html = RenderReportHtml({ report }, Guide());
    // Keep the reader's place when the evidence arrives.
    const int position = m_browser->verticalScrollBar()->value();
    m_browser->setHtml(m_html);
    m_browser->verticalScrollBar()->setValue(position);
}

void ReportView::showReadiness()
{
    m_browser->scrollToAnchor(QString::fromLatin1(ReadinessAnchor));
}

QString ReportView::saveHtml(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_html.toUtf8()) < 0 || !file.commit())
        return file.errorString();
    return QString();
}

QString ReportView::savePdf(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setTitle(GetText(ReportText::Title));
        writer.setCreator(QStringLiteral("Norvale"));
        ReportDocument document(m_html);
        document.print(&writer);
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

void ReportView::warnIfFailed(const QString &path, const QString &error)
{
    if (!error.isEmpty())
        MessageBox::warning(this, FillText(ReportText::SaveFailed, path, error));
}

void ReportView::onSaveHtml()
{
    const QString path
        = FileDialog::getSaveFileName(this, GetText(ReportText::SaveHtml), GetText(ReportText::HtmlFilter));
    if (!path.isEmpty())
        warnIfFailed(path, saveHtml(path));
}

void ReportView::onSavePdf()
{
    const QString path
        = FileDialog::getSaveFileName(this, GetText(ReportText::SavePdf), GetText(ReportText::PdfFilter));
    if (!path.isEmpty())
        warnIfFailed(path, savePdf(path));
}

void ReportView::onPrint()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ReportDocument document(m_html);
    document.print(&printer);
}

} // namespace norvale

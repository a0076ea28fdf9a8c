#include "ReadinessDialog.h"

#include "ReadinessTexts.h"
#include "TextCatalogue.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace norvale {

ReadinessDialog::ReadinessDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReadiness"));
    setWindowTitle(GetText(ReadinessText::SectionTitle));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtReadiness"));
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 480);
}

void ReadinessDialog::setReport(const QString &html)
{
    m_browser->setHtml(html);
}

QString ReadinessDialog::reportHtml() const
{
    return m_browser->toHtml();
}

} // namespace norvale

#include "OrganizationalDomain.h"

#include <QUrl>

#include <libpsl.h>

namespace norvale {

namespace {

// The list is loaded once and kept for the life of the program.
const psl_ctx_t *SuffixList()
{
    static struct List
    {
        psl_ctx_t *latest = psl_latest(nullptr);
        ~List()
        {
            if (latest)
                psl_free(latest);
        }
    } list;
    return list.latest ? list.latest : psl_builtin();
}

} // namespace

QString OrganizationalDomain(const QString &host)
{
    QString name = host.trimmed().toLower();
    while (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty())
        return name;
    QByteArray ascii = QUrl::toAce(name);
    if (ascii.isEmpty())
        ascii = name.toUtf8();
    const psl_ctx_t *list = SuffixList();
    const char *registrable = list ? psl_registrable_domain(list, ascii.constData()) : nullptr;
    return QString::fromLatin1(registrable ? registrable : ascii.constData()).toLower();
}

} // namespace norvale

#include "Desktop.h"

#include <QDesktopServices>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace norvale;

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestDesktop : public QObject
{
    Q_OBJECT

private:
    UrlRecorder m_recorder;

private slots:
    void init()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_recorder, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_recorder, "open");
        m_recorder.urls.clear();
    }

    void cleanup()
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void openDocument_withNothingToOpen_doesNothing()
    {
        QCOMPARE(OpenDocument(QString(), QStringLiteral("/tmp")), false);
        QVERIFY(m_recorder.urls.isEmpty());
    }

    void openDocument_opensAnAddressAsItStands()
    {
        QCOMPARE(OpenDocument(QStringLiteral("http://www.norvale.app/it/"), QString()), false);
        QCOMPARE(m_recorder.urls, QList<QUrl> { QUrl(QStringLiteral("http://www.norvale.app/it/")) });
    }

    void openDocument_opensAFileRelativeToItsFolder()
    {
        QTemporaryDir dir;
        QCOMPARE(OpenDocument(QStringLiteral("help page.htm"), dir.path()), false);
        QCOMPARE(m_recorder.urls,
            QList<QUrl> { QUrl::fromLocalFile(dir.filePath(QStringLiteral("help page.htm"))) });
    }

    void openDocument_thatTheDesktopCannotOpen_reportsFailure()
    {
        cleanup(); // the offscreen platform opens nothing
        QTemporaryDir dir;
        QCOMPARE(OpenDocument(QStringLiteral("http://www.norvale.app/"), QString()), true);
        QCOMPARE(OpenDocument(QStringLiteral("absent.htm"), dir.path()), true);
    }

    void getShortPath_isThePathWhenItExists()
    {
        QTemporaryDir dir;
        QCOMPARE(GetShortPath(dir.path()), dir.path());
        QCOMPARE(GetShortPath(dir.filePath(QStringLiteral("absent"))), QString());
        QCOMPARE(GetShortPath(QString()), QString());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"

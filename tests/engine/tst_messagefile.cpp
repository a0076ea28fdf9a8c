#include "MessageFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "TestFiles.h"

#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace norvale;

namespace {

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");

} // namespace

class TestMessageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Others may pass through, for the check that runs as another user.
        QVERIFY(::chmod(QFile::encodeName(m_dir.path()).constData(), 0711) == 0);
        write(QStringLiteral("empty.eml"), QByteArray());
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char((i * 7919 + 13) % 256);
        write(QStringLiteral("junk.bin"), junk);
        write(QStringLiteral("blank-line-first.eml"), "\nSubject: too late\n\nbody\n");
        write(QStringLiteral("headers-only.eml"), "Subject: nothing else\n");
        write(QStringLiteral("unreadable.eml"), "Subject: secret\n\nbody\n");
        QVERIFY(
            ::chmod(QFile::encodeName(m_dir.filePath(QStringLiteral("unreadable.eml"))).constData(), 0) == 0);
        QVERIFY(QFile::link(
            Messages + QStringLiteral("clean-newsletter.eml"), m_dir.filePath(QStringLiteral("link.eml"))));
        QVERIFY(QFile::link(
            m_dir.filePath(QStringLiteral("gone.eml")), m_dir.filePath(QStringLiteral("broken-link.eml"))));
        QVERIFY(
            ::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.eml"))).constData(), 0600) == 0);
        // A message followed by nothing up to the size; sparse, so no disk is spent.
        for (const auto &[name, size] : { std::pair { "at-the-limit.eml", MessageSizeLimit },
                 std::pair { "past-the-limit.eml", MessageSizeLimit + 1 },
                 std::pair { "mailbox.eml", qint64(2) * 1024 * 1024 * 1024 } }) {
            write(QLatin1String(name), "Subject: big\n\nbody\n");
            QVERIFY(QFile(m_dir.filePath(QLatin1String(name))).resize(size));
        }
    }

    void validate_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<MessageFileStatus>("expected");
        QTest::newRow("a newsletter")
            << Messages + QStringLiteral("clean-newsletter.eml") << MessageFileStatus::Ok;
        QTest::newRow("a spam test message")
            << Messages + QStringLiteral("gtube.eml") << MessageFileStatus::Ok;
        QTest::newRow("a message whose name begins with a dot")
            << Messages + QStringLiteral(".hidden-message.eml") << MessageFileStatus::Ok;
        QTest::newRow("a symbolic link to a message")
            << m_dir.filePath(QStringLiteral("link.eml")) << MessageFileStatus::Ok;
        QTest::newRow("headers without a body")
            << m_dir.filePath(QStringLiteral("headers-only.eml")) << MessageFileStatus::Ok;
        QTest::newRow("an empty path") << QString() << MessageFileStatus::NotFound;
        QTest::newRow("a missing file")
            << m_dir.filePath(QStringLiteral("gone.eml")) << MessageFileStatus::NotFound;
        QTest::newRow("a broken symbolic link")
            << m_dir.filePath(QStringLiteral("broken-link.eml")) << MessageFileStatus::NotFound;
        QTest::newRow("a path through a file")
            << Messages + QStringLiteral("gtube.eml/inner.eml") << MessageFileStatus::NotFound;
        QTest::newRow("a folder") << Messages << MessageFileStatus::NotARegularFile;
        QTest::newRow("a named pipe")
            << m_dir.filePath(QStringLiteral("pipe.eml")) << MessageFileStatus::NotARegularFile;
        QTest::newRow("a device") << QStringLiteral("/dev/null") << MessageFileStatus::NotARegularFile;
        QTest::newRow("a plain text file")
            << Messages + QStringLiteral("not-a-message.txt") << MessageFileStatus::NotAMessage;
        QTest::newRow("an empty file")
            << m_dir.filePath(QStringLiteral("empty.eml")) << MessageFileStatus::NotAMessage;
        QTest::newRow("binary junk") << m_dir.filePath(QStringLiteral("junk.bin"))
                                     << MessageFileStatus::NotAMessage;
        QTest::newRow("a blank line before the headers")
            << m_dir.filePath(QStringLiteral("blank-line-first.eml")) << MessageFileStatus::NotAMessage;
        QTest::newRow("a file this user cannot read")
            << m_dir.filePath(QStringLiteral("unreadable.eml")) << MessageFileStatus::Unreadable;
        QTest::newRow("a message of exactly 32 MiB")
            << m_dir.filePath(QStringLiteral("at-the-limit.eml")) << MessageFileStatus::Ok;
        QTest::newRow("a message one byte past 32 MiB")
            << m_dir.filePath(QStringLiteral("past-the-limit.eml")) << MessageFileStatus::TooLarge;
        QTest::newRow("a mailbox of 2 GiB")
            << m_dir.filePath(QStringLiteral("mailbox.eml")) << MessageFileStatus::TooLarge;
    }

    // What was judged is what is read: the descriptor keeps the file that was
    // opened, whatever its name points to afterwards, and a copy holds its bytes.
    void openedMessage_keepsTheFileItJudged()
    {
        const QString path = m_dir.filePath(QStringLiteral("swapped.eml"));
        const QByteArray original = "Subject: the original\n\nbody\n";
        write(QStringLiteral("swapped.eml"), original);
        const OpenedMessage opened = OpenMessageFile(path);
        QVERIFY(opened.ok());
        QCOMPARE(opened.size(), original.size());
        QVERIFY(QFile::remove(path));
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);

        QTemporaryFile copy;
        QVERIFY(copy.open());
        QString error;
        QCOMPARE(opened.copyTo(int(copy.handle()), &error), MessageFileStatus::Ok);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(ReadFile(copy.fileName()), original);
        QVERIFY(QFile::remove(path));
    }

    void openedMessage_refusedHasNoDescriptor()
    {
        const OpenedMessage opened = OpenMessageFile(Messages + QStringLiteral("not-a-message.txt"));
        QCOMPARE(opened.status(), MessageFileStatus::NotAMessage);
        QCOMPARE(opened.descriptor(), -1);
    }
    void validate()
    {
        QFETCH(QString, path);
        QFETCH(MessageFileStatus, expected);
        // Root reads every file whatever its mode, so the check runs as "nobody" then.
        const bool dropRoot = expected == MessageFileStatus::Unreadable && ::geteuid() == 0;
        if (dropRoot)
            QVERIFY(::seteuid(65534) == 0);
        const MessageFileStatus status = ValidateMessageFile(path);
        if (dropRoot)
            QVERIFY(::seteuid(0) == 0);
        QCOMPARE(status, expected);
    }

private:
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestMessageFile)
#include "tst_messagefile.moc"

#include "WorkDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "ScopedEnv.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace norvale;

namespace {

mode_t ModeOf(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode;
}


} // namespace

class TestWorkDir : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_runtime.reset(new QTemporaryDir);
        QVERIFY(m_runtime->isValid());
        m_env.reset(new ScopedEnv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path())));
    }
    void cleanup()
    {
        m_env.reset();
        m_runtime.reset();
    }

    void create_makesAPrivateFolderEndingWithASlash_data()
    {
        QTest::addColumn<mode_t>("umask");
        QTest::newRow("usual umask") << mode_t(022);
        QTest::newRow("umask that removes every right") << mode_t(0777);
        QTest::newRow("no umask") << mode_t(0);
    }
    void create_makesAPrivateFolderEndingWithASlash()
    {
        QFETCH(mode_t, umask);
        const mode_t old = ::umask(umask);
        const WorkDirResult result = GetTempDir();
        ::umask(old);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.path, m_runtime->path() + QStringLiteral("/norvale/"));
        const mode_t mode = ModeOf(result.path);
        QVERIFY(S_ISDIR(mode));
        QCOMPARE(mode & 07777, mode_t(0700));
    }

    void existingPrivateFolder_isUsedAgainWithItsFiles()
    {
        const WorkDirResult first = GetTempDir();
        QVERIFY(first.ok());
        QFile report(first.path + QStringLiteral("spamscore.txt"));
        QVERIFY(report.open(QIODevice::WriteOnly));
        report.close();
        const WorkDirResult second = GetTempDir();
        QVERIFY(second.ok());
        QCOMPARE(second.path, first.path);
        QVERIFY(report.exists());
    }

    void unsafeFolder_isRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<WorkDirResult::Error>("error");
        QTest::newRow("a folder others can read")
            << QStringLiteral("mode 0755") << WorkDirResult::Error::WrongMode;
        QTest::newRow("a folder the group can write")
            << QStringLiteral("mode 0770") << WorkDirResult::Error::WrongMode;
        QTest::newRow("a private folder with the sticky bit")
            << QStringLiteral("mode 1700") << WorkDirResult::Error::WrongMode;
        QTest::newRow("a symbolic link to a private folder")
            << QStringLiteral("symlink") << WorkDirResult::Error::NotADirectory;
        QTest::newRow("a regular file") << QStringLiteral("file") << WorkDirResult::Error::NotADirectory;
        QTest::newRow("a private folder of another user")
            << QStringLiteral("other owner") << WorkDirResult::Error::WrongOwner;
    }
    void unsafeFolder_isRefusedAndLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(WorkDirResult::Error, error);
        const QString path = m_runtime->filePath(QStringLiteral("norvale"));
        const QByteArray native = QFile::encodeName(path);
        QTemporaryDir elsewhere;
        if (kind.startsWith(QStringLiteral("mode "))) {
            QVERIFY(QDir().mkdir(path));
            QVERIFY(::chmod(native.constData(), kind.mid(5).toUInt(nullptr, 8)) == 0);
        } else if (kind == QStringLiteral("symlink")) {
            QVERIFY(::chmod(QFile::encodeName(elsewhere.path()).constData(), 0700) == 0);
            QVERIFY(QFile::link(elsewhere.path(), path));
        } else if (kind == QStringLiteral("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            if (::geteuid() != 0)
                QSKIP("Only root can give a folder to another user");
            QVERIFY(QDir().mkdir(path));
            QVERIFY(::chmod(native.constData(), 0700) == 0);
            QVERIFY(::chown(native.constData(), 65534, 65534) == 0);
        }
        const mode_t before = ModeOf(path);

        const WorkDirResult result = GetTempDir();
        QCOMPARE(result.error, error);
        QVERIFY(!result.ok());
        QVERIFY(result.detail.contains(path));
        QCOMPARE(ModeOf(path), before);
        if (kind == QStringLiteral("symlink"))
            QCOMPARE(ModeOf(elsewhere.path()) & 07777, mode_t(0700));
    }

    void withoutRuntimeFolder_usesTheTemporaryFolderPerUser_data()
    {
        QTest::addColumn<QByteArray>("runtime");
        QTest::newRow("XDG_RUNTIME_DIR unset") << QByteArray();
        QTest::newRow("XDG_RUNTIME_DIR empty") << QByteArray("");
        QTest::newRow("XDG_RUNTIME_DIR relative") << QByteArray("run/user");
        QTest::newRow("XDG_RUNTIME_DIR missing") << QByteArray("/nonexistent/run/user");
    }
    void withoutRuntimeFolder_usesTheTemporaryFolderPerUser()
    {
        QFETCH(QByteArray, runtime);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        ScopedEnv tmpdir("TMPDIR", QFile::encodeName(temp.path()));
        ScopedEnv xdg("XDG_RUNTIME_DIR", runtime);
        const WorkDirResult result = GetTempDir();
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QCOMPARE(result.path, temp.path() + QStringLiteral("/norvale-%1/").arg(::geteuid()));
        QCOMPARE(ModeOf(result.path) & 07777, mode_t(0700));
    }

    void uncreatableFolder_isAnError()
    {
        // The temporary folder named by TMPDIR is a file, so nothing can be made in it.
        QTemporaryDir temp;
        const QString file = temp.filePath(QStringLiteral("a file"));
        QFile(file).open(QIODevice::WriteOnly);
        ScopedEnv tmpdir("TMPDIR", QFile::encodeName(file));
        ScopedEnv xdg("XDG_RUNTIME_DIR", QByteArray());
        const WorkDirResult result = GetTempDir();
        QCOMPARE(result.error, WorkDirResult::Error::CannotCreate);
        QVERIFY(!result.detail.isEmpty());
    }

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<ScopedEnv> m_env;
};

QTEST_GUILESS_MAIN(TestWorkDir)
#include "tst_workdir.moc"

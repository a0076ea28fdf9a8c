#include "WorkDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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
        QTemporaryDir elsewhere;
        if (kind == QStringLiteral("other owner") && ::geteuid() != 0)
            QSKIP("Only root can give a folder to another user");
        plant(kind, path, elsewhere);
        if (QTest::currentTestFailed())
            return;
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

    // Without XDG_RUNTIME_DIR the fixed name lies in the shared temporary
    // folder, where anyone can take it first: a fresh private folder of our
    // own is used instead, the log says so once, the taken name is left
    // alone, and the fresh folder goes when asked (or at the program's end).
    void takenFolderInTheSharedTemporaryFolder_givesAFreshPrivateOne_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder others can read") << QStringLiteral("mode 0755");
        QTest::newRow("a private folder others can enter") << QStringLiteral("mode 0711");
        QTest::newRow("a symbolic link to a private folder") << QStringLiteral("symlink");
        QTest::newRow("a regular file") << QStringLiteral("file");
        QTest::newRow("a private folder of another user") << QStringLiteral("other owner");
    }
    void takenFolderInTheSharedTemporaryFolder_givesAFreshPrivateOne()
    {
        QFETCH(QString, kind);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        ScopedEnv tmpdir("TMPDIR", QFile::encodeName(temp.path()));
        ScopedEnv xdg("XDG_RUNTIME_DIR", QByteArray());
        const QString fixed = temp.path() + QStringLiteral("/norvale-%1").arg(::geteuid());
        QTemporaryDir elsewhere;
        if (kind == QStringLiteral("other owner") && ::geteuid() != 0)
            QSKIP("Only root can give a folder to another user");
        plant(kind, fixed, elsewhere);
        if (QTest::currentTestFailed())
            return;
        const mode_t before = ModeOf(fixed);

        QTest::ignoreMessage(QtWarningMsg,
            QRegularExpression(QStringLiteral("^The working folder %1 cannot be used .*; using the fresh "
                                              "private folder %1-\\w{6} instead$")
                                   .arg(QRegularExpression::escape(fixed))));
        const WorkDirResult first = GetTempDir();
        QVERIFY2(first.ok(), qPrintable(first.detail));
        QVERIFY2(first.path.startsWith(fixed + u'-'), qPrintable(first.path));
        QVERIFY(first.path.endsWith(u'/'));
        QCOMPARE(ModeOf(first.path) & 07777, mode_t(0700));
        QCOMPARE(QFileInfo(first.path).ownerId(), ::geteuid());
        QCOMPARE(ModeOf(fixed), before);
        if (kind == QStringLiteral("symlink"))
            QCOMPARE(ModeOf(elsewhere.path()) & 07777, mode_t(0700));

        // The same folder for the rest of the program's life, without a new warning.
        QFile report(first.path + QStringLiteral("spamscore-1.txt"));
        QVERIFY(report.open(QIODevice::WriteOnly));
        report.close();
        const WorkDirResult second = GetTempDir();
        QCOMPARE(second.path, first.path);

        RemoveFallbackWorkDir();
        QVERIFY(!QFileInfo::exists(first.path));
        QCOMPARE(ModeOf(fixed), before);
    }

    // Inside XDG_RUNTIME_DIR only this user can have made the folder: it is
    // refused with the reason (unsafeFolder_isRefusedAndLeftAlone), and no
    // fresh folder is made.
    void takenFolderInTheRuntimeFolder_makesNoFreshOne()
    {
        QTemporaryDir temp;
        ScopedEnv tmpdir("TMPDIR", QFile::encodeName(temp.path()));
        QVERIFY(QDir().mkdir(m_runtime->filePath(QStringLiteral("norvale"))));
        QVERIFY(::chmod(QFile::encodeName(m_runtime->filePath(QStringLiteral("norvale"))).constData(), 0755)
            == 0);
        QCOMPARE(GetTempDir().error, WorkDirResult::Error::WrongMode);
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
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
    // Puts what `kind` names where the working folder belongs: a folder of a
    // mode ("mode 0755"), a "symlink" to the private folder `elsewhere`, a
    // regular "file", or a private folder of another user ("other owner").
    static void plant(const QString &kind, const QString &path, const QTemporaryDir &elsewhere)
    {
        const QByteArray native = QFile::encodeName(path);
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
            QVERIFY(QDir().mkdir(path));
            QVERIFY(::chmod(native.constData(), 0700) == 0);
            QVERIFY(::chown(native.constData(), 65534, 65534) == 0);
        }
    }

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<ScopedEnv> m_env;
};

QTEST_GUILESS_MAIN(TestWorkDir)
#include "tst_workdir.moc"

#include "FileDialog.h"

#include <QTest>

using namespace norvale;

class TestFileDialog : public QObject
{
    Q_OBJECT

private slots:
    void qtFileFilter_data()
    {
        QTest::addColumn<QString>("text82");
        QTest::addColumn<QString>("filter");

        QTest::newRow("the shipped filter keeps its descriptions and spaces its patterns")
            << "E-mail messages (*.eml;*.txt)|*.eml;*.txt|All files (*)|*"
            << "E-mail messages (*.eml *.txt);;All files (*)";
        QTest::newRow("a description without patterns gets them in brackets") << "Messages|*.eml;*.msg"
                                                                              << "Messages (*.eml *.msg)";
        QTest::newRow("a description with other patterns in brackets keeps them and gets its own")
            << "Messages (mail)|*.eml"
            << "Messages (mail) (*.eml)";
        QTest::newRow("spaces around patterns are dropped") << "Mail| *.eml ; *.txt "
                                                            << "Mail (*.eml *.txt)";
        QTest::newRow("a description without a pattern is left out") << "Mail|*.eml|Other"
                                                                     << "Mail (*.eml)";
        QTest::newRow("a pair with an empty pattern is left out") << "None||Mail|*.eml"
                                                                  << "Mail (*.eml)";
        QTest::newRow("an empty description keeps only the patterns") << "|*.eml"
                                                                      << "(*.eml)";
        QTest::newRow("the empty text gives no filter") << ""
                                                        << "";
    }

    void qtFileFilter()
    {
        QFETCH(QString, text82);
        QFETCH(QString, filter);
        QCOMPARE(QtFileFilter(text82), filter);
    }

    void nextFileName_isGivenOnceWithoutADialog()
    {
        FileDialog::setNextFileName(QStringLiteral("/tmp/a.eml"));
        QCOMPARE(FileDialog::getOpenFileName(nullptr, QStringLiteral("t"), QString()),
            QStringLiteral("/tmp/a.eml"));
        FileDialog::setNextFileName(QString());
        QCOMPARE(FileDialog::getOpenFileName(nullptr, QStringLiteral("t"), QString()), QString());
    }
};

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"

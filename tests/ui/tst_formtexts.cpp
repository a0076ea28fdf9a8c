#include "FormTexts.h"
#include "TextCatalogue.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

class TestFormTexts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QFile catalogue(m_dir.filePath(QStringLiteral("ide.txt")));
        QVERIFY(catalogue.open(QIODevice::WriteOnly));
        catalogue.write(
            "12 Twelve\n13 Thirteen\n14 A tip\n82 Messages (*.eml)|*.eml|All files|*\n83 Pick one\n"
            "2 Two\n");
        catalogue.close();
        LoadTextCatalogue(catalogue.fileName());
    }

    void captions_data()
    {
        QTest::addColumn<QString>("design");
        QTest::addColumn<QString>("shown");

        QTest::newRow("a placeholder becomes its text") << "#12"
                                                        << "Twelve";
        QTest::newRow("a placeholder of a missing text becomes empty") << "#500"
                                                                       << "";
        QTest::newRow("the id is read as a leading number") << "#13 and more"
                                                            << "Thirteen";
        QTest::newRow("the id is rounded halves to even") << "#2.5"
                                                          << "Two";
        QTest::newRow("id 0 stays") << "#0"
                                    << "#0";
        QTest::newRow("a negative id stays") << "#-12"
                                             << "#-12";
        QTest::newRow("a letter after the # stays") << "#x12"
                                                    << "#x12";
        QTest::newRow("a second # stays") << "##12"
                                          << "##12";
        QTest::newRow("an id beyond 32767 stays") << "#40000"
                                                  << "#40000";
        QTest::newRow("plain text stays") << "Twelve #12"
                                          << "Twelve #12";
    }

    void captions()
    {
        QFETCH(QString, design);
        QFETCH(QString, shown);
        QWidget window;
        window.setWindowTitle(design);
        auto *label = new QLabel(design, &window);
        auto *button = new QPushButton(design, &window);
        auto *box = new QCheckBox(design, &window);
        auto *inner = new QLabel(design, new QWidget(&window));
        label->setToolTip(design);
        inner->setToolTip(design);

        ApplyFormTexts(&window);

        QCOMPARE(window.windowTitle(), shown);
        QCOMPARE(label->text(), shown);
        QCOMPARE(button->text(), shown);
        QCOMPARE(box->text(), shown);
        QCOMPARE(inner->text(), shown);
        QCOMPARE(label->toolTip(), shown);
        QCOMPARE(inner->toolTip(), shown);
    }

    void fileDialog_getsItsTitleAndFilterInQtsForm()
    {
        QWidget window;
        auto *dialog = new QFileDialog(&window);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setWindowTitle(QStringLiteral("#83"));
        dialog->setNameFilter(QStringLiteral("#82"));

        ApplyFormTexts(&window);

        QCOMPARE(dialog->windowTitle(), QStringLiteral("Pick one"));
        QCOMPARE(dialog->nameFilters(), QStringList({ "Messages (*.eml)", "All files (*)" }));
    }

    void fileDialog_keepsAFilterThatIsNoPlaceholder()
    {
        QWidget window;
        auto *dialog = new QFileDialog(&window);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setNameFilter(QStringLiteral("Text (*.txt)"));
        ApplyFormTexts(&window);
        QCOMPARE(dialog->nameFilters(), QStringList({ "Text (*.txt)" }));
    }
};

QTEST_MAIN(TestFormTexts)
#include "tst_formtexts.moc"

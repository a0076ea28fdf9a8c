#include "ResultPrinter.h"
#include "TextCatalogue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include "TerminalControls.h"

using namespace norvale;

namespace {

// A result whose reasons stand in the given order, as a report lists them.
FileCheckResult Result(const QList<Reason> &reasons, const QString &path = QStringLiteral("news.eml"))
{
    FileCheckResult result;
    result.path = path;
    result.score.reasons = reasons;
    result.score.total = 5.0f;
    result.level = 4;
    return result;
}

// The rule names of the text form's table, top to bottom (the last word of
// each row that has points).
QStringList TextRules(const QString &text)
{
    QStringList rules;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 3; i < lines.size(); ++i) {
        const QStringList words = lines[i].split(u' ', Qt::SkipEmptyParts);
        if (words.size() > 1)
            rules << words.last();
    }
    return rules;
}

QJsonObject Json(const FileCheckResult &result, bool hideZero)
{
    const QByteArray document
        = JsonDocumentHead() + FormatFileJson(result, hideZero, true) + JsonDocumentTail();
    return QJsonDocument::fromJson(document).object().value(u"files").toArray().at(0).toObject();
}

QStringList JsonRules(const QJsonObject &file)
{
    QStringList rules;
    for (const QJsonValue &reason : file.value(u"reasons").toArray())
        rules << reason.toObject().value(u"rule").toString();
    return rules;
}

} // namespace

Q_DECLARE_METATYPE(norvale::Reason)

class TestResultPrinter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LoadTextCatalogue(QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt")); }

    void rows_byPointsThenRuleName_data()
    {
        QTest::addColumn<QList<Reason>>("reasons"); // in report order
        QTest::addColumn<bool>("hideZero");
        QTest::addColumn<QStringList>("rules"); // as listed
        const QList<Reason> report { { 0.1f, "LOW_PRICE", "BODY", "Lowest Price" },
            { -0.0f, "NO_RECEIVED", "Informational", "no Received headers" },
            { 2.7f, "MISSING_DATE", "", "Missing Date: header" },
            { 0.1f, "ACT_NOW_CAPS", "BODY", "acting now" }, { -1.9f, "BAYES_00", "BODY", "Bayes" },
            { 0.0f, "HTML_MESSAGE", "BODY", "HTML" }, { 1000.0f, "GTUBE", "BODY", "Generic Test" },
            { 1.1f, "HTML_TITLE_SUBJ_DIFF", "", "No description" } };
        QTest::newRow("highest points first, equal points by rule name")
            << report << false
            << QStringList { "GTUBE", "MISSING_DATE", "HTML_TITLE_SUBJ_DIFF", "ACT_NOW_CAPS", "LOW_PRICE",
                   "HTML_MESSAGE", "NO_RECEIVED", "BAYES_00" };
        QTest::newRow("hidden zero rows leave the others in order")
            << report << true
            << QStringList { "GTUBE", "MISSING_DATE", "HTML_TITLE_SUBJ_DIFF", "ACT_NOW_CAPS", "LOW_PRICE",
                   "BAYES_00" };
        QList<Reason> shuffled = report;
        std::reverse(shuffled.begin(), shuffled.end());
        QTest::newRow("the checker's order does not matter")
            << shuffled << false
            << QStringList { "GTUBE", "MISSING_DATE", "HTML_TITLE_SUBJ_DIFF", "ACT_NOW_CAPS", "LOW_PRICE",
                   "HTML_MESSAGE", "NO_RECEIVED", "BAYES_00" };
        QTest::newRow("a rule listed twice, by its description") << QList<Reason> {
            { 1.0f, "TWICE", "", "second" }, { 1.0f, "TWICE", "", "first" }, { 1.0f, "ONCE", "", "x" }
        } << false << QStringList { "ONCE", "TWICE", "TWICE" };
    }
    void rows_byPointsThenRuleName()
    {
        QFETCH(QList<Reason>, reasons);
        QFETCH(bool, hideZero);
        QFETCH(QStringList, rules);
        const FileCheckResult result = Result(reasons);
        QCOMPARE(TextRules(FormatResultText(result, hideZero, 200)), rules);
        QCOMPARE(JsonRules(Json(result, hideZero)), rules);
        // The result itself keeps the report's order, as the window shows it.
        QCOMPARE(result.score.reasons, reasons);
    }

    void rows_ruleListedTwiceKeepsEachDescription()
    {
        const QJsonObject file
            = Json(Result({ { 1.0f, "TWICE", "", "second" }, { 1.0f, "TWICE", "", "first" } }), false);
        const QJsonArray reasons = file.value(u"reasons").toArray();
        QCOMPARE(reasons.at(0).toObject().value(u"description").toString(), QStringLiteral("first"));
        QCOMPARE(reasons.at(1).toObject().value(u"description").toString(), QStringLiteral("second"));
    }

    void text_escapesControlCharacters_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Reason>("reason");
        QTest::addColumn<QString>("shown"); // must stand in the text
        const Reason plain { 1.0f, "RULE", "BODY", "text" };
        QTest::newRow("a clear-screen sequence in the file name")
            << "\x1b[2J\x1b[Hnews.eml" << plain << "\\x1b[2J\\x1b[Hnews.eml";
        QTest::newRow("a window-title sequence in the file name")
            << "\x1b]0;owned\x07news.eml" << plain << "\\x1b]0;owned\\x07news.eml";
        QTest::newRow("a line break in the file name") << "a\nb.eml" << plain << "a\\nb.eml";
        QTest::newRow("a right-to-left override in the file name")
            << QString::fromUtf8("news\u202Elme.eml") << plain << "news\\u202elme.eml";
        QTest::newRow("a hyperlink in a description")
            << "news.eml"
            << Reason { 1.0f, "RULE", "BODY", "see \x1b]8;;http://x.example\x1b\\here\x1b]8;;\x1b\\" }
            << "see \\x1b]8;;http://x.example\\x1b\\here\\x1b]8;;\\x1b\\";
        QTest::newRow("C1 CSI in a rule name")
            << "news.eml" << Reason { 1.0f, QString(QChar(0x9b)) + "31mRULE", "BODY", "text" }
            << "\\x9b31mRULE";
        QTest::newRow("BEL and DEL in a type") << "news.eml"
                                               << Reason { 1.0f, "RULE",
                                                      "BO\x07"
                                                      "DY\x7f",
                                                      "text" }
                                               << "BO\\x07DY\\x7f";
    }
    void text_escapesControlCharacters()
    {
        QFETCH(QString, path);
        QFETCH(Reason, reason);
        QFETCH(QString, shown);
        const QString text = FormatResultText(Result({ reason }, path), false, 100);
        QVERIFY2(!HasTerminalControls(text), qPrintable(text.toUtf8().toPercentEncoding(" \n")));
        QVERIFY2(text.contains(shown), qPrintable(text));
        // JSON keeps the texts as they are; its own escapes make them safe.
        const QJsonObject file = Json(Result({ reason }, path), false);
        QCOMPARE(file.value(u"path").toString(), path);
        const QJsonObject listed = file.value(u"reasons").toArray().at(0).toObject();
        QCOMPARE(listed.value(u"rule").toString(), reason.ruleName);
        QCOMPARE(listed.value(u"type").toString(), reason.type);
        QCOMPARE(listed.value(u"description").toString(), reason.description);
        QVERIFY(
            !HasTerminalControls(QString::fromUtf8(FormatFileJson(Result({ reason }, path), false, true))));
    }
};

QTEST_GUILESS_MAIN(TestResultPrinter)
#include "tst_resultprinter.moc"

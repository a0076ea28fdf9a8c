#include "Numbers.h"
#include "TextCatalogue.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>

using namespace norvale;

// Guards the catalogues the program ships against a translator's slip: a
// dropped or mistyped line, a lost "%1", a broken file filter.

namespace {

// Every text id the program looks up.
const QList<int> UsedIds { 51, 52, 53, 71, 72, 73, 74, 75, 76, 81, 82, 83, 84, 85, 101, 102, 103, 104, 105,
    111, 112, 113, 114, 121, 122, 123, 124, 125, 126, 127, 128, 131, 132, 133, 134, 141, 142, 143, 160, 180,
    181, 201, 202, 203, 204, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314, 321, 322,
    323, 324, 325, 326, 327, 328, 331, 332, 333, 334, 335, 341, 342, 343, 344, 345, 600, 601, 602, 603, 604,
    901, 902, 1000,
    // The sending readiness texts, 400 to 495.
    400, 401, 402, 403, 404, 405, 406, 407, 408, 409, 410, 411, 412, 413, 414, 415, 416, 417, 418, 419, 420,
    421, 422, 423, 424, 425, 426, 427, 428, 429, 430, 431, 432, 433, 434, 435, 436, 437, 438, 439, 440, 441,
    442, 443, 444, 445, 446, 447, 448, 449, 450, 451, 452, 453, 454, 455, 456, 457, 458, 459, 460, 461, 462,
    463, 464, 465, 466, 467, 468, 469, 470, 471, 472, 473, 474, 475, 476, 477, 478, 479, 480, 481, 482, 483,
    484, 485, 486, 487, 488, 489, 490, 491, 492, 493, 494, 495, 496, 497, 498, 499,
    // The sending readiness checks that ask the DNS.
    1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1109, 1110, 1111,
    // The rule guide, the full report and its command-line options.
    500, 501, 502, 503, 504, 505, 506, 507, 508, 509, 510, 511, 512, 513, 514, 515, 516, 517, 518, 519, 520,
    521, 522, 523, 524, 525, 526, 527, 528, 529, 530, 531, 532, 533, 534, 535, 536, 537, 540, 541, 542, 543,
    544, 545, 546,
    // The warm checker, batches and checking on save.
    700, 701, 702, 703, 704, 705, 706, 707,
    // The checker's own words under its failure; norvale-check --verbose.
    708, 709 };

// The texts the program fills in, with the markers it fills.
const QHash<int, QStringList> Markers {
    { 84, { "%1" } },
    { 121, { "%1" } },
    { 122, { "%1", "%2" } },
    { 123, { "%1", "%2" } },
    { 124, { "%1" } },
    { 125, { "%1", "%2" } },
    { 126, { "%1" } },
    { 127, { "%1", "%2" } },
    { 128, { "%1", "%2" } },
    { 141, { "%1" } },
    { 142, { "%1" } },
    { 143, { "%1" } },
    { 160, { "%1", "%2" } },
    { 180, { "%1" } },
    { 181, { "%1", "%2" } },
    { 308, { "%1" } },
    { 321, { "%1" } },
    { 322, { "%1" } },
    { 323, { "%1" } },
    { 325, { "%1" } },
    { 327, { "%1" } },
    { 331, { "%1", "%2" } },
    { 334, { "%1", "%2", "%3" } },
    { 335, { "%1", "%2" } },
    { 341, { "%1", "%2" } },
    { 342, { "%1" } },
    { 343, { "%1" } },
    { 344, { "%1" } },
    { 345, { "%1", "%2" } },
    { 602, { "%1" } },
    { 603, { "%1", "%2" } },
    { 408, { "%1" } },
    { 410, { "%1" } },
    { 412, { "%1" } },
    { 414, { "%1", "%2" } },
    { 420, { "%1" } },
    { 421, { "%1" } },
    { 422, { "%1", "%2" } },
    { 423, { "%1" } },
    { 425, { "%1" } },
    { 429, { "%1" } },
    { 432, { "%1" } },
    { 433, { "%1", "%2" } },
    { 444, { "%1" } },
    { 447, { "%1", "%2" } },
    { 450, { "%1" } },
    { 461, { "%1" } },
    { 464, { "%1" } },
    { 470, { "%1", "%2" } },
    { 473, { "%1", "%2" } },
    { 479, { "%1" } },
    { 488, { "%1", "%2" } },
    { 491, { "%1" } },
    { 494, { "%1" } },
    { 497, { "%1" } },
    { 499, { "%1" } },
    { 1101, { "%1" } },
    { 1102, { "%1", "%2" } },
    { 1105, { "%1" } },
    { 1106, { "%1" } },
    { 1108, { "%1" } },
    { 1109, { "%1" } },
    { 502, { "%1" } },
    { 503, { "%1" } },
    { 504, { "%1" } },
    { 512, { "%1" } },
    { 513, { "%1" } },
    { 517, { "%1", "%2", "%3" } },
    { 518, { "%1", "%2" } },
    { 522, { "%1", "%2", "%3" } },
    { 533, { "%1", "%2" } },
    { 544, { "%1", "%2" } },
    { 546, { "%1", "%2" } },
    { 703, { "%1" } },
    { 704, { "%1" } },
    { 705, { "%1", "%2", "%3" } },
    { 708, { "%1" } },
};

// Texts shown in narrow places (tab captions, column headers, the verdict
// label, the check button), in characters.
const QHash<int, int> MaximumLengths {
    { 51, 10 },
    { 52, 10 },
    { 53, 10 },
    { 71, 14 },
    { 72, 14 },
    { 73, 14 },
    { 74, 14 },
    { 75, 14 },
    { 76, 14 },
    { 102, 12 },
    { 103, 10 },
    { 111, 3 },
    { 112, 5 },
    { 203, 32 },
    { 204, 32 },
};

QString sourceFile(const QString &name)
{
    return QStringLiteral(NORVALE_SOURCE_DIR "/ide/") + name;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList markersOf(const QString &text)
{
    QStringList found;
    for (const auto &match : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found.append(match.captured());
    found.sort();
    found.removeDuplicates();
    return found;
}

void addLanguageRows()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "ide.txt"
                             << "EN";
    QTest::newRow("Italian") << "ide.it.txt"
                             << "IT";
}

} // namespace

class TestShippedCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void everyUsedIdHasText_data() { addLanguageRows(); }
    void everyUsedIdHasText()
    {
        QFETCH(QString, file);
        QFETCH(QString, language);
        TextCatalogue catalogue;
        catalogue.load(sourceFile(file));
        for (int id : UsedIds) {
            if (catalogue.text(id).isEmpty())
                QFAIL(qPrintable(QStringLiteral("text %1 is missing").arg(id)));
        }
        QCOMPARE(catalogue.text(1000), language);
        QCOMPARE(catalogue.highestId(), *std::max_element(UsedIds.cbegin(), UsedIds.cend()));
    }

    // A line that is neither a comment ("#") nor blank must define one of the
    // used ids, once: "1O1 ..." or a forgotten id would otherwise pass silently.
    void everyLineDefinesAUsedIdOnce_data() { addLanguageRows(); }
    void everyLineDefinesAUsedIdOnce()
    {
        QFETCH(QString, file);
        const QString content = QString::fromUtf8(readFile(sourceFile(file)));
        QVERIFY(!content.isEmpty());
        QSet<int> defined;
        int lineNumber = 0;
        for (QString line : content.split(u'\n')) {
            ++lineNumber;
            if (line.endsWith(u'\r'))
                line.chop(1);
            if (line.trimmed().isEmpty() || line.startsWith(u'#'))
                continue;
            const QString where = QStringLiteral("%1 line %2: %3").arg(file).arg(lineNumber).arg(line);
            const qsizetype space = line.indexOf(u' ');
            QVERIFY2(space > 0, qPrintable(where));
            const QString idPart = line.first(space);
            QVERIFY2(IsPlainNumber(idPart) && !idPart.contains(u'.'), qPrintable(where));
            const int id = idPart.toInt();
            QVERIFY2(UsedIds.contains(id),
                qPrintable(where + QStringLiteral(" (an id the program does not use)")));
            QVERIFY2(!defined.contains(id), qPrintable(where + QStringLiteral(" (defined twice)")));
            defined.insert(id);
        }
        QCOMPARE(defined, QSet<int>(UsedIds.cbegin(), UsedIds.cend()));
    }

    void markersAreTheOnesTheProgramFills_data() { addLanguageRows(); }
    void markersAreTheOnesTheProgramFills()
    {
        QFETCH(QString, file);
        TextCatalogue catalogue;
        catalogue.load(sourceFile(file));
        for (int id : UsedIds) {
            const QStringList expected = Markers.value(id);
            const QStringList found = markersOf(catalogue.text(id));
            if (found != expected)
                QFAIL(qPrintable(QStringLiteral("text %1 has the markers \"%2\" instead of \"%3\"")
                                     .arg(id)
                                     .arg(found.join(u' '), expected.join(u' '))));
        }
    }

    void narrowTextsFitTheirPlace_data() { addLanguageRows(); }
    void narrowTextsFitTheirPlace()
    {
        QFETCH(QString, file);
        TextCatalogue catalogue;
        catalogue.load(sourceFile(file));
        for (auto it = MaximumLengths.cbegin(); it != MaximumLengths.cend(); ++it) {
            const QString text = catalogue.text(it.key());
            if (text.size() > it.value() || text.contains(u'\n'))
                QFAIL(qPrintable(QStringLiteral("text %1 \"%2\" is longer than %3 characters")
                                     .arg(it.key())
                                     .arg(text)
                                     .arg(it.value())));
        }
    }

    // Text 82 is the file dialog's filter: description and pattern pairs
    // joined by "|". The patterns are the same in every language.
    void fileFilterIsWellFormed()
    {
        TextCatalogue english;
        english.load(sourceFile(QStringLiteral("ide.txt")));
        TextCatalogue italian;
        italian.load(sourceFile(QStringLiteral("ide.it.txt")));
        const QStringList englishParts = english.text(82).split(u'|');
        const QStringList italianParts = italian.text(82).split(u'|');
        QCOMPARE(englishParts.size() % 2, 0);
        QCOMPARE(italianParts.size(), englishParts.size());
        for (qsizetype i = 0; i < englishParts.size(); ++i) {
            QVERIFY(!englishParts.at(i).trimmed().isEmpty());
            QVERIFY(!italianParts.at(i).trimmed().isEmpty());
            if (i % 2 == 1)
                QCOMPARE(italianParts.at(i), englishParts.at(i));
        }
    }

    void shippedFilesAreLaidOutBesideTheProgram_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("English catalogue") << "ide.txt";
        QTest::newRow("Italian catalogue") << "ide.it.txt";
        QTest::newRow("English help page") << "help.htm";
        QTest::newRow("Italian help page") << "help.it.htm";
    }
    void shippedFilesAreLaidOutBesideTheProgram()
    {
        QFETCH(QString, file);
        const QByteArray source = readFile(sourceFile(file));
        QVERIFY(!source.isEmpty());
        QCOMPARE(readFile(QStringLiteral(NORVALE_APP_DIR "/ide/") + file), source);
    }

    // The help page is shown by a plain rich-text viewer: no scripts, nothing
    // fetched from elsewhere, UTF-8 declared.
    void helpPagesAreSelfContained_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("English help page") << "help.htm";
        QTest::newRow("Italian help page") << "help.it.htm";
    }
    void helpPagesAreSelfContained()
    {
        QFETCH(QString, file);
        const QString page = QString::fromUtf8(readFile(sourceFile(file))).toLower();
        QVERIFY(page.contains(u"charset=utf-8"));
        QVERIFY(!page.contains(u"<script"));
        QVERIFY(!page.contains(u"<link"));
        QVERIFY(!page.contains(u"<img"));
        QVERIFY(!page.contains(u"url("));
        QVERIFY(page.contains(u"</html>"));
    }
};

QTEST_GUILESS_MAIN(TestShippedCatalogues)
#include "tst_shippedcatalogues.moc"

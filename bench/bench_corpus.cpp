// Writes a corpus of newsletter messages for the load benchmark (load.sh):
// plain text, HTML, multipart/alternative, attachments (PDF-like and
// image-like bytes in base64), an inline image, subjects and sender names in
// several languages (RFC 2047 encoded-words in UTF-8 and ISO-8859-1, and raw
// UTF-8 headers), bodies from about 1 KB to 100 KB. The same bytes on every
// run: each message comes from its own fixed seed. Kinds and sizes repeat
// every 20 messages, so the first 20 hold every combination the rest use.
//
// Usage: bench_corpus FOLDER [COUNT]   (COUNT defaults to 200)

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTime>
#include <QTimeZone>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using Rng = std::mt19937;

constexpr int DefaultCount = 200;

// Index into a list by the generator's raw output: the same on every
// platform, unlike the standard distributions.
template <typename List> const auto &Pick(Rng &rng, const List &list)
{
    return list[rng() % std::size(list)];
}

struct Language
{
    const char *subject; // UTF-8
    const char *sender; // UTF-8 display name
    const char *greeting; // UTF-8 body line
    bool latin1; // representable in ISO-8859-1
};

constexpr std::array<Language, 10> Languages { {
    { "Unser Sommerprogramm: Gartenführung & Rosenschnitt", "Jürgen Köhler",
        "Liebe Mitglieder, hier sind unsere Neuigkeiten.", true },
    { "Été au jardin : visite guidée et fête des plantes", "Hélène Dupré",
        "Chères adhérentes, chers adhérents, voici nos nouvelles.", true },
    { "Novità di giugno: scambio di piante e più corsi", "Niccolò Ferrà",
        "Care socie e cari soci, ecco le notizie del mese.", true },
    { "¡Boletín de otoño! Talleres, semillas y más", "José Núñez",
        "Queridos socios, estas son las novedades de la temporada.", true },
    { "Zażółć gęślą jaźń – wiosenny biuletyn ogrodu", "Łukasz Wróbel",
        "Drodzy członkowie, oto nasze wiadomości.", false },
    { "Καλοκαιρινά νέα του κήπου", "Γιώργος Παπαδόπουλος", "Αγαπητά μέλη, ιδού τα νέα μας.", false },
    { "Новости сада: обмен рассадой и лекции", "Анна Смирнова", "Дорогие друзья, вот наши новости.", false },
    { "ガーデンクラブからのお知らせ（6月号）", "山田 花子", "会員の皆様、今月のお知らせです。", false },
    { "花园俱乐部通讯：夏季活动", "王小明", "亲爱的会员们，以下是本月的新闻。", false },
    { "June news: plant swap, pruning talk and the summer show", "Ruth Pemberton",
        "Dear members, here is our news for June.", true },
} };

constexpr std::array<const char *, 40> Words { "the", "garden", "and", "seedlings", "of", "roses", "to",
    "compost", "we", "meeting", "in", "hall", "our", "volunteers", "for", "summer", "a", "show", "is",
    "pruning", "on", "talk", "members", "at", "tea", "plants", "with", "swap", "saturday", "it", "cuttings",
    "beds", "school", "by", "secretary", "thanks", "season", "harvest", "all", "workshop" };

constexpr std::array<const char *, 6> SpammyLines {
    "FREE!!! Click here to claim your prize now, 100% guaranteed, no risk.",
    "Act now: limited time offer, order today and save up to 90% on viagra.",
    "You have been selected to receive cash bonus - reply with your bank details.",
    "Make money fast working from home, earn $5000 per week GUARANTEED.",
    "Dear friend, this is not spam: unsubscribe is not needed, buy now.",
    "Lowest mortgage rates, refinance today, click below to get approved.",
};

// The bytes of a literal, embedded NULs included.
template <std::size_t N> QByteArray Bytes(const char (&literal)[N])
{
    return QByteArray(literal, qsizetype(N - 1));
}

QByteArray Base64Lines(const QByteArray &bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray wrapped;
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        wrapped += encoded.mid(at, 76) + '\n';
    return wrapped;
}

// An RFC 2047 "B" encoded-word per piece of at most 36 bytes, never splitting
// a UTF-8 character, folded onto continuation lines.
QByteArray EncodedWordsB(const QByteArray &utf8)
{
    QByteArray words;
    qsizetype at = 0;
    while (at < utf8.size()) {
        qsizetype end = std::min(at + 36, utf8.size());
        while (end < utf8.size() && (uchar(utf8[end]) & 0xc0) == 0x80)
            --end;
        if (!words.isEmpty())
            words += "\n ";
        words += "=?UTF-8?B?" + utf8.mid(at, end - at).toBase64() + "?=";
        at = end;
    }
    return words;
}

// An RFC 2047 "Q" encoded-word in ISO-8859-1.
QByteArray EncodedWordQLatin1(const QString &text)
{
    QByteArray word = "=?ISO-8859-1?Q?";
    const QByteArray latin1 = text.toLatin1();
    for (const char c : latin1) {
        const uchar u = uchar(c);
        if (u == ' ')
            word += '_';
        else if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
            word += c;
        else
            word += '=' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
    }
    return word + "?=";
}

QByteArray QuotedPrintable(const QByteArray &text)
{
    QByteArray out;
    int column = 0;
    for (const char c : text) {
        const uchar u = uchar(c);
        QByteArray piece;
        if (c == '\n') {
            out += '\n';
            column = 0;
            continue;
        }
        if ((u >= 33 && u <= 126 && u != '=') || u == ' ')
            piece = QByteArray(1, c);
        else
            piece = '=' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        if (column + piece.size() > 75) {
            out += "=\n";
            column = 0;
        }
        out += piece;
        column += int(piece.size());
    }
    return out;
}

// Paragraphs of newsletter prose, about `size` bytes.
QByteArray Prose(Rng &rng, qsizetype size, const Language &language, bool spammy)
{
    QByteArray text = QByteArray(language.greeting) + "\n\n";
    while (text.size() < size) {
        QByteArray paragraph;
        const int sentences = 3 + int(rng() % 4);
        for (int s = 0; s < sentences; ++s) {
            QByteArray sentence;
            const int words = 6 + int(rng() % 10);
            for (int w = 0; w < words; ++w)
                sentence += (w ? " " : "") + QByteArray(Pick(rng, Words));
            sentence[0] = char(std::toupper(uchar(sentence[0])));
            paragraph += sentence + ". ";
        }
        if (spammy && rng() % 3 == 0)
            paragraph += Pick(rng, SpammyLines);
        // Lines of at most about 72 characters, as mail programs write them.
        QByteArray line;
        for (const QByteArray &word : paragraph.trimmed().split(' ')) {
            if (!line.isEmpty() && line.size() + 1 + word.size() > 72) {
                text += line + '\n';
                line.clear();
            }
            line += (line.isEmpty() ? "" : " ") + word;
        }
        text += line + "\n\n";
    }
    return text + "With best wishes,\n" + language.sender + "\n";
}

QByteArray Html(const QByteArray &prose, const QByteArray &title, bool inlineImage)
{
    QByteArray html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title
        + "</title></head>\n<body style=\"font-family: sans-serif\">\n";
    if (inlineImage)
        html
            += "<p><img src=\"cid:banner@corpus.example\" alt=\"banner\" width=\"600\" height=\"120\"></p>\n";
    for (const QByteArray &paragraph : prose.split('\n')) {
        if (!paragraph.isEmpty())
            html += "<p>" + paragraph + "</p>\n";
    }
    html += "<p><a href=\"https://garden-club.example/news\">Read it on our site</a> - "
            "<a href=\"https://garden-club.example/leave\">unsubscribe</a></p>\n</body></html>\n";
    return html;
}

QByteArray PdfLike(Rng &rng, qsizetype size)
{
    QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
                     "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
                     "3 0 obj\n<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>\nendobj\n"
                     "4 0 obj\n<< /Length 0 /Filter /FlateDecode >>\nstream\n";
    while (pdf.size() < size)
        pdf += char(rng() & 0xff);
    return pdf + "\nendstream\nendobj\ntrailer\n<< /Root 1 0 R >>\n%%EOF\n";
}

QByteArray PngLike(Rng &rng, qsizetype size)
{
    QByteArray png = Bytes("\x89PNG\r\n\x1a\n\0\0\0\x0d"
                           "IHDR\0\0\x02\x58\0\0\0\x78\x08\x06\0\0\0");
    png += Bytes("\0\0\0\0IDAT");
    while (png.size() < size)
        png += char(rng() & 0xff);
    return png + Bytes("\0\0\0\0IEND\xae\x42\x60\x82");
}

QByteArray Message(int index)
{
    Rng rng(20240605u + unsigned(index));
    // Kind and size depend on the place in a block of 20 only.
    const int slot = index % 20;
    const int kind = slot % 8;
    constexpr std::array<qsizetype, 5> Sizes { 1000, 3000, 10000, 30000, 100000 };
    const qsizetype size = Sizes[slot % 5];
    const Language &language = Languages[index % Languages.size()];
    const bool spammy = index % 10 == 7;

    const QDateTime sent(QDate(2024, 1, 1).addDays(index % 366), QTime(6 + index % 14, index % 60, 0),
        QTimeZone(3600 * (index % 3)));
    QByteArray headers = "Date: " + sent.toString(Qt::RFC2822Date).toLatin1() + "\n";

    // Sender and subject: encoded-words in UTF-8 or Latin-1, or raw UTF-8.
    const QByteArray subject(language.subject);
    const QByteArray sender(language.sender);
    QByteArray subjectHeader;
    QByteArray senderName;
    switch (index % 3) {
    case 0:
        subjectHeader = EncodedWordsB(subject);
        senderName = EncodedWordsB(sender);
        break;
    case 1:
        subjectHeader
            = language.latin1 ? EncodedWordQLatin1(QString::fromUtf8(subject)) : EncodedWordsB(subject);
        senderName = language.latin1 ? EncodedWordQLatin1(QString::fromUtf8(sender)) : EncodedWordsB(sender);
        break;
    default:
        subjectHeader = subject;
        senderName = '"' + sender + '"';
        break;
    }
    headers += "From: " + senderName + " <news@garden-club.example>\n";
    headers += "To: member" + QByteArray::number(index) + "@example.net\n";
    headers += "Subject: " + subjectHeader + "\n";
    headers += "Message-ID: <corpus-" + QByteArray::number(index) + "." + QByteArray::number(rng(), 16)
        + "@garden-club.example>\n";
    headers += "List-Unsubscribe: <https://garden-club.example/leave?m=" + QByteArray::number(index) + ">\n";
    headers += "MIME-Version: 1.0\n";

    const QByteArray prose = Prose(rng, size, language, spammy);
    const QByteArray boundary = "=_corpus_" + QByteArray::number(index) + "_" + QByteArray::number(rng(), 16);
    const QByteArray inner = boundary + "_alt";
    const auto textPart = [&] {
        return "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: quoted-printable\n\n"
            + QuotedPrintable(prose);
    };
    const auto htmlPart = [&](bool inlineImage, bool base64) {
        const QByteArray html = Html(prose, subject, inlineImage);
        return "Content-Type: text/html; charset=utf-8\nContent-Transfer-Encoding: "
            + (base64 ? "base64\n\n" + Base64Lines(html) : "quoted-printable\n\n" + QuotedPrintable(html));
    };
    const auto alternative = [&](const QByteArray &mark, bool inlineImage) {
        return "Content-Type: multipart/alternative; boundary=\"" + mark + "\"\n\n--" + mark + "\n"
            + textPart() + "\n--" + mark + "\n" + htmlPart(inlineImage, false) + "\n--" + mark + "--\n";
    };
    const auto attachment = [&](const char *type, const QByteArray &name, const QByteArray &bytes) {
        return "Content-Type: " + QByteArray(type) + "; name=\"" + name
            + "\"\nContent-Transfer-Encoding: base64\nContent-Disposition: attachment; filename=\"" + name
            + "\"\n\n" + Base64Lines(bytes);
    };
    const qsizetype attachmentSize = std::max<qsizetype>(2000, size / 2);

    switch (kind) {
    case 0: // plain text, 8 bit
        return headers + "Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: 8bit\n\n"
            + prose;
    case 1: // plain text, quoted-printable
        return headers + textPart();
    case 2: // HTML only
        return headers + htmlPart(false, false);
    case 3: // HTML only, base64
        return headers + htmlPart(false, true);
    case 4: // text and HTML
        return headers + alternative(boundary, false);
    case 5: // text and HTML with a PDF attached
        return headers + "Content-Type: multipart/mixed; boundary=\"" + boundary
            + "\"\n\nThis is a MIME message.\n--" + boundary + "\n" + alternative(inner, false) + "\n--"
            + boundary + "\n"
            + attachment("application/pdf", "programme-" + QByteArray::number(index) + ".pdf",
                PdfLike(rng, attachmentSize))
            + "--" + boundary + "--\n";
    case 6: // text and HTML with a picture attached
        return headers + "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n--" + boundary
            + "\n" + alternative(inner, false) + "\n--" + boundary + "\n"
            + attachment(
                "image/png", "show-" + QByteArray::number(index) + ".png", PngLike(rng, attachmentSize))
            + "--" + boundary + "--\n";
    default: // HTML with an inline picture, and a text part
        return headers + "Content-Type: multipart/related; boundary=\"" + boundary
            + "\"; type=\"multipart/alternative\"\n\n--" + boundary + "\n" + alternative(inner, true) + "\n--"
            + boundary + "\n"
            + "Content-Type: image/png\nContent-Transfer-Encoding: base64\nContent-ID: "
              "<banner@corpus.example>\n"
              "Content-Disposition: inline; filename=\"banner.png\"\n\n"
            + Base64Lines(PngLike(rng, 6000)) + "--" + boundary + "--\n";
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s FOLDER [COUNT]\n", argv[0]);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]);
    const int count = argc == 3 ? std::atoi(argv[2]) : DefaultCount;
    if (count <= 0 || !QDir().mkpath(folder)) {
        std::fprintf(stderr, "%s: cannot write %d messages into %s\n", argv[0], count, argv[1]);
        return 1;
    }
    for (int index = 0; index < count; ++index) {
        QFile file(QStringLiteral("%1/msg-%2.eml").arg(folder).arg(index + 1, 3, 10, QLatin1Char('0')));
        const QByteArray message = Message(index);
        if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size()) {
            std::fprintf(stderr, "%s: %s\n", argv[0], qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}

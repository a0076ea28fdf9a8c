#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace norvale {

// What a newsletter's HTML shows a reader, as far as the readiness checks need
// it: its images, its links and the amount of visible text. The scanner is
// forgiving in the way browsers are: unclosed tags, stray "<", unquoted
// attributes and unknown entities never stop it, and it reads each character
// a bounded number of times, so any input scans in linear time.
struct HtmlScan
{
    struct Image
    {
        QString source; // src=, entities decoded
        bool hasAlt = false; // an alt= attribute, empty or not
    };
    struct Link
    {
        QString target; // href=, entities decoded
        QString text; // the visible text inside the link, blanks collapsed, at most 300 characters
    };

    QList<Image> images;
    QList<Link> links;
    qsizetype textLength
        = 0; // visible characters outside tags, blanks collapsed, scripts and styles left out

    static HtmlScan Scan(QStringView html);
};

} // namespace norvale

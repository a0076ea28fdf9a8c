// Shows the rule score grid between two line edits, at the size the main window
// gives it (239 x 241 pixels) or at the size given as "width height" in pixels;
// a third argument puts the focus into the name cell of that row.

#include "UserGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int width = args.size() > 2 ? args[1].toInt() : 239;
    const int height = args.size() > 2 ? args[2].toInt() : 241;

    QWidget host;
    host.setWindowTitle(QStringLiteral("UserGrid"));
    auto *before = new QLineEdit(QStringLiteral("before"), &host);
    auto *grid = new norvale::UserGrid(&host);
    auto *after = new QLineEdit(QStringLiteral("after"), &host);
    before->setGeometry(8, 8, width, 24);
    grid->setGeometry(8, 40, width, height);
    after->setGeometry(8, 48 + height, width, 24);
    grid->setObjectName(QStringLiteral("UserGrid1"));
    grid->setHeader1Text(QStringLiteral("Rule"));
    grid->setHeader2Text(QStringLiteral("Pts"));
    grid->setConfiguration(QStringLiteral("BAYES_50:0|HTML_MESSAGE:0.5|MIME_HTML_ONLY:1.2"));
    host.resize(width + 16, height + 80);
    host.show();
    if (args.size() > 3) {
        if (auto *cell = grid->findChild<QWidget *>(QStringLiteral("txtColumn1_") + args[3])) {
            host.activateWindow();
            cell->setFocus(Qt::OtherFocusReason);
        }
    }
    return app.exec();
}

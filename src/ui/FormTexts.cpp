#include "FormTexts.h"

#include "FileDialog.h"
#include "TextCatalogue.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>

namespace norvale {

namespace {

template <typename Read, typename Write> void Replace(Read read, Write write)
{
    const QString value = read();
    if (PlaceholderId(value) > 0)
        write(ReplacePlaceholder(value));
}

void ApplyDialogTexts(QFileDialog *dialog)
{
    Replace([dialog] { return dialog->windowTitle(); },
        [dialog](const QString &t) { dialog->setWindowTitle(t); });
    QStringList filters;
    bool replaced = false;
    for (const QString &filter : dialog->nameFilters()) {
        if (PlaceholderId(filter) > 0) {
            replaced = true;
            const QString text = QtFileFilter(ReplacePlaceholder(filter));
            if (!text.isEmpty())
                filters += text.split(QStringLiteral(";;"));
        } else {
            filters += filter;
        }
    }
    if (replaced)
        dialog->setNameFilters(filters);
}

void ApplyWidgetTexts(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        Replace([label] { return label->text(); }, [label](const QString &t) { label->setText(t); });
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        Replace([button] { return button->text(); }, [button](const QString &t) { button->setText(t); });
    Replace([widget] { return widget->toolTip(); }, [widget](const QString &t) { widget->setToolTip(t); });
    if (auto *dialog = qobject_cast<QFileDialog *>(widget))
        ApplyDialogTexts(dialog);
}

} // namespace

void ApplyFormTexts(QWidget *window)
{
    if (!window)
        return;
    Replace([window] { return window->windowTitle(); },
        [window](const QString &t) { window->setWindowTitle(t); });
    for (QWidget *widget : window->findChildren<QWidget *>())
        ApplyWidgetTexts(widget);
}

} // namespace norvale

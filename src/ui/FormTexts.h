#pragma once

class QWidget;

namespace norvale {

// Replaces the catalogue placeholders ("#" and a text id, see PlaceholderId) of
// a window: its title, and for every widget inside it in creation order the
// caption of labels and buttons and the tooltip; for a file dialog inside it,
// its title and its name filters (a filter "#82" becomes the catalogue text in
// Qt's filter form). A placeholder whose id has no text becomes empty; anything
// that is not a placeholder stays as it is.
void ApplyFormTexts(QWidget *window);

} // namespace norvale

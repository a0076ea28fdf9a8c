#pragma once

#include <QLineEdit>

namespace norvale {

// One of the five threshold boxes of the options panel: right-aligned, its
// whole text selected when it gains the focus (so typing replaces the value,
// also when the focus came with a mouse press), and its text normalised
// (NormaliseThreshold, in the user's locale) when it loses the focus. Focus
// that only leaves for another window or a context menu changes nothing.
class ThresholdBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit ThresholdBox(QWidget *parent = nullptr);

    // Puts the text into its normal form, as losing the focus does.
    void normalise();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_selectAllAfterPress = false;
};

} // namespace norvale

#pragma once

#include <QLabel>

namespace norvale {

// The results strip: a label showing the verdict's bar picture with the score,
// progress and verdict labels on top. It looks the same whether the check
// panel is enabled or not, so a result shown while the checker's second run
// still goes on is not greyed out.
class ResultsStrip : public QLabel
{
    Q_OBJECT

public:
    explicit ResultsStrip(QWidget *parent = nullptr);

    // Keeps a label on the strip in its normal colours while disabled.
    static void keepColoursWhenDisabled(QWidget *widget);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace norvale

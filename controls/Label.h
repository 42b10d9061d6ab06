#pragma once

#include <QLabel>

namespace controls {

// A text label. With AutoSize on, it takes the width of its text.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget *parent = nullptr);
    explicit Label(const QString &caption, QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);

    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    void setTwipsGeometry(double left, double top, double width, double height);

signals:
    // A left button pressed and released on the label.
    void Click();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_autoSize = false;
    bool m_pressed = false;
};

} // namespace controls

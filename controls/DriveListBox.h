#pragma once

#include <QComboBox>
#include <QString>

namespace platform {
struct Drive;
}

namespace controls {

// How a drive is named wherever the viewer lists drives: "c: [alice]", the
// bracket holding the name of the host folder behind the letter.
QString driveEntryText(const platform::Drive &drive);

// The drive list: one entry a letter of the drive table, shown as the classic
// control shows it ("c: [alice]", the bracket holding the name of the host
// folder behind the drive, which says where the letter leads).
class DriveListBox : public QComboBox {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget *parent = nullptr);

    // The chosen drive, "c:"; empty when the table has none.
    QString Drive() const;
    // Chooses the drive of "C:", "c:", "C:\Photos" or "c: [alice]". A drive
    // that is not ready is still chosen (its Change handler reports it).
    // Raises Change when the drive changes. False, changing nothing, when
    // the letter is not in the drive table.
    bool setDrive(const QString &drive);

    // Reads the drive table again, keeping the chosen drive when it remains;
    // when it is gone the first drive is chosen and Change raised.
    void Refresh();

    void setTwipsGeometry(double left, double top, double width, double height);

    void showPopup() override;

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int indexOfLetter(QChar letter) const;

    bool m_refilling = false;
};

} // namespace controls

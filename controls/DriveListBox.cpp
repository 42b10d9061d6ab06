#include "controls/DriveListBox.h"

#include "controls/FileListBox.h"
#include "controls/Twips.h"
#include "platform/Drives.h"
#include "platform/WinPath.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>

namespace controls {

QString driveEntryText(const platform::Drive &drive)
{
    QString label = QFileInfo(drive.hostRoot).fileName();
    if (label.isEmpty())
        label = QDir::toNativeSeparators(drive.hostRoot); // "/" has no name
    return QString(drive.letter.toLower()) + QStringLiteral(": [") + label + QLatin1Char(']');
}

DriveListBox::DriveListBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    Refresh();
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_refilling)
            emit Change();
    });
}

void DriveListBox::Refresh()
{
    const QChar chosen = winpath::driveLetter(Drive());
    m_refilling = true;
    clear();
    const platform::DriveTable table = platform::DriveTable::fromEnvironment();
    for (const platform::Drive &drive : table.drives()) {
        addItem(driveEntryText(drive), QVariant(drive.letter));
        setItemData(count() - 1, drive.hostRoot, Qt::ToolTipRole);
    }
    int keep = indexOfLetter(chosen.isNull() ? platform::CurrentDirectory::drive() : chosen);
    if (keep < 0 && count() > 0)
        keep = 0;
    setCurrentIndex(keep);
    m_refilling = false;
    // The chosen drive left the table (a medium was removed): the list now
    // shows another one, and the folder list must hear of it.
    if (!chosen.isNull() && winpath::driveLetter(Drive()) != chosen)
        emit Change();
}

int DriveListBox::indexOfLetter(QChar letter) const
{
    letter = letter.toUpper();
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toChar() == letter)
            return i;
    return -1;
}

QString DriveListBox::Drive() const
{
    const QChar letter = currentData().toChar();
    if (letter.isNull())
        return {};
    return QString(letter.toLower()) + QLatin1Char(':');
}

bool DriveListBox::setDrive(const QString &drive)
{
    const int index = indexOfLetter(winpath::driveLetter(drive.trimmed()));
    if (index < 0)
        return false;
    setCurrentIndex(index); // raises Change when it moves
    return true;
}

void DriveListBox::showPopup()
{
    // Media come and go: offer the table as it is now.
    Refresh();
    QComboBox::showPopup();
}

void DriveListBox::keyPressEvent(QKeyEvent *event)
{
    if (isWindowCommandKey(event)) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DriveListBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

} // namespace controls

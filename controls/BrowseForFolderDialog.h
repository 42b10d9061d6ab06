#pragma once

#include "platform/FolderChooser.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace controls {

// The classic "Browse for Folder" window: the caller's title above a tree of
// the drive table's drives and their folders, OK and Cancel. Folders are
// read as the folder list reads them (hidden names left out, every host name
// shown as its Windows name), each one when it is first opened, and named by
// Windows paths. A drive that is not ready is shown greyed.
class BrowseForFolderDialog : public QDialog {
    Q_OBJECT
public:
    BrowseForFolderDialog(QWidget *owner, const QString &title);

    // The selected folder's Windows path ("C:\", "C:\Photos"); empty while
    // nothing is selected, and OK is then greyed.
    QString selectedPath() const;
    // Opens the tree down to the folder, looked up without regard to case,
    // and selects it. False, selecting nothing, when it is not in the tree.
    bool selectPath(const QString &windowsPath);

    QLabel *titleLabel = nullptr;
    QTreeWidget *tree = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;

private:
    // Reads the item's sub-folders the first time it is opened.
    void fill(QTreeWidgetItem *item);
};

// BrowseForFolder through that window, starting at the current folder.
std::unique_ptr<platform::FolderChooser> makeBrowseForFolderChooser();

} // namespace controls

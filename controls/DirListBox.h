#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace controls {

// The folder list: the open folder's chain from the drive root down (open
// folders, each indented one step more) and then its sub-folders (closed).
// Paths are Windows paths; the disk is read through the drive table.
//
// Entry numbers follow the classic control: the open folder is -1, its
// parent -2 and so on up to the root; the sub-folders are 0 .. ListCount-1.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DirListBox(QWidget *parent = nullptr);

    // "C:\" for a drive root, "C:\Photos" for other folders, spelled as on disk.
    QString Path() const { return m_path; }
    // Opens a folder, looked up without regard to case; "D:" alone opens the
    // drive's current folder, a relative name resolves against the current
    // folder. Raises Change when the path changes. Returns false, changing
    // nothing, when the folder cannot be opened (missing, unreadable, drive
    // not ready); the caller reports it.
    bool setPath(const QString &windowsPath);
    // Re-reads the open folder's sub-folders; false when it can no longer be read.
    bool Refresh();

    // Number of sub-folders.
    int ListCount() const { return m_subFolders.size(); }
    // The selected entry's number (see above); -1 is the open folder.
    int ListIndex() const;
    // Selects an entry without opening it.
    void setListIndex(int index);
    // The full path of an entry, or an empty text.
    QString List(int index) const;

    void setTwipsGeometry(double left, double top, double width, double height);

signals:
    void Change();
    // button: 1 left, 2 right, 4 middle; x, y in pixels inside the control.
    void MouseDown(int button, int shift, float x, float y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QStringList chain() const; // root .. open folder
    void rebuild();
    int rowOf(int index) const;
    int indexOfRow(int row) const;
    void openRow(int row);

    QString m_path;
    QStringList m_subFolders; // names, sorted
};

} // namespace controls

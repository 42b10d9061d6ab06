#pragma once

#include <QListView>
#include <QString>
#include <QStringList>

class QStringListModel;

namespace controls {

// The list of the files of one folder that match a pattern, sorted by name
// without regard to case. Path and pattern are Windows texts ("C:\Photos",
// "*.bmp;*.jpg"); the folder is read through the drive table.
class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    // The folder listed, as a Windows path ("C:\" for a root, "C:\Photos").
    QString Path() const { return m_path; }
    // Lists another folder (looked up without regard to case). Leaves no
    // entry selected and raises no Click. Fails, changing nothing, when the
    // folder cannot be read.
    bool setPath(const QString &windowsPath);

    QString Pattern() const { return m_pattern; }
    // Applies a pattern and re-reads the folder; no selection, no Click.
    void setPattern(const QString &pattern);

    // Re-reads the folder from disk, keeping no selection. False (and an
    // empty list) when the folder can no longer be read.
    bool Refresh();

    int ListCount() const;
    // The selected entry, -1 when none.
    int ListIndex() const { return m_listIndex; }
    // Selects an entry (-1 for none); raises Click when the selection changes.
    void setListIndex(int index);
    QString List(int index) const;
    // The selected name, or an empty text.
    QString FileName() const { return List(m_listIndex); }

    void setTwipsGeometry(double left, double top, double width, double height);

    // True while a Click runs that a held key raised (an auto-repeated
    // press), which moves the selection faster than a reader looks.
    bool MovedByHeldKey() const { return m_byHeldKey; }

signals:
    // Every change of the selection, by mouse, keyboard or code. A press on
    // the entry already chosen is none (so a double click loads once).
    void Click();
    void DblClick();
    // button: 1 left, 2 right, 4 middle; x, y in pixels inside the control.
    void MouseDown(int button, int shift, float x, float y);
    // A key let go (not the releases auto-repeat sends); keyCode is Qt's key.
    void KeyUp(int keyCode, int shift);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    bool load(const QString &hostFolder);
    void clearSelectionQuietly();
    void selectionMoved();

    QStringListModel *m_model;
    QString m_path;
    QString m_pattern = QStringLiteral("*.*");
    int m_listIndex = -1;
    bool m_quiet = false;
    bool m_byHeldKey = false;
};

// Shared by the list controls: keys that the window's menus own (Ctrl+C is a
// menu command of the viewer, not "copy") must reach the window's shortcuts.
bool isWindowCommandKey(const QKeyEvent *event);

} // namespace controls

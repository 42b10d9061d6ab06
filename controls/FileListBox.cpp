#include "controls/FileListBox.h"

#include "controls/FolderReader.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "platform/Drives.h"
#include "platform/WinPath.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringListModel>

namespace controls {

bool isWindowCommandKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Copy);
}

FileListBox::FileListBox(QWidget *parent) : QListView(parent), m_model(new QStringListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true); // keeps a folder of many thousand files fast to lay out
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setDragEnabled(false);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListBox::selectionMoved);
}

bool FileListBox::setPath(const QString &windowsPath)
{
    const platform::DriveTable table = platform::DriveTable::fromEnvironment();
    const QString full = winpath::normalized(platform::CurrentDirectory::resolve(windowsPath));
    const QString host = table.toHostPath(full);
    if (!canListFolder(host))
        return false;
    // Keep the spelling the disk has, under the drive the caller named.
    const auto drive = table.drive(winpath::driveLetter(full));
    QString spelled = drive ? platform::DriveTable({*drive}).toWindowsPath(host) : QString();
    if (spelled.isEmpty())
        spelled = full;
    m_path = winpath::normalized(spelled);
    return load(host);
}

void FileListBox::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    Refresh();
}

bool FileListBox::Refresh()
{
    if (m_path.isEmpty()) {
        load(QString());
        return false;
    }
    return load(platform::DriveTable::fromEnvironment().toHostPath(m_path));
}

bool FileListBox::load(const QString &hostFolder)
{
    const std::optional<QStringList> files = readSortedFiles(hostFolder);
    QStringList names;
    if (files) {
        const FilePattern pattern(m_pattern);
        names.reserve(files->size());
        for (const QString &name : *files)
            if (pattern.matches(name))
                names << name;
    }
    m_quiet = true;
    m_model->setStringList(names);
    clearSelectionQuietly();
    m_quiet = false;
    return files.has_value();
}

void FileListBox::clearSelectionQuietly()
{
    selectionModel()->clear();
    m_listIndex = -1;
}

int FileListBox::ListCount() const
{
    return m_model->rowCount();
}

QString FileListBox::List(int index) const
{
    if (index < 0 || index >= ListCount())
        return {};
    return m_model->index(index).data().toString();
}

void FileListBox::setListIndex(int index)
{
    if (index < -1 || index >= ListCount() || index == m_listIndex)
        return;
    if (index == -1) {
        m_quiet = true;
        clearSelectionQuietly();
        m_quiet = false;
        emit Click();
        return;
    }
    setCurrentIndex(m_model->index(index)); // selectionMoved raises Click
    scrollTo(m_model->index(index));
}

void FileListBox::selectionMoved()
{
    if (m_quiet)
        return;
    const QModelIndexList rows = selectionModel()->selectedRows();
    const int now = rows.isEmpty() ? -1 : rows.first().row();
    if (now == m_listIndex)
        return;
    m_listIndex = now;
    emit Click();
}

QItemSelectionModel::SelectionFlags FileListBox::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    // One entry stays selected, as in the classic list: no Ctrl+click or
    // Ctrl+arrow leaves the selection behind, no click on blank space clears it.
    Q_UNUSED(event);
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void FileListBox::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position() + QPointF(viewport()->pos());
    const int button = vbButton(event->button());
    const int shift = vbShift(event->modifiers());
    if (event->button() == Qt::LeftButton) {
        QListView::mousePressEvent(event);
    } else {
        // Other buttons leave the selection alone: a right click on the
        // list opens a menu for the file already chosen, or for none.
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    emit MouseDown(button, shift, float(at.x()), float(at.y()));
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !hit.isValid() || hit.row() != m_listIndex) {
        mousePressEvent(event);
        return;
    }
    event->accept();
    emit DblClick();
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    if (isWindowCommandKey(event)) {
        event->ignore();
        return;
    }
    // With nothing selected the first arrow key selects the first entry
    // (the view would otherwise step past it from its focus position).
    if (m_listIndex == -1 && ListCount() > 0 && event->modifiers() == Qt::NoModifier
        && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up)) {
        setListIndex(0);
        event->accept();
        return;
    }
    m_byHeldKey = event->isAutoRepeat();
    QListView::keyPressEvent(event);
    m_byHeldKey = false;
}

void FileListBox::keyReleaseEvent(QKeyEvent *event)
{
    QListView::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit KeyUp(event->key(), vbShift(event->modifiers()));
}

void FileListBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

} // namespace controls

#include "controls/DirListBox.h"

#include "controls/FileListBox.h"
#include "controls/FolderIcon.h"
#include "controls/FolderReader.h"
#include "controls/PictureBox.h"
#include "controls/Twips.h"
#include "platform/Drives.h"
#include "platform/WinPath.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

namespace controls {

namespace {

constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPixels = 8;

// Draws each entry shifted right by its depth, so the chain reads as a tree.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted = option;
        shifted.rect.adjust(index.data(DepthRole).toInt() * IndentPixels, 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += index.data(DepthRole).toInt() * IndentPixels;
        return size;
    }
};

} // namespace

DirListBox::DirListBox(QWidget *parent) : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
}

bool DirListBox::setPath(const QString &windowsPath)
{
    const std::optional<OpenedFolder> opened = openFolder(windowsPath);
    if (!opened)
        return false;
    if (opened->path == m_path)
        return true;
    m_path = opened->path;
    m_subFolders = opened->subFolders;
    rebuild();
    emit Change();
    return true;
}

bool DirListBox::Refresh()
{
    if (m_path.isEmpty())
        return false;
    const int selected = ListIndex();
    const std::optional<OpenedFolder> opened = openFolder(m_path);
    if (!opened)
        return false;
    m_subFolders = opened->subFolders;
    rebuild();
    setListIndex(selected < ListCount() ? selected : -1);
    return true;
}

QStringList DirListBox::chain() const
{
    QStringList result;
    for (QString p = m_path; !p.isEmpty(); p = winpath::parent(p))
        result.prepend(p);
    return result;
}

void DirListBox::rebuild()
{
    clear();
    const QIcon open = folderIcon(true);
    const QIcon closed = folderIcon(false);
    const QStringList folders = chain();
    for (int depth = 0; depth < folders.size(); ++depth) {
        // The root shows as the classic control shows it, "c:\".
        const QString text = depth == 0 ? folders[0].toLower() : winpath::fileName(folders[depth]);
        auto *item = new QListWidgetItem(open, text, this);
        item->setData(DepthRole, depth);
    }
    for (const QString &name : m_subFolders) {
        auto *item = new QListWidgetItem(closed, name, this);
        item->setData(DepthRole, folders.size());
    }
    setCurrentRow(int(folders.size()) - 1);
}

int DirListBox::rowOf(int index) const
{
    // The open folder (-1) sits on the last row of the chain.
    return int(chain().size()) + index;
}

int DirListBox::indexOfRow(int row) const
{
    return row - int(chain().size());
}

int DirListBox::ListIndex() const
{
    const int row = currentRow();
    return row < 0 ? -1 : indexOfRow(row);
}

void DirListBox::setListIndex(int index)
{
    const int row = rowOf(index);
    if (row >= 0 && row < count())
        setCurrentRow(row);
}

QString DirListBox::List(int index) const
{
    if (m_path.isEmpty())
        return {};
    if (index >= 0)
        return index < m_subFolders.size() ? winpath::join(m_path, m_subFolders[index]) : QString();
    const QStringList folders = chain();
    const qsizetype at = folders.size() + index; // -1 is the last
    return at >= 0 ? folders[at] : QString();
}

void DirListBox::openRow(int row)
{
    if (row < 0 || row >= count())
        return;
    // A folder that cannot be opened leaves the list as it was.
    setPath(List(indexOfRow(row)));
}

void DirListBox::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position() + QPointF(viewport()->pos());
    if (event->button() == Qt::LeftButton) {
        QListWidget::mousePressEvent(event);
    } else {
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    emit MouseDown(vbButton(event->button()), vbShift(event->modifiers()), float(at.x()), float(at.y()));
}

void DirListBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QListWidgetItem *hit = itemAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !hit) {
        mousePressEvent(event);
        return;
    }
    event->accept();
    openRow(row(hit));
}

void DirListBox::keyPressEvent(QKeyEvent *event)
{
    if (isWindowCommandKey(event)) {
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        openRow(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::setTwipsGeometry(double left, double top, double width, double height)
{
    setGeometry(twipsRect(left, top, width, height));
}

} // namespace controls

#include "controls/BrowseForFolderDialog.h"

#include "controls/DriveListBox.h"
#include "controls/FolderReader.h"
#include "platform/Drives.h"
#include "platform/WinPath.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace controls {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int ReadRole = Qt::UserRole + 1;

QTreeWidgetItem *folderItem(const QString &windowsPath, const QString &text, const QIcon &icon)
{
    auto *item = new QTreeWidgetItem(QStringList{text});
    item->setIcon(0, icon);
    item->setData(0, PathRole, windowsPath);
    // Whether it holds folders is known once it is read.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

class BrowseForFolderChooser final : public platform::FolderChooser {
public:
    QString BrowseForFolder(QWidget *owner, const QString &title) override
    {
        BrowseForFolderDialog dialog(owner, title);
        dialog.selectPath(platform::CurrentDirectory::path());
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedPath();
    }
};

} // namespace

BrowseForFolderDialog::BrowseForFolderDialog(QWidget *owner, const QString &title) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Browse for Folder"));
    titleLabel = new QLabel(title);
    titleLabel->setObjectName(QStringLiteral("title"));
    titleLabel->setWordWrap(true);
    titleLabel->setTextFormat(Qt::PlainText);

    tree = new QTreeWidget;
    tree->setObjectName(QStringLiteral("folders"));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tree->header()->setStretchLastSection(false);
    const platform::DriveTable table = platform::DriveTable::fromEnvironment();
    const QIcon driveIcon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    for (const platform::Drive &drive : table.drives()) {
        QTreeWidgetItem *item = folderItem(winpath::driveRoot(drive.letter), driveEntryText(drive), driveIcon);
        if (!table.isReady(drive.letter)) {
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
            item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        }
        tree->addTopLevelItem(item);
    }
    connect(tree, &QTreeWidget::itemExpanded, this, &BrowseForFolderDialog::fill);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton = buttons->button(QDialogButtonBox::Ok);
    cancelButton = buttons->button(QDialogButtonBox::Cancel);
    okButton->setDefault(true);
    okButton->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current) { okButton->setEnabled(current != nullptr); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel);
    layout->addWidget(tree, 1);
    layout->addWidget(buttons);
    resize(320, 380);
}

QString BrowseForFolderDialog::selectedPath() const
{
    const QTreeWidgetItem *item = tree->currentItem();
    return item ? item->data(0, PathRole).toString() : QString();
}

bool BrowseForFolderDialog::selectPath(const QString &windowsPath)
{
    const QString full = winpath::normalized(windowsPath);
    const QChar letter = winpath::driveLetter(full);
    QTreeWidgetItem *at = nullptr;
    for (int i = 0; i < tree->topLevelItemCount() && !at; ++i)
        if (winpath::driveLetter(tree->topLevelItem(i)->data(0, PathRole).toString()) == letter)
            at = tree->topLevelItem(i);
    if (!at || !(at->flags() & Qt::ItemIsEnabled))
        return false;
    const QStringList names = full.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString &name : names) {
        fill(at);
        QTreeWidgetItem *child = nullptr;
        for (int i = 0; i < at->childCount() && !child; ++i)
            if (at->child(i)->text(0).compare(name, Qt::CaseInsensitive) == 0)
                child = at->child(i);
        if (!child)
            return false;
        at = child;
    }
    for (QTreeWidgetItem *parent = at->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    tree->setCurrentItem(at);
    tree->scrollToItem(at);
    return true;
}

void BrowseForFolderDialog::fill(QTreeWidgetItem *item)
{
    if (item->data(0, ReadRole).toBool())
        return;
    item->setData(0, ReadRole, true);
    const QString path = item->data(0, PathRole).toString();
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QList<QTreeWidgetItem *> children;
    if (const std::optional<OpenedFolder> opened = openFolder(path))
        for (const QString &name : opened->subFolders)
            children << folderItem(winpath::join(path, name), name, folderIcon);
    item->addChildren(children);
    if (children.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

std::unique_ptr<platform::FolderChooser> makeBrowseForFolderChooser()
{
    return std::make_unique<BrowseForFolderChooser>();
}

} // namespace controls

#pragma once

#include <QKeySequence>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QShortcut>
#include <QString>
#include <QWidget>

class QAction;
class QMainWindow;

namespace controls {

// One item of a window's menu tree, as the windowing runtime knows it: a
// name (the object name), a caption where "&" marks the access key and "-"
// makes a separator line, Enabled / Visible / Checked flags, an optional
// shortcut key and child items. An item with children opens them as a
// sub-menu; any other item raises Click when chosen or when its shortcut
// key is pressed.
//
// A top-level item shows in its window's menu bar while visible, greyed
// while disabled. A hidden top-level item can still be opened as a pop-up
// menu with popup() or exec(); its access key ("&O") belongs to it only
// while it is visible, and a disabled one hands its key to a visible,
// enabled item of the same bar with that key.
//
// A shortcut key works while the window (or any control in it) has the
// focus, as long as the item and every item above it are enabled and
// visible; otherwise the key does nothing.
class MenuItem : public QObject {
    Q_OBJECT
public:
    // A top-level item, owned by `owner` (normally the window).
    MenuItem(const QString &name, const QString &caption, QObject *owner = nullptr);
    ~MenuItem() override;

    // Appends a child item, owned by this one.
    MenuItem *addItem(const QString &name, const QString &caption, const QKeySequence &shortcut = {});

    // Puts this top-level item at the end of the window's menu bar, and
    // makes the shortcut keys of its tree keys of that window.
    void attachTo(QMainWindow *window);

    QString Name() const { return objectName(); }
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool isSeparator() const { return m_caption == QLatin1String("-"); }

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void setVisible(bool visible);
    // Only code sets the check mark; choosing the item does not toggle it.
    bool Checked() const { return m_checked; }
    void setChecked(bool checked);

    QKeySequence Shortcut() const { return m_shortcut; }
    void setShortcut(const QKeySequence &shortcut);

    MenuItem *parentItem() const { return m_parentItem; }
    const QList<MenuItem *> &items() const { return m_items; }
    // The item and every item above it are enabled and visible.
    bool isReachable() const;

    // What shows the item: its entry in the parent's menu or the menu bar,
    // and, for an item with children, the menu they form.
    QAction *action() const { return m_action; }
    QMenu *menu() const { return m_menu; }

    // Opens the children as a pop-up menu at a screen position.
    void popup(const QPoint &globalPos);
    // The same, waiting until the menu closes; returns the item chosen (its
    // Click has run by then) or nullptr.
    MenuItem *exec(const QPoint &globalPos);

signals:
    void Click();

private:
    MenuItem(const QString &name, const QString &caption, MenuItem *parentItem);
    void setUp();
    void updateAction();
    // Top-level items of the same menu bar, this one included; empty for a
    // child item or one not attached to a window.
    QList<MenuItem *> barItems() const;
    bool ownsAccessKey() const;
    void updateBar(); // the texts of every item of this one's bar
    void updateShortcuts(); // this item and its tree
    QWidget *window() const;
    void chosen();

    QString m_caption;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    QKeySequence m_shortcut;
    MenuItem *m_parentItem = nullptr;
    QList<MenuItem *> m_items;
    QAction *m_action = nullptr;
    QPointer<QMenu> m_menu;
    QPointer<QWidget> m_window;     // set on a top-level item by attachTo
    QPointer<QShortcut> m_shortcutKey;
};

} // namespace controls

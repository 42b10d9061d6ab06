#include "controls/MenuItem.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include <algorithm>

namespace controls {

namespace {

// The caption without its access-key mark ("&Options" -> "Options"; "&&"
// stays, as it stands for one "&").
QString withoutAccessKey(const QString &caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size() && caption.at(i + 1) != QLatin1Char('&'))
            continue;
        text.append(caption.at(i));
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            text.append(caption.at(++i));
    }
    return text;
}

} // namespace

MenuItem::MenuItem(const QString &name, const QString &caption, QObject *owner) : QObject(owner), m_caption(caption)
{
    setObjectName(name);
    setUp();
}

MenuItem::MenuItem(const QString &name, const QString &caption, MenuItem *parentItem)
    : QObject(parentItem), m_caption(caption), m_parentItem(parentItem)
{
    setObjectName(name);
    setUp();
}

MenuItem::~MenuItem()
{
    // The menu has no widget parent (it opens as its own pop-up window).
    delete m_menu.data();
    delete m_shortcutKey.data();
}

void MenuItem::setUp()
{
    m_action = new QAction(this);
    m_action->setObjectName(objectName());
    connect(m_action, &QAction::triggered, this, &MenuItem::chosen);
    updateAction();
}

MenuItem *MenuItem::addItem(const QString &name, const QString &caption, const QKeySequence &shortcut)
{
    auto *item = new MenuItem(name, caption, this);
    if (!m_menu) {
        m_menu = new QMenu();
        m_menu->setObjectName(objectName());
        m_action->setMenu(m_menu.data());
    }
    m_items.append(item);
    m_menu->addAction(item->m_action);
    item->setShortcut(shortcut);
    return item;
}

void MenuItem::attachTo(QMainWindow *window)
{
    window->menuBar()->addAction(m_action);
    m_window = window;
    updateBar();
    updateShortcuts();
}

QList<MenuItem *> MenuItem::barItems() const
{
    QList<MenuItem *> items;
    auto *window = qobject_cast<QMainWindow *>(m_window.data());
    if (m_parentItem || !window)
        return items;
    for (QAction *action : window->menuBar()->actions())
        if (auto *item = qobject_cast<MenuItem *>(action->parent()))
            items << item;
    return items;
}

bool MenuItem::ownsAccessKey() const
{
    if (m_parentItem)
        return true;
    if (!m_visible)
        return false;
    if (m_enabled)
        return true;
    // A greyed menu hands its key to an enabled one of the same key, which
    // the menu bar would otherwise share with it, press by press.
    const QKeySequence key = QKeySequence::mnemonic(m_caption);
    if (key.isEmpty())
        return true;
    const QList<MenuItem *> bar = barItems();
    return std::none_of(bar.cbegin(), bar.cend(), [&](const MenuItem *other) {
        return other != this && other->m_visible && other->m_enabled && QKeySequence::mnemonic(other->m_caption) == key;
    });
}

void MenuItem::updateBar()
{
    const QList<MenuItem *> bar = barItems();
    if (bar.isEmpty()) {
        updateAction();
        return;
    }
    for (MenuItem *item : bar)
        item->updateAction();
}

QWidget *MenuItem::window() const
{
    const MenuItem *root = this;
    while (root->m_parentItem)
        root = root->m_parentItem;
    return root->m_window;
}

void MenuItem::setCaption(const QString &caption)
{
    m_caption = caption;
    updateBar();
}

void MenuItem::setEnabled(bool enabled)
{
    m_enabled = enabled;
    updateBar();
    updateShortcuts();
}

void MenuItem::setVisible(bool visible)
{
    m_visible = visible;
    updateBar();
    updateShortcuts();
}

void MenuItem::setChecked(bool checked)
{
    m_checked = checked;
    updateAction();
}

void MenuItem::setShortcut(const QKeySequence &shortcut)
{
    m_shortcut = shortcut;
    updateAction();
    updateShortcuts();
}

bool MenuItem::isReachable() const
{
    for (const MenuItem *item = this; item; item = item->m_parentItem)
        if (!item->m_enabled || !item->m_visible)
            return false;
    return true;
}

void MenuItem::updateAction()
{
    m_action->setSeparator(isSeparator());
    // The key beside the caption is only text; the key itself is a window
    // shortcut of our own, so that it obeys isReachable().
    // A separator line carries no text: styles would print the "-" beside it.
    QString text = isSeparator() ? QString() : m_caption;
    // The menu bar still matches the keys of its hidden and greyed entries,
    // and two entries with one key take turns: see ownsAccessKey().
    if (!ownsAccessKey())
        text = withoutAccessKey(text);
    if (!m_shortcut.isEmpty() && !isSeparator())
        text += QLatin1Char('\t') + m_shortcut.toString(QKeySequence::NativeText);
    // The menu's title is the action's text (the action is the menu's own),
    // so both are set alike.
    if (m_menu)
        m_menu->setTitle(text);
    m_action->setText(text);
    m_action->setEnabled(m_enabled);
    m_action->setVisible(m_visible);
    // Checkable only while checked, so that styles draw no empty box beside
    // every other item.
    m_action->setCheckable(m_checked);
    m_action->setChecked(m_checked);
}

void MenuItem::updateShortcuts()
{
    QWidget *win = window();
    if (!m_shortcut.isEmpty() && win && !isSeparator()) {
        if (!m_shortcutKey) {
            m_shortcutKey = new QShortcut(win);
            m_shortcutKey->setContext(Qt::WindowShortcut);
            connect(m_shortcutKey.data(), &QShortcut::activated, this, [this] {
                if (isReachable() && m_items.isEmpty())
                    emit Click();
            });
        }
        m_shortcutKey->setKey(m_shortcut);
        // A disabled shortcut lets the key through to the focused control.
        m_shortcutKey->setEnabled(isReachable());
    } else if (m_shortcutKey) {
        delete m_shortcutKey.data();
    }
    for (MenuItem *item : std::as_const(m_items))
        item->updateShortcuts();
}

void MenuItem::chosen()
{
    // QAction toggles a checkable action on its own; the mark is the
    // program's to set.
    m_action->setChecked(m_checked);
    if (m_items.isEmpty() && !isSeparator())
        emit Click();
}

void MenuItem::popup(const QPoint &globalPos)
{
    if (m_menu)
        m_menu->popup(globalPos);
}

MenuItem *MenuItem::exec(const QPoint &globalPos)
{
    if (!m_menu)
        return nullptr;
    QAction *action = m_menu->exec(globalPos);
    return action ? qobject_cast<MenuItem *>(action->parent()) : nullptr;
}

} // namespace controls

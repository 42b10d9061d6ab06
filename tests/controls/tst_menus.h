#pragma once

#include "app/Form1Menus.h"
#include "tests/support/TestEnvironment.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QMainWindow;

namespace controls {
class FileListBox;
}

class MenuTreeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void barAtStart();
    void captions_data();
    void captions();
    void treeOrder();
    void shortcutReachesItsItem_data();
    void shortcutReachesItsItem();
    void ctrlCIsNotCopyInAnyList_data();
    void ctrlCIsNotCopyInAnyList();
    void shortcutUnderDisabledOrHiddenMenuDoesNothing();
    void hidingTopLevelItemRemovesItFromBar();
    void choosingAnItemLeavesItsCheckMark();
    void hiddenMenuOpensAsPopup();

private:
    QStringList barTexts() const;

    std::unique_ptr<testsupport::HermeticEnvironment> m_env;
    QMainWindow *m_window = nullptr;
    controls::FileListBox *m_list = nullptr;
    Form1Menus m_menus;
    QStringList m_fired; // names of the items whose Click ran, in order
};
